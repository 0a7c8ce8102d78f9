#include "app/Flikka.h"

#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <initializer_list>
#include <iostream>
#include <memory>
#include <optional>

#include "sim/KeyState.h"
#include "app/Controls.h"
#include "app/LoopTimer.h"
#include "app/MenuRedraw.h"
#include "app/Modes.h"
#include "app/ReplayControl.h"
#include "app/SoundDirector.h"
#include "app/Splash.h"
#include "platform/Gamepad.h"
#include "platform/Platform.h"
#include "settings/ExtraSettings.h"
#include "settings/Paths.h"
#include "settings/Settings.h"
#include "sim/FlikkaException.h"
#include "match/Match.h"
#include "ui/Graphics.h"
#include "ui/MatchMoments.h"
#include "ui/Menu.h"

namespace flikka {

namespace {

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

    KeySampler keys{&keyboard, settings().keys};
    // Player 2's keys read the same keyboard through his own table (flikka.xml).
    KeySampler keys2{&keyboard, extraSettings().player2Keys};
    controls.attach(keys, keys2, false);

    CMatch match;
    graphics.setMatch(&match);
    display.showCursor(false);

    LoopTimer frameTimer(kFramePeriodMs);
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
    ReplayControl replays(match, keyboard);
    replays.attach(menu);

    MenuRedraw menuRedraw;
    MatchMoments moments;
    ModeContext ctx{graphics, display, keyboard, controls, keys, keys2, match, menu, replays, nullptr, moments, menuRedraw};
    std::unique_ptr<platform::Audio> audio;
    std::optional<SoundDirector> sound;
    // After the splash, which is silent: start-up to its first frame stays as short as it was.
    // A missing or broken device never stops the game; it plays silent.
    auto startSound = [&] {
        audio = openAudioOrSilence(std::cerr);
        sound.emplace(*audio);
        if (const auto missing = sound->loadEffects(); !missing.empty()) {
            std::cerr << "Sound effects missing (" << missing.size() << "), first " << missing.front() << std::endl;
        }
        menu.setCueListener([&sound](MenuCue cue) { sound->menuCue(cue); });
        ctx.sound = &*sound;
    };

    SplashMode splashMode(startSound);
    CardMode cardMode;
    ReplayViewerMode viewerMode;
    MatchMode matchMode(cardMode);
    MenuMode menuMode(false, viewerMode);
    MenuMode overMatchMode(true, viewerMode);
    Mode* modes[kModeCount] = {};
    for (Mode* m : std::initializer_list<Mode*>{&splashMode, &menuMode, &overMatchMode, &matchMode, &cardMode, &viewerMode}) {
        modes[static_cast<int>(m->id())] = m;
    }
    auto mode = [&modes](ModeId id) -> Mode& { return *modes[static_cast<int>(id)]; };
    const FrameContext frame{graphics, display, moments, replays};

    // The logic timer starts with the splash, which fades on its steps.
    LoopTimer logicTimer(kLogicStepMs);
    logicTimer.start(platform::ticks());
    ModeId current = ModeId::Splash;
    bool quit = false;
    for (;;) {
        if (quit) break;
        if (altF4Down(keyboard)) break;
        if (!display.keepAlive()) break;  // the window's close button: leave like "quit"
        if (followDisplay()) menuRedraw.invalidate();

        current = mode(current).pass(ctx);
        if (logicTimer.tick(platform::ticks())) {
            const ModeId next = mode(current).tick(ctx);
            if (next == ModeId::Quit) {
                quit = true;
            } else {
                current = next;
            }
            if (ctx.sound != nullptr) ctx.sound->update(mode(current).scene(), extraSettings(), kLogicStepSeconds);
        }

        const Mode& shown = mode(current);
        const std::uint32_t frameTime = platform::ticks();
        if (frameTimer.tick(frameTime) && (shown.moving() || menuRedraw.needed(frameTime))) {
            shown.draw(frame);
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
