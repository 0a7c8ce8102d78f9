#include "ui/ReplayView.h"

#include <algorithm>

#include "ui/Colours.h"
#include "ui/Graphics.h"
#include "ui/MatchView.h"

namespace flikka {

namespace {

using namespace colours;

constexpr platform::Color kPanel = 0xD2000000;
constexpr float kMarkTop = 30.0f;    // the clock panel's top
constexpr int kClockLeftFromRight = 86;  // the clock panel's left edge, from the window's right
constexpr float kPad = 6.0f;

float centredX(CGraphics& g, platform::Font& font, const std::string& text) {
    return static_cast<float>((g.windowWidth() - font.textWidth(text)) / 2);
}

}  // namespace

void drawOtherMatch(CGraphics& g, CMatch& m) {
    CMatch* live = g.match();
    g.setMatch(&m);
    drawMatchFrame(g, true);
    g.setMatch(live);
}

void drawReplayMark(CGraphics& g, const std::string& skipHint) {
    platform::Display& d = g.display();
    platform::Font& big = g.mainFont();
    platform::Font& small = g.miniFont();
    // Under the clock, at the right: the goal mouths stay in view near the centre line of x.
    const float right = static_cast<float>(g.windowWidth() - kClockLeftFromRight + g.hudTime().width());
    const float top = kMarkTop + static_cast<float>(g.hudTime().height()) + kPad;
    const float w = static_cast<float>(std::max(big.textWidth(kReplayMark), small.textWidth(skipHint)));
    const float h = static_cast<float>(big.height() + small.height()) + 3.0f * kPad;
    d.fillRect(right - w - 2.0f * kPad, top, right, top + h, kPanel);
    big.draw(right - kPad - static_cast<float>(big.textWidth(kReplayMark)), top + kPad, kReplayMark, kYellow);
    small.draw(right - kPad - static_cast<float>(small.textWidth(skipHint)), top + 2.0f * kPad + static_cast<float>(big.height()),
               skipHint, kWhite);
}

void drawReplayBar(CGraphics& g, const ReplayBar& bar) {
    platform::Display& d = g.display();
    platform::Font& font = g.miniFont();
    const float h = static_cast<float>(font.height()) + 2.0f * kPad;
    const float top = static_cast<float>(g.windowHeight()) - h;
    d.fillRect(0.0f, top, static_cast<float>(g.windowWidth()), static_cast<float>(g.windowHeight()), kPanel);
    std::string state = bar.speed;
    if (bar.ended) state = "end of the match";
    else if (bar.skipping) state = ">> next goal";
    else if (bar.paused) state = "paused";
    font.draw(kPad, top + kPad, "watch replay: " + state, bar.paused || bar.skipping || bar.ended ? kYellow : kWhite);
    const std::string keys = kReplayKeys;
    font.draw(static_cast<float>(g.windowWidth() - font.textWidth(keys)) - kPad, top + kPad, keys, kWhite);
}

void drawReplayProblem(CGraphics& g, const std::string& message) {
    const int w = g.windowWidth();
    const int h = g.windowHeight();
    g.pitch().draw(static_cast<float>(w - g.pitchWidth()) * 0.5f, static_cast<float>(h - g.pitchHeight()) * 0.5f);
    platform::Image& bg = g.menuBackground();
    const int top = (h - bg.height()) / 2;
    const int left = (w - bg.width()) / 2;
    bg.draw(static_cast<float>(left), static_cast<float>(top));
    platform::Font& font = g.menuFont();
    const std::string title = "cannot play the replay";
    font.draw(centredX(g, font, title), static_cast<float>(top + 80), title, kRed);
    g.miniFont().drawWrapped(left + 40, top + 120, left + bg.width() - 40, top + bg.height() - 60, message, kWhite);
    const std::string back = "press Enter";
    font.draw(centredX(g, font, back), static_cast<float>(top + bg.height() - 50), back, kWhite);
}

}  // namespace flikka
