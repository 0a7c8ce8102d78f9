#include "ui/StatisticsScreen.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "match/Match.h"
#include "ui/Graphics.h"
#include "ui/Hud.h"
#include "ui/Colours.h"

namespace flikka {

namespace {

using namespace colours;


// Non-negative whole seconds; a time that is not a finite number counts as none, and a
// (corrupt) huge one is capped so that the conversion stays defined.
long roundedSeconds(float t) {
    if (!std::isfinite(t) || t <= 0.0f) return 0;
    constexpr double kLongest = 1.0e9;
    return static_cast<long>(std::floor(std::min(static_cast<double>(t), kLongest) + 0.5));
}

}  // namespace

std::string possessionText(long wholeSeconds, double share) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%ld:%02ld (%.1f%%)", wholeSeconds / 60, wholeSeconds % 60, share * 100.0);
    return buffer;
}

std::array<std::string, 2> possessionTexts(float homeSeconds, float awaySeconds) {
    const long p1 = roundedSeconds(homeSeconds);
    const long p2 = roundedSeconds(awaySeconds);
    const long total = p1 + p2;
    const double s1 = total == 0 ? 0.0 : static_cast<double>(p1) / static_cast<double>(total);
    const double s2 = total == 0 ? 0.0 : static_cast<double>(p2) / static_cast<double>(total);
    return {possessionText(p1, s1), possessionText(p2, s2)};
}

void drawStatisticsPage(CGraphics& g, int top) {
    const CMatch* m = g.match();
    if (m == nullptr) return;
    platform::Font& font = g.menuFont();
    const int centre = g.windowWidth() / 2;
    const int bw = g.menuBackgroundLarge().width();
    const int hx = centre - bw / 2 + 40;
    const int ax = centre + bw / 2 - 40;
    auto centred = [&](const std::string& text, int y, platform::Color c) {
        font.draw(static_cast<float>(centre - font.textWidth(text) / 2), static_cast<float>(y), text, c);
    };
    auto row = [&](const std::string& home, const std::string& away, int y) {
        font.draw(static_cast<float>(hx), static_cast<float>(y), home, kWhite);
        font.draw(static_cast<float>(ax - font.textWidth(away)), static_cast<float>(y), away, kWhite);
    };

    centred("statistics", top + 100, kWhite);
    row("HOME", "AWAY", top + 100);
    // Two humans: who played which side, under its heading.
    if (m->humanCount() == 2) row(humanPlayersText(*m, m->home), humanPlayersText(*m, m->away), top + 120);

    const CTeam& h = m->home;
    const CTeam& a = m->away;
    const std::array<std::string, 2> possession = possessionTexts(h.possessionTime, a.possessionTime);
    struct Row {
        const char* label;
        std::string home, away;
    };
    std::vector<Row> rows = {
        {"goals scored", std::to_string(m->homeScore), std::to_string(m->awayScore)},
        {"shots", std::to_string(h.shots), std::to_string(a.shots)},
        {"shots on goal", std::to_string(h.shotsOnGoal), std::to_string(a.shotsOnGoal)},
        {"passes", std::to_string(h.passes), std::to_string(a.passes)},
        {"successful passes", std::to_string(h.successfulPasses), std::to_string(a.successfulPasses)},
        {"possesion", possession[0], possession[1]},
        {"corners for", std::to_string(h.cornersFor), std::to_string(a.cornersFor)},
        {"throw ins for", std::to_string(h.throwInsFor), std::to_string(a.throwInsFor)},
    };
    // Full rules add their four counters; the page then reaches further down its background.
    const bool full = m->rules.full();
    if (full) {
        rows.push_back({"fouls", std::to_string(h.fouls), std::to_string(a.fouls)});
        rows.push_back({"offsides", std::to_string(h.offsides), std::to_string(a.offsides)});
        rows.push_back({"free kicks", std::to_string(h.freeKicks), std::to_string(a.freeKicks)});
        rows.push_back({"penalties", std::to_string(h.penalties), std::to_string(a.penalties)});
    }
    int y = top + 140;
    for (const Row& r : rows) {
        centred(r.label, y, kWhite);
        row(r.home, r.away, y);
        y += 20;
    }
    centred("press enter to go back", top + (full ? 395 : 345), kRed);
}

}  // namespace flikka
