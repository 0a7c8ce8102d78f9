#include "ui/MatchView.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "players/OutfieldPlayer.h"
#include "settings/Settings.h"
#include "match/Match.h"
#include "sim/PitchGeometry.h"
#include "players/Goalkeeper.h"
#include "ui/Graphics.h"
#include "ui/Hud.h"
#include "ui/Colours.h"

namespace flikka {

namespace {

using namespace colours;

constexpr float kMovingSpeed = 0.01f;
constexpr float kUpperGoalLine = pitch::kHalfLength;
constexpr float kUpperNetBack = pitch::kHalfLength + pitch::kNetDepth;
constexpr float kCrossbarTop = pitch::kCrossbarHeight;
constexpr float kBallOverCrossbar = pitch::kCrossbarHeight + kBallRadius;
static_assert(kBallOverCrossbar == 2.5532f);
constexpr int kGoalLayerFrame = 99;
constexpr int kGoalLayer = 100;
constexpr int kFootballerLayer = 100;
constexpr int kBallLayer = 1000;
constexpr int kLowerGoalTopAboveLine = 39 + 3;
constexpr int kUpperGoalBelowLine = 2;
constexpr float kBallOffset = 3.0f;
constexpr float kRadiansToDegrees = 57.29747f;
constexpr float kNameHeight = 2.8f;

// Real time of the last animation advance of the running sets; empty until the first one.
std::optional<std::uint32_t> gLastAdvance;

float whole(int v) { return static_cast<float>(v); }

void addItem(std::vector<DrawItem>& list, platform::Image* surface, platform::Sprite* sprite, float sx, float sy,
             float wx, float wy, float wz, int layer) {
    list.push_back(DrawItem{surface, sprite, sx, sy, wx, wy, wz, layer});
}

void addGoals(CGraphics& g, std::vector<DrawItem>& list) {
    const float sx0 = g.worldToScreenX(0.0f);
    const float upperLine = g.worldToScreenY(kUpperGoalLine);
    const float lowerTop = g.worldToScreenY(-kUpperGoalLine) - whole(kLowerGoalTopAboveLine);
    auto upper = [&](platform::Image& im, float wy, float wz, int layer) {
        addItem(list, &im, nullptr, sx0 - whole(im.width() / 2), upperLine - whole(im.height()) + whole(kUpperGoalBelowLine),
                0.0f, wy, wz, layer);
    };
    auto lower = [&](platform::Image& im, float wy, float wz, int layer) {
        addItem(list, &im, nullptr, sx0 - whole(im.width() / 2), lowerTop, 0.0f, wy, wz, layer);
    };
    upper(g.upperGoalFrame(), kUpperGoalLine, 0.0f, kGoalLayerFrame);
    upper(g.upperGoalTop(), kUpperGoalLine, kCrossbarTop, kGoalLayer);
    upper(g.upperGoalBack(), kUpperNetBack, 0.0f, kGoalLayer);
    lower(g.lowerGoalFrame(), -kUpperGoalLine, 0.0f, kGoalLayer);
    lower(g.lowerGoalTop(), -kUpperGoalLine, kCrossbarTop, kGoalLayer);
    lower(g.lowerGoalBack(), -kUpperNetBack, 0.0f, kGoalLayer);
}

void addBall(CGraphics& g, const CMatch& m, std::vector<DrawItem>& list) {
    const Vector3& b = m.ball.position;
    // Only a ball above the crossbar sorts by its height; lower, it stands with the ground objects.
    const float sortZ = b.z > kBallOverCrossbar ? b.z : 0.0f;
    addItem(list, nullptr, &g.ball(), g.worldToScreenX(b.x) - kBallOffset, g.worldToScreenY(b.y + b.z) - kBallOffset,
            b.x, b.y, sortZ, kBallLayer);
}

platform::Sprite& outfieldSprite(CGraphics& g, const CPlayer& p, bool home) {
    if (p.sliding()) {
        return g.setSprite(home ? SET_HOME_SLIDING : SET_AWAY_SLIDING,
                           std::clamp(p.direction, 0, CGraphics::kDirectionSlots - 1));
    }
    const bool moving = p.speed > kMovingSpeed;
    const SpriteSetId set = home ? (moving ? SET_HOME_RUNNING : SET_HOME_STANDING)
                                 : (moving ? SET_AWAY_RUNNING : SET_AWAY_STANDING);
    return g.setSprite(set, std::clamp(p.direction, 0, CGraphics::kDirectionSlots - 1));
}

platform::Sprite& goalkeeperSprite(CGraphics& g, const CPlayer& p) {
    const int slot = std::clamp(p.spriteDirection(), 0, CGraphics::kDirectionSlots - 1);
    const auto* keeper = dynamic_cast<const CGoalkeeper*>(&p);
    if (keeper != nullptr && keeper->isDiving()) {
        platform::Sprite& s = g.setSprite(SET_GK_DIVING, slot);
        // Pivot on his feet (bottom centre): a hotspot left of the image swung the lying keeper
        // a metre away from where he is, sometimes behind his own net.
        s.setRotationHotspot(static_cast<int>(static_cast<float>(s.width()) * 0.5f), s.height());
        float degrees = keeper->getDiveAngle() * kRadiansToDegrees;
        if (keeper->direction == 5) degrees = -degrees;
        s.setAngle(degrees);
        return s;
    }
    return g.setSprite(p.speed > kMovingSpeed ? SET_GK_RUNNING : SET_GK_STANDING, slot);
}

void addFootballer(CGraphics& g, std::vector<DrawItem>& list, const CPlayer& p, platform::Sprite& s) {
    const float sx = g.worldToScreenX(p.position.x) - whole(s.width() / 2);
    const float sy = g.worldToScreenY(p.position.y + p.position.z) - whole(s.height());
    addItem(list, nullptr, &s, sx, sy, p.position.x, p.position.y, 0.0f, kFootballerLayer);
}

void addFootballers(CGraphics& g, const CMatch& m, std::vector<DrawItem>& list) {
    for (const CTeam* t : {&m.home, &m.away}) {
        const bool home = t == &m.home;
        for (std::size_t i = 1; i < t->size(); ++i) {
            const CPlayer& p = *t->player(i);
            addFootballer(g, list, p, outfieldSprite(g, p, home));
        }
    }
    for (const CTeam* t : {&m.home, &m.away}) {
        if (const CPlayer* k = t->goalkeeper()) addFootballer(g, list, *k, goalkeeperSprite(g, *k));
    }
}

void drawCentredOn(CGraphics& g, platform::Sprite& s, const Vector3& p) {
    s.draw(g.worldToScreenX(p.x) - static_cast<float>(s.width()) * 0.5f,
           g.worldToScreenY(p.y) - static_cast<float>(s.height()) * 0.5f);
}

void drawGroundMarkers(CGraphics& g, const CMatch& m) {
    if (m.ballHolder != nullptr) drawCentredOn(g, g.hasBallMarker(), m.ballHolder->position);
    bool anySelected = false;
    for (const HumanControl& h : m.humans) {
        if (h.selected == nullptr) continue;
        drawCentredOn(g, g.selectedMarker(h.number), h.selected->position);
        anySelected = true;
    }
    // A keeper holding the ball keeps his marker visible over the selection.
    if (anySelected && m.isEitherGoalkeeper(m.ballHolder)) drawCentredOn(g, g.hasBallMarker(), m.ballHolder->position);
    if (!settings().debugInfo) return;
    for (const CTeam* t : {&m.home, &m.away}) {
        for (std::size_t i = 1; i < t->size(); ++i) {
            const auto* o = dynamic_cast<const COutfieldPlayer*>(t->player(i));
            if (o != nullptr && o->offside()) drawCentredOn(g, g.offsideMarker(), o->position);
        }
    }
}

void advanceRunningSets(CGraphics& g) {
    const std::uint32_t now = platform::ticks();
    const std::uint32_t elapsed = gLastAdvance ? now - *gLastAdvance : 0;
    gLastAdvance = now;
    if (elapsed == 0) return;
    for (SpriteSetId set : {SET_HOME_RUNNING, SET_AWAY_RUNNING, SET_GK_RUNNING}) {
        for (auto& s : g.spriteSet(set)) s->update(elapsed);
    }
}

void drawName(CGraphics& g, const CPlayer& p) {
    platform::Font& font = g.miniFont();
    font.draw(g.worldToScreenX(p.position.x) - whole(font.textWidth(p.name) / 2),
              g.worldToScreenY(p.position.y + kNameHeight), p.name, kWhite);
}

void drawHumanNumber(CGraphics& g, const CPlayer& p, int human) {
    platform::Font& font = g.mainFont();
    const std::string n = std::to_string(human);
    font.draw(g.worldToScreenX(p.position.x) - whole(font.textWidth(n) / 2),
              g.worldToScreenY(p.position.y + kNameHeight) - whole(font.height()), n, humanColour(human));
}

void drawOffscreenArrow(CGraphics& g, const CPlayer& p) {
    const float left = g.screenToWorldX(0.0f);
    const float top = g.screenToWorldY(0.0f);
    const float right = g.screenToWorldX(whole(g.windowWidth()));
    const float bottom = g.screenToWorldY(whole(g.windowHeight()));
    const float x = p.position.x;
    const float y = p.position.y;
    if (right > x - 0.5f && x + 0.5f > left && y - 1.8f < top && y > bottom) return;

    const bool isLeft = x <= left;
    const bool isRight = x >= right;
    const bool isDown = y - 0.9f <= bottom;
    const bool isUp = y - 0.9f >= top;
    const int w = g.windowWidth();
    const int h = g.windowHeight();
    auto put = [](platform::Sprite& s, int sx, int sy) { s.draw(whole(sx), whole(sy)); };

    if (isLeft && isUp) {
        put(g.arrow(ARROW_UL), 0, 0);
    } else if (isLeft && isDown) {
        platform::Sprite& s = g.arrow(ARROW_DL);
        put(s, 0, h - s.height());
    } else if (isRight && isUp) {
        platform::Sprite& s = g.arrow(ARROW_UR);
        put(s, w - s.width(), 0);
    } else if (isRight && isDown) {
        platform::Sprite& s = g.arrow(ARROW_DR);
        put(s, w - s.width(), h - s.height());
    } else if (isLeft) {
        platform::Sprite& s = g.arrow(ARROW_LEFT);
        s.draw(0.0f, g.worldToScreenY(y - 0.9f) - whole(s.height() / 2));
    } else if (isRight) {
        platform::Sprite& s = g.arrow(ARROW_RIGHT);
        s.draw(whole(w - s.width()), g.worldToScreenY(y - 0.9f) - whole(s.height() / 2));
    } else if (isDown) {
        platform::Sprite& s = g.arrow(ARROW_DOWN);
        s.draw(g.worldToScreenX(x) - whole(s.width() / 2), whole(h - s.height()));
    } else if (isUp) {
        platform::Sprite& s = g.arrow(ARROW_UP);
        s.draw(g.worldToScreenX(x) - whole(s.width() / 2), 0.0f);
    }
}

void drawFade(CGraphics& g, float level) {
    float alpha = 0.0f;
    if (level > 1.0f) alpha = 2.0f - level;
    else if (level > 0.0f) alpha = level;
    else return;
    platform::Image& tile = g.fade();
    const int tw = std::max(tile.width(), 1);
    const int th = std::max(tile.height(), 1);
    for (int i = 0; i <= g.windowWidth() / tw; ++i) {
        for (int j = 0; j <= g.windowHeight() / th; ++j) tile.draw(whole(i * tw), whole(j * th), alpha);
    }
}

}  // namespace

void updateCamera(CGraphics& g) {
    const CMatch& m = *g.match();
    const Vector3 target = m.ballHolder != nullptr ? m.ballHolder->position : m.ball.position;
    float cx = 0.0f;
    float cy = 0.0f;
    if (g.pitchWidthMetres() > g.windowWidthMetres()) {
        const float limit = g.halfPitchWidthMetres() - g.halfWindowWidthMetres();
        cx = std::clamp(target.x, -limit, limit);
    }
    if (g.pitchHeightMetres() > g.windowHeightMetres()) {
        const float limit = g.halfPitchHeightMetres() - g.halfWindowHeightMetres();
        cy = std::clamp(target.y, -limit, limit);
    }
    g.setCamera(cx, cy);
}

bool drawsBefore(const DrawItem& a, const DrawItem& b) {
    if (a.worldZ != b.worldZ) return a.worldZ < b.worldZ;
    if (a.worldY != b.worldY) return a.worldY > b.worldY;
    return a.layer > b.layer;
}

void fillDrawList(CGraphics& g) {
    std::vector<DrawItem>& list = g.drawList();
    addGoals(g, list);
    addBall(g, *g.match(), list);
    addFootballers(g, *g.match(), list);
}

void sortDrawList(std::vector<DrawItem>& list) { std::stable_sort(list.begin(), list.end(), drawsBefore); }

void drawMatchFrame(CGraphics& g, bool running) {
    if (g.match() == nullptr) return;
    const CMatch& m = *g.match();

    updateCamera(g);
    std::vector<DrawItem>& list = g.drawList();
    list.clear();
    fillDrawList(g);

    g.pitch().draw(g.worldToScreenX(0.0f) - whole(g.halfPitchWidth()), g.worldToScreenY(0.0f) - whole(g.halfPitchHeight()));
    drawGroundMarkers(g, m);
    g.ballShadow().draw(g.worldToScreenX(m.ball.position.x) - kBallOffset, g.worldToScreenY(m.ball.position.y) - kBallOffset);

    sortDrawList(list);
    for (const DrawItem& item : list) {
        if (item.sprite != nullptr) item.sprite->draw(item.screenX, item.screenY);
        else if (item.surface != nullptr) item.surface->draw(item.screenX, item.screenY);
    }
    list.clear();  // keeps its storage for the next frame

    if (running) advanceRunningSets(g);

    if (m.ballHolder != nullptr) drawName(g, *m.ballHolder);
    const bool numbered = m.humanCount() == 2;
    for (const HumanControl& h : m.humans) {
        if (h.selected == nullptr) continue;
        drawName(g, *h.selected);
        if (numbered) drawHumanNumber(g, *h.selected, h.number);
        drawOffscreenArrow(g, *h.selected);
    }

    drawOverlays(g);
    drawFade(g, m.stateTimer);
}

}  // namespace flikka
