#include "ui/Hud.h"

#include <iterator>
#include <string>

#include "players/Kicks.h"
#include "settings/Settings.h"
#include "match/Match.h"
#include "sim/PitchLandmarks.h"
#include "team/GlobalAI.h"
#include "ui/Graphics.h"
#include "ui/Colours.h"

namespace flikka {

namespace {

using namespace colours;

constexpr platform::Color kRadarBackground = 0x46000000;
constexpr platform::Color kDebugRadarBackground = 0x46FF0000;
constexpr platform::Color kBlockOutline = 0x64FFFFFF;
constexpr float kPanelAlpha = 0.7f;
constexpr float kRadarMargin = 20.0f;
constexpr int kLandmarkPitchCorner = 20;

// Radar geometry of this frame: scale and size in pixels.
struct Radar {
    float s = 0.0f;
    float w = 0.0f;
    float h = 0.0f;
};

Radar radarOf(const CGraphics& g) {
    const Vector3& corner = PitchLandmarks::stored(kLandmarkPitchCorner);
    Radar r;
    r.s = g.radarScale() * CGraphics::kPixelsPerMetre;
    r.w = 2.0f * corner.x * r.s;
    r.h = 2.0f * corner.y * r.s;
    return r;
}

void drawRadarFrame(platform::Display& d, const Radar& r, platform::Color background) {
    d.fillRect(0.0f, 0.0f, r.w, r.h, background);
    d.drawRect(0.0f, 0.0f, r.w, r.h, kWhite);
    d.drawLine(0.0f, r.h / 2.0f, r.w - 1.0f, r.h / 2.0f, kWhite);
}

void radarDot(platform::Display& d, const Radar& r, const Vector3& p, float half, platform::Color c) {
    const float rx = radarX(p.x, r.s);
    const float ry = radarY(p.y, r.s);
    d.fillRect(rx - half, ry - half, rx + half, ry + half, c);
}

}  // namespace

float radarX(float x, float pixelsPerMetre) { return (x + PitchLandmarks::stored(kLandmarkPitchCorner).x) * pixelsPerMetre; }
float radarY(float y, float pixelsPerMetre) { return (PitchLandmarks::stored(kLandmarkPitchCorner).y - y) * pixelsPerMetre; }

std::string clockText(unsigned minute, bool secondHalf) {
    if ((secondHalf && minute > 90) || (!secondHalf && minute > 45)) return "inj";
    return std::to_string(minute) + " min";
}

const char* matchStateName(int state) {
    switch (state) {
        case GAME_PLAY:
            return "GAME_PLAY";
        case GAME_OUT_OF_PLAY:
            return "GAME_OUT_OF_PLAY";
        case GAME_READY:
            return "GAME_READY";
        default:
            return "GAME_???";
    }
}

const char* aiStateShortName(int state) {
    static constexpr const char* kNames[] = {"REC", "SPACE", "POS", "INT", "MARK", "COV", "GFB", "HASB", "CPL"};
    if (state < 0 || state >= static_cast<int>(std::size(kNames))) return "";
    return kNames[state];
}

std::string debugLabelText(const std::string& slotLabel, int state, const std::string& name) {
    return slotLabel + ", " + aiStateShortName(state) + "\n" + name;
}

PassChoice bestPassFor(const CMatch& m, const CPlayer& holder) {
    PassChoice best;
    if (holder.team == nullptr) return best;
    for (int k = -2; k <= 2; ++k) {
        const int aim = wrapDirection(holder.direction + k);
        // passReceiver never offers a goalkeeper, so every receiver has a pass value.
        auto* r = dynamic_cast<COutfieldPlayer*>(kicks::passReceiver(*holder.team, m.ball.position, aim));
        if (r == nullptr) continue;
        if (best.receiver == nullptr || r->passValue > best.score) best = {r, r->passValue, aim};
    }
    return best;
}

std::string humanPlayersText(const CMatch& m, const CTeam& side) {
    std::string numbers;
    int count = 0;
    for (const HumanControl& h : m.humans) {
        if (h.team != &side) continue;
        numbers += (count == 0 ? "" : " and ") + std::to_string(h.number);
        ++count;
    }
    if (count == 0) return "CPU";
    return (count == 1 ? "player " : "players ") + numbers;
}

platform::Color humanColour(int human) { return human == 2 ? kCyan : kGold; }

namespace {
// The side's label colour: its human's, white for two or for the computer.
platform::Color sideColour(const CMatch& m, const CTeam& side) {
    int count = 0, number = 0;
    for (const HumanControl& h : m.humans) {
        if (h.team != &side) continue;
        ++count;
        number = h.number;
    }
    return count == 1 ? humanColour(number) : kWhite;
}
}  // namespace

void drawHud(CGraphics& g) {
    const CMatch& m = *g.match();
    const int w = g.windowWidth();
    g.hudTeams().draw(30.0f, 30.0f, kPanelAlpha);
    g.hudTime().draw(static_cast<float>(w - 86), 30.0f, kPanelAlpha);

    platform::Font& font = g.mainFont();
    font.draw(40.0f, 37.0f, "H: " + m.home.name, kWhite);
    font.draw(40.0f, 64.0f, "A: " + m.away.name, kWhite);
    font.draw(211.0f, 37.0f, std::to_string(m.homeScore), kWhite);
    font.draw(211.0f, 64.0f, std::to_string(m.awayScore), kWhite);
    // Two humans: who plays which side, beside the panel.
    if (m.humanCount() == 2) {
        platform::Font& mini = g.miniFont();
        const float x = 30.0f + static_cast<float>(g.hudTeams().width()) + 6.0f;
        mini.draw(x, 40.0f, humanPlayersText(m, m.home), sideColour(m, m.home));
        mini.draw(x, 67.0f, humanPlayersText(m, m.away), sideColour(m, m.away));
    }

    const std::string clock = clockText(m.matchMinute(), m.secondHalf);
    font.draw(static_cast<float>(w - 58 - font.textWidth(clock) / 2), 37.0f, clock, kWhite);
}

void drawRadar(CGraphics& g) {
    const CMatch& m = *g.match();
    platform::Display& d = g.display();
    const Radar r = radarOf(g);
    d.setTranslate(static_cast<float>(g.windowWidth()) - r.w - kRadarMargin,
                   static_cast<float>(g.windowHeight()) - r.h - kRadarMargin);
    drawRadarFrame(d, r, kRadarBackground);
    for (const auto& p : m.home.players) radarDot(d, r, p->position, 2.0f, kRed);
    for (const auto& p : m.away.players) radarDot(d, r, p->position, 2.0f, kBlue);
    for (const HumanControl& h : m.humans) {
        if (h.selected != nullptr) radarDot(d, r, h.selected->position, 3.0f, humanColour(h.number));
    }
    radarDot(d, r, m.ball.position, 2.0f, kWhite);
    d.resetTranslate();
}

void drawDebugRadar(CGraphics& g) {
    const CMatch& m = *g.match();
    platform::Display& d = g.display();
    const Radar r = radarOf(g);
    d.setTranslate(kRadarMargin, static_cast<float>(g.windowHeight()) - r.h - kRadarMargin);
    drawRadarFrame(d, r, kDebugRadarBackground);
    for (const CTeam* t : {&m.home, &m.away}) {
        const platform::Color c = t == &m.home ? kRed : kBlue;
        for (std::size_t i = 1; i < t->size(); ++i) radarDot(d, r, t->player(i)->homePosition, 2.0f, c);
    }
    for (const HumanControl& h : m.humans) {
        if (h.selected != nullptr) radarDot(d, r, h.selected->homePosition, 3.0f, humanColour(h.number));
    }
    radarDot(d, r, m.ball.position, 2.0f, kWhite);
    for (const CTeam* t : {&m.home, &m.away}) {
        const CGlobalAI& ai = m.aiOf(*t);
        d.drawRect(radarX(ai.blockMinX, r.s), radarY(ai.blockMinY, r.s), radarX(ai.blockMaxX, r.s),
                   radarY(ai.blockMaxY, r.s), kBlockOutline);
    }
    d.resetTranslate();
}

void drawDebugMarkers(CGraphics& g) {
    platform::Display& d = g.display();
    for (const DebugMarker& mk : g.debugMarkers()) {
        const float sx = g.worldToScreenX(mk.x);
        const float sy = g.worldToScreenY(mk.y);
        d.drawLine(sx - 4.0f, sy - 4.0f, sx + 4.0f, sy + 4.0f, mk.color);
        d.drawLine(sx - 4.0f, sy + 4.0f, sx + 4.0f, sy - 4.0f, mk.color);
        d.drawRect(sx - 4.0f, sy - 4.0f, sx + 4.0f, sy + 4.0f, mk.color);
    }
    g.mainFont().draw(200.0f, static_cast<float>(g.windowHeight() - 20), matchStateName(g.match()->state), kWhite);
}

void drawDebugLabels(CGraphics& g) {
    const CMatch& m = *g.match();
    platform::Display& d = g.display();
    platform::Font& font = g.miniFont();
    bool labelled = false;
    for (const CTeam* t : {&m.home, &m.away}) {
        for (std::size_t i = 1; i < t->size(); ++i) {
            const auto* o = dynamic_cast<const COutfieldPlayer*>(t->player(i));
            if (o == nullptr) continue;
            labelled = true;
            const float sx = g.worldToScreenX(o->position.x);
            const float sy = g.worldToScreenY(o->position.y);
            const std::string slot = m.aiOf(*t).formation.slotLabel(o);
            font.draw(sx - 5.0f, sy + 3.0f, debugLabelText(slot, o->state, o->name), kWhite);
            const float v = o->passValue;
            d.fillRect(sx - 15.0f, sy - v, sx - 12.0f, sy, v > 0.0f ? kYellowGreen : kRed);
        }
    }
    // The receiver mark is the same for every footballer: found and drawn once, over the labels.
    if (!labelled || m.ballHolder == nullptr) return;
    const PassChoice best = bestPassFor(m, *m.ballHolder);
    if (best.receiver == nullptr) return;
    const float rx = g.worldToScreenX(best.receiver->position.x);
    const float ry = g.worldToScreenY(best.receiver->position.y);
    d.fillRect(rx + 10.0f, ry - 15.0f, rx + 15.0f, ry - 10.0f, kRed);
}

void drawOverlays(CGraphics& g) {
    if (g.match() == nullptr) return;
    drawHud(g);
    const Settings& s = settings();
    if (s.radar) drawRadar(g);
    if (!s.debugInfo) return;
    drawDebugRadar(g);
    drawDebugMarkers(g);
    drawDebugLabels(g);
}

}  // namespace flikka
