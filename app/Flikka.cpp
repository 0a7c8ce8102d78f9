#include "app/Flikka.h"

#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <iostream>

#include "sim/KeyState.h"
#include "app/Controls.h"
#include "app/LoopTimer.h"
#include "app/MenuRedraw.h"
#include "app/ReplayControl.h"
#include "app/SoundDirector.h"
#include "app/Splash.h"
#include "platform/Gamepad.h"
#include "platform/Platform.h"
#include "players/UserControl.h"
#include "settings/ExtraSettings.h"
#include "settings/Paths.h"
#include "settings/Settings.h"
#include "sim/FlikkaException.h"
#include "sim/Match.h"
#include "ui/Graphics.h"
#include "ui/MatchMoments.h"
#include "ui/MatchView.h"
#include "ui/Menu.h"
#include "ui/MenuScreen.h"
#include "ui/MomentsView.h"
#include "ui/Colours.h"

namespace flikka {

namespace {

using namespace colours;


void sleepUntilDue(std::uint32_t waitMs) {
    if (waitMs > 0) platform::sleepMs(waitMs);
}

// The window's size and both settings files, as the game ends.
void saveOnExit(const platform::Display& display) {
    // The window's own size for the next start; none while it just shows the picture 1:1.
    int windowW = 0, windowH = 0;
    display.windowedSize(windowW, windowH);
    const bool oneToOne = windowW == display.width() && windowH == display.height();
    extraSettings().windowWidth = oneToOne ? 0 : windowW;
    extraSettings().windowHeight = oneToOne ? 0 : windowH;
    // One file that cannot be saved must not cost the other its changes; the failure is still reported.
    std::exception_ptr saveFailure;
    try {
        saveSettings(paths::settingsFile("win32.xml"));
    } catch (const CFlikkaException&) {
        saveFailure = std::current_exception();
    }
    saveExtraSettings(paths::settingsFile("flikka.xml"));
    if (saveFailure) std::rethrow_exception(saveFailure);
}

}  // namespace

void closePrompt() {
    if (isatty(STDIN_FILENO) == 0) return;
    std::cout << "(press any key to close this console window)" << std::endl;
    termios saved{};
    const bool raw = tcgetattr(STDIN_FILENO, &saved) == 0;
    if (raw) {
        termios single = saved;
        single.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
        single.c_cc[VMIN] = 1;
        single.c_cc[VTIME] = 0;
        tcsetattr(STDIN_FILENO, TCSANOW, &single);
    }
    char c = 0;
    [[maybe_unused]] const ssize_t n = read(STDIN_FILENO, &c, 1);
    if (raw) tcsetattr(STDIN_FILENO, TCSANOW, &saved);
}

int CFlikka::main(int, char**) {
    int status = 0;
    try {
        run();
    } catch (const platform::PlatformError& e) {
        std::cerr << e.what() << std::endl;
        status = 1;
    } catch (const CFlikkaException& e) {
        std::cerr << e.what() << std::endl;
        status = 1;
    } catch (const std::exception& e) {
        // Anything else still reaches the console rather than ending the run unexplained.
        std::cerr << e.what() << std::endl;
        status = 1;
    }
    if (status != 0) closePrompt();
    return status;
}

void CFlikka::run() {
    loadSettings(paths::settingsFile("win32.xml"));
    loadExtraSettings(paths::settingsFile("flikka.xml"));

    // Locals in construction order; C++ destroys them in reverse (menu, match, keyboard, then
    // the graphics with every asset and the window), on the normal and the error path alike.
    CGraphics graphics;
    graphics.openDisplayAndLoadAssets();
    platform::Display& display = graphics.display();
    platform::Keyboard& keyboard = display.keyboard();
    display.gamepads().addMappingsFromFile(paths::settingsFile("gamecontrollerdb.txt"));
    Controls controls(keyboard, display.gamepads());

    KeyState keys;
    keys.clear();
    keys.keyboard = &keyboard;
    keys.keyTable = settings().keys;
    // Player 2's keys read the same keyboard through his own table (flikka.xml).
    KeyState keys2;
    keys2.clear();
    keys2.keyboard = &keyboard;
    keys2.keyTable = extraSettings().player2Keys;
    controls.attach(keys, keys2, false);

    CMatch match(&keys);
    match.humans[1].keys = &keys2;
    graphics.setMatch(&match);
    display.showCursor(false);

    LoopTimer logicTimer(kLogicStepMs);
    LoopTimer frameTimer(kFramePeriodMs);
    logicTimer.start(platform::ticks());
    frameTimer.start(platform::ticks());

    CMenu menu(&match, &keyboard);
    graphics.setMenu(&menu);
    menu.setDisplayApplier([&graphics] { graphics.applyDisplaySettings(); });
    // Alt+Enter switches full screen inside the display; the settings and the menu follow it.
    auto followDisplay = [&display, &menu] {
        if (display.fullscreen() == settings().fullscreen) return false;
        settings().fullscreen = display.fullscreen();
        menu.refreshDisplayItems();
        return true;
    };
    ReplayControl replays(match, keys, keys2, keyboard);
    replays.attach(menu);

    bool quit = false;
    Splash splash;
    splash.start(platform::ticks());
    for (;;) {
        if (!display.keepAlive()) {  // the window's close button: leave like "quit"
            quit = true;
            break;
        }
        followDisplay();
        const Splash::Pass p = splash.pass(platform::ticks(), controls.loopKeys(), frameTimer);
        if (p.outcome == Splash::FINISHED) break;
        if (p.outcome == Splash::QUIT) {
            quit = true;
            break;
        }
        if (p.drawFrame) graphics.drawSplash(splash.fade());
        sleepUntilDue(splash.untilDue(platform::ticks(), frameTimer));
    }

    // After the splash, which is silent: start-up to its first frame stays as short as it was.
    // A missing or broken device never stops the game; it plays silent.
    const std::unique_ptr<platform::Audio> audio = openAudioOrSilence(std::cerr);
    SoundDirector sound(*audio);
    if (const auto missing = sound.loadEffects(); !missing.empty()) {
        std::cerr << "Sound effects missing (" << missing.size() << "), first " << missing.front() << std::endl;
    }
    menu.setCueListener([&sound](MenuCue cue) { sound.menuCue(cue); });

    menu.flushKeyEvents();
    AppMode mode = MODE_MENU;
    AppMode afterReplay = MODE_MENU;  // where "watch replay" returns to
    MenuRedraw menuRedraw;
    MatchMoments moments;
    int cardResult = 0;  // the step result the card stands for: 1 half time, 2 full time
    for (;;) {
        if (quit) break;
        if (altF4Down(keyboard)) break;
        if (!display.keepAlive()) break;
        if (followDisplay()) menuRedraw.invalidate();

        if (mode == MODE_MATCH && controls.pauseRequested()) {
            replays.leaveMatchMode();
            menu.showOverMatch(true);
            mode = MODE_MENU_OVER_MATCH;
            menuRedraw.invalidate();
        }

        if (logicTimer.tick(platform::ticks())) {
            if (mode == MODE_MATCH) {
                int result = 0;
                if (replays.goalReplayShowing()) {
                    // A goal's replay: the match waits, with a half or full time held behind it.
                    replays.goalReplayTick();
                    // The pad button that skipped it must not also pass the ball.
                    if (!replays.goalReplayShowing()) controls.enterMatch();
                    result = replays.takeHeldStop();
                } else {
                    keys.pollKeys();
                    if (match.humanCount() == 2) keys2.pollKeys();
                    replays.afterPoll();
                    user_control::controlSelected(match);
                    result = replays.afterStep(match.matchStep(kLogicStepSeconds));
                    controls.afterStep(match.events);
                    moments.afterStep(match.events);
                    sound.afterMatchStep(match);
                }
                if (result == 1 || result == 2) {
                    // The card first; a key pressed before it came must not wave it away.
                    cardResult = result;
                    menu.flushKeyEvents();
                    mode = MODE_CARD;
                    menuRedraw.invalidate();
                }
            } else if (mode == MODE_CARD) {
                platform::KeyEvent event;
                bool dismissed = false;
                while (!dismissed && keyboard.pollEvent(event)) dismissed = dismissesCard(event, match.humanCount() == 2);
                if (dismissed) {
                    moments.dismissCard();
                    menu.showOverMatch(cardResult == 1);  // flushes the key; after full time nothing continues
                    mode = MODE_MENU_OVER_MATCH;
                    menuRedraw.invalidate();
                }
            } else if (mode == MODE_WATCH_REPLAY) {
                if (!replays.viewerTick()) {
                    mode = afterReplay;
                    menu.flushKeyEvents();
                    menuRedraw.invalidate();
                }
            } else {
                const unsigned eventsBefore = menu.eventsTaken();
                const int result = menu.handleInput();
                if (menu.eventsTaken() != eventsBefore) menuRedraw.invalidate();
                if (result == MENU_RESULT_QUIT) {
                    quit = true;
                } else if (result == MENU_RESULT_NEW_MATCH || result == MENU_RESULT_RESUME) {
                    if (result == MENU_RESULT_NEW_MATCH) moments.reset();
                    mode = MODE_MATCH;
                    controls.enterMatch();
                    controls.attach(keys, keys2, match.humanCount() == 2);
                } else if (result == MENU_RESULT_WATCH_REPLAY) {
                    afterReplay = mode;
                    replays.openViewer();
                    mode = MODE_WATCH_REPLAY;
                }
            }
            const bool matchStands = mode == MODE_MENU_OVER_MATCH || mode == MODE_CARD;
            sound.update(mode == MODE_MATCH ? SoundScene::Match : (matchStands ? SoundScene::MatchPaused : SoundScene::Menu),
                         extraSettings(), kLogicStepSeconds);
        }

        const std::uint32_t frameTime = platform::ticks();
        if (frameTimer.tick(frameTime) &&
            (mode == MODE_MATCH || mode == MODE_WATCH_REPLAY || menuRedraw.needed(frameTime))) {
            display.clear(kOpaqueBlack);
            switch (mode) {
                case MODE_MENU:
                    drawMenuScreen(graphics, true);
                    break;
                case MODE_MENU_OVER_MATCH:
                    drawMatchFrame(graphics, false);
                    drawMenuScreen(graphics, false);
                    break;
                case MODE_MATCH:
                    if (replays.goalReplayShowing()) {
                        replays.drawGoalReplay(graphics);
                    } else {
                        drawMatchFrame(graphics, true);
                        drawRestartPrompt(graphics);
                        drawGoalBanner(graphics, moments);
                    }
                    break;
                case MODE_CARD:
                    drawMatchFrame(graphics, false);
                    drawTimeCard(graphics, moments);
                    break;
                case MODE_WATCH_REPLAY:
                    replays.drawViewer(graphics);
                    break;
            }
            display.flip();
            menuRedraw.drawn(frameTime);
        }

        if (quit) continue;
        const std::uint32_t now = platform::ticks();
        sleepUntilDue(std::min(logicTimer.untilDue(now), frameTimer.untilDue(now)));
    }

    replays.quit();
    saveOnExit(display);
    display.showCursor(true);
    graphics.setMenu(nullptr);
}

}  // namespace flikka
