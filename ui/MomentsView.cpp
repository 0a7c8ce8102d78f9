#include "ui/MomentsView.h"

#include <algorithm>
#include <iterator>

#include "settings/ExtraSettings.h"
#include "settings/Settings.h"
#include "sim/KeyState.h"
#include "match/Match.h"
#include "ui/Colours.h"
#include "ui/Graphics.h"
#include "ui/MatchMoments.h"
#include "ui/StatisticsScreen.h"

namespace flikka {

namespace {

using namespace colours;

constexpr int kVkEnter = 13;
constexpr int kPromptAboveBottom = 80;  // clear of both radars' tops and the debug state text
constexpr int kBannerTop = 110;         // under the head-up display
constexpr float kPanelAlpha = 0.92f;
constexpr int kScorerRows = 7;

// One row per restart a side takes with a key, and the key that takes it.
struct RestartPromptRow {
    int restartKind;
    int slot;  // the key that takes it
    const char* action;
};
constexpr RestartPromptRow kRestartPrompts[] = {
    {KICK_OFF, SLOT_PASS, "kick off"},
    {THROW_IN, SLOT_PASS, "take the throw-in"},
    {CORNER, SLOT_PASS, "take the corner"},
    {GOAL_KICK, SLOT_PASS, "take the goal kick"},
    {FREE_KICK, SLOT_PASS, "take the free kick"},
    {INDIRECT_FREE_KICK, SLOT_PASS, "take the free kick"},
    {PENALTY, SLOT_SHOOT, "take the penalty"},  // only the shoot key is free at a penalty
};

float f(int v) { return static_cast<float>(v); }

void centred(platform::Font& font, int centreX, int y, const std::string& text, platform::Color c) {
    font.draw(f(centreX - font.textWidth(text) / 2), f(y), text, c);
}

std::string scoreLine(const CMatch& m, int home, int away) {
    return m.home.name + "  " + std::to_string(home) + " - " + std::to_string(away) + "  " + m.away.name;
}

// The human who takes the restart: the one who plays the footballer holding the ball; with the
// ball not yet held, the taking side's human nearest to the spot.
const HumanControl* restartTaker(const CMatch& m) {
    const CTeam* taking = m.homeTakesRestart ? &m.home : &m.away;
    const HumanControl* h = nullptr;
    if (m.ballHolder != nullptr) {
        // The goalkeeper at a goal kick, whom no key moves, is nobody's: it is taken for them.
        h = m.humanOf(m.ballHolder);
    } else {
        float best = 0.0f;
        for (const HumanControl& c : m.humans) {
            if (c.team != taking || c.selected == nullptr) continue;
            const float dx = c.selected->position.x - m.restartPoint.x;
            const float dy = c.selected->position.y - m.restartPoint.y;
            const float d = dx * dx + dy * dy;
            if (h == nullptr || d < best) {
                h = &c;
                best = d;
            }
        }
    }
    return h != nullptr && h->team == taking ? h : nullptr;
}

}  // namespace

RestartPrompt restartPrompt(const CMatch& m) {
    RestartPrompt p;
    if (m.state != GAME_READY) return p;
    const HumanControl* h = restartTaker(m);
    if (h == nullptr) return p;
    const auto row = std::find_if(std::begin(kRestartPrompts), std::end(kRestartPrompts),
                                  [&](const RestartPromptRow& r) { return r.restartKind == m.restartKind; });
    if (row == std::end(kRestartPrompts)) return p;
    const bool second = h->number == 2;
    p.key = platform::keyName(second ? extraSettings().player2Keys[row->slot] : settings().keys[row->slot]);
    p.action = row->action;
    if (m.humanCount() == 2) p.player = h->number;
    return p;
}

int promptTop(const CGraphics& g) { return g.windowHeight() - kPromptAboveBottom; }
int bannerTop(const CGraphics&) { return kBannerTop; }
int cardTop(CGraphics& g) { return g.centredTop(g.cardPanel().height()); }

void drawRestartPrompt(CGraphics& g) {
    if (g.match() == nullptr) return;
    const RestartPrompt p = restartPrompt(*g.match());
    if (!p.shown()) return;
    platform::Image& panel = g.promptPanel();
    const int top = promptTop(g);
    panel.draw(f(g.centredLeft(panel.width())), f(top), kPanelAlpha);
    // The key in gold between the white words.
    platform::Font& font = g.mainFont();
    const std::string before = p.who() + "press ";
    const std::string after = std::string(" to ") + p.action;
    const int width = font.textWidth(before) + font.textWidth(p.key) + font.textWidth(after);
    int x = g.windowWidth() / 2 - width / 2;
    const float y = f(top + (panel.height() - font.height()) / 2);
    font.draw(f(x), y, before, kWhite);
    x += font.textWidth(before);
    font.draw(f(x), y, p.key, kGold);
    x += font.textWidth(p.key);
    font.draw(f(x), y, after, kWhite);
}

void drawGoalBanner(CGraphics& g, const MatchMoments& moments) {
    const GoalMoment* goal = moments.banner();
    if (goal == nullptr || g.match() == nullptr) return;
    platform::Image& panel = g.bannerPanel();
    const int top = bannerTop(g);
    const int centre = g.windowWidth() / 2;
    panel.draw(f(g.centredLeft(panel.width())), f(top), kPanelAlpha);
    centred(g.menuFont(), centre, top + 6, "GOAL!", kRed);
    centred(g.menuFont(), centre, top + 44, scorerText(*goal), kWhite);
    centred(g.mainFont(), centre, top + 74, scoreLine(*g.match(), goal->homeGoals, goal->awayGoals), kWhite);
}

void drawTimeCard(CGraphics& g, const MatchMoments& moments) {
    if (moments.card() == TimeCard::None || g.match() == nullptr) return;
    const CMatch& m = *g.match();
    platform::Image& panel = g.cardPanel();
    const int top = cardTop(g);
    const int left = g.centredLeft(panel.width());
    const int right = left + panel.width();
    const int centre = g.windowWidth() / 2;
    panel.draw(f(left), f(top), kPanelAlpha);

    platform::Font& big = g.menuFont();
    platform::Font& font = g.mainFont();
    centred(big, centre, top + 18, moments.card() == TimeCard::HalfTime ? "half time" : "full time", kWhite);
    centred(big, centre, top + 54, scoreLine(m, moments.homeGoals(), moments.awayGoals()), kWhite);

    // Scorers under their side: home on the left, away on the right; the oldest first.
    for (std::int8_t side : {SIDE_HOME, SIDE_AWAY}) {
        std::vector<std::string> lines;
        for (const GoalMoment& goal : moments.goals()) {
            if (goal.side == side) lines.push_back(scorerText(goal));
        }
        if (lines.size() > kScorerRows) {
            const std::size_t more = lines.size() - (kScorerRows - 1);
            lines.resize(kScorerRows - 1);
            lines.push_back("and " + std::to_string(more) + " more");
        }
        int y = top + 104;
        for (const std::string& line : lines) {
            const int x = side == SIDE_HOME ? left + 30 : right - 30 - font.textWidth(line);
            font.draw(f(x), f(y), line, kWhite);
            y += 21;
        }
    }
    if (moments.goals().empty()) centred(font, centre, top + 166, "no goals", kLightGrey);

    const std::array<std::string, 2> possession = possessionTexts(m.home.possessionTime, m.away.possessionTime);
    auto row = [&](const char* label, const std::string& home, const std::string& away, int y) {
        centred(font, centre, y, label, kWhite);
        font.draw(f(left + 30), f(y), home, kWhite);
        font.draw(f(right - 30 - font.textWidth(away)), f(y), away, kWhite);
    };
    row("shots", std::to_string(m.home.shots), std::to_string(m.away.shots), top + 276);
    row("possession", possession[0], possession[1], top + 300);

    const std::string go = "press enter or " + platform::keyName(settings().keys[SLOT_PASS]) + " to continue";
    centred(font, centre, top + 342, go, kRed);
}

bool dismissesCard(const platform::KeyEvent& e, bool twoPlayers) {
    if (!e.pressed || e.repeat) return false;
    if (e.virtualKey == kVkEnter) return true;
    if (e.fromPad) return e.padButton >= 0 && e.padButton == extraSettings().padPass;
    if (twoPlayers && e.virtualKey != 0 && e.virtualKey == extraSettings().player2Keys[SLOT_PASS]) return true;
    return e.virtualKey == settings().keys[SLOT_PASS];
}

}  // namespace flikka
