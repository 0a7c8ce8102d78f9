#include <cmath>

#include "ui/Menu.h"
#include "ui/StatisticsScreen.h"
#include "view_fixture.h"

namespace flikka::view_testing {
namespace {

TEST(PossessionText, MinutesSecondsAndShareFromWholeSeconds) {
    EXPECT_EQ(possessionText(754, 0.5342), "12:34 (53.4%)");
    EXPECT_EQ(possessionText(0, 0.0), "0:00 (0.0%)");
    EXPECT_EQ(possessionText(60, 1.0), "1:00 (100.0%)");
    EXPECT_EQ(possessionText(3599, 0.25), "59:59 (25.0%)");

    auto texts = possessionTexts(59.6f, 0.4f);
    EXPECT_EQ(texts[0], "1:00 (100.0%)");
    EXPECT_EQ(texts[1], "0:00 (0.0%)");
    texts = possessionTexts(0.0f, 0.0f);  // before any play
    EXPECT_EQ(texts[0], "0:00 (0.0%)");
    EXPECT_EQ(texts[1], "0:00 (0.0%)");
    texts = possessionTexts(754.3f, 657.6f);  // 754 and 658 seconds
    EXPECT_EQ(texts[0], "12:34 (53.4%)");
    EXPECT_EQ(texts[1], "10:58 (46.6%)");
    texts = possessionTexts(std::nanf(""), 1.0e30f);  // nonsense never reaches the screen as garbage
    EXPECT_EQ(texts[0], "0:00 (0.0%)");
    EXPECT_EQ(texts[1], "16666666:40 (100.0%)");
    texts = possessionTexts(30.0f, 90.0f);
    EXPECT_EQ(texts[0], "0:30 (25.0%)");
    EXPECT_EQ(texts[1], "1:30 (75.0%)");
}

class StatisticsPageTest : public ViewTest {};

TEST_F(StatisticsPageTest, RowsShowBothTeamsCounters) {
    CTeam& h = match->home;
    CTeam& a = match->away;
    match->homeScore = 2;
    match->awayScore = 11;
    h.shots = 7;
    a.shotsOnGoal = 3;
    h.passes = 123;
    a.successfulPasses = 45;
    h.possessionTime = 754.3f;
    a.possessionTime = 657.6f;
    h.cornersFor = 6;
    a.throwInsFor = 19;

    const int top = (g().windowHeight() - g().menuBackgroundLarge().height()) / 2;
    g().display().clear(0xFF000000);
    drawStatisticsPage(g(), top);
    const PixelBuffer frame = keep(g().display().readPixels());

    platform::Font& font = g().menuFont();
    const int w = g().windowWidth();
    const int bw = g().menuBackgroundLarge().width();
    const int hx = w / 2 - bw / 2 + 40, ax = w / 2 + bw / 2 - 40;
    auto centred = [&](const std::string& t) { return w / 2 - font.textWidth(t) / 2; };
    auto right = [&](const std::string& t) { return ax - font.textWidth(t); };
    const Color white = 0xFFFFFFFF;

    EXPECT_TRUE(shows(frame, font, centred("statistics"), top + 100, "statistics", white));
    EXPECT_TRUE(shows(frame, font, hx, top + 100, "HOME", white));
    EXPECT_TRUE(shows(frame, font, right("AWAY"), top + 100, "AWAY", white));
    const char* labels[] = {"goals scored",      "shots",     "shots on goal", "passes",
                            "successful passes", "possesion", "corners for",   "throw ins for"};
    const std::string home[] = {"2", "7", "0", "123", "0", "12:34 (53.4%)", "6", "0"};
    const std::string away[] = {"11", "0", "3", "0", "45", "10:58 (46.6%)", "0", "19"};
    for (int i = 0; i < 8; ++i) {
        const int y = top + 140 + 20 * i;
        EXPECT_TRUE(shows(frame, font, centred(labels[i]), y, labels[i], white)) << labels[i];
        EXPECT_TRUE(shows(frame, font, hx, y, home[i], white)) << labels[i];
        EXPECT_TRUE(shows(frame, font, right(away[i]), y, away[i], white)) << labels[i];
    }
    EXPECT_TRUE(shows(frame, font, centred("press enter to go back"), top + 345, "press enter to go back", 0xFFFF0000));
}

TEST_F(StatisticsPageTest, FullRulesAddFoulsOffsidesFreeKicksAndPenalties) {
    CTeam& h = match->home;
    CTeam& a = match->away;
    h.fouls = 4;
    a.offsides = 2;
    h.freeKicks = 3;
    a.penalties = 1;
    const int top = (g().windowHeight() - g().menuBackgroundLarge().height()) / 2;
    platform::Font& font = g().menuFont();
    const int w = g().windowWidth();
    const int bw = g().menuBackgroundLarge().width();
    const int hx = w / 2 - bw / 2 + 40, ax = w / 2 + bw / 2 - 40;
    auto centred = [&](const std::string& t) { return w / 2 - font.textWidth(t) / 2; };
    const Color white = 0xFFFFFFFF;
    const char* labels[] = {"fouls", "offsides", "free kicks", "penalties"};
    const std::string home[] = {"4", "0", "3", "0"};
    const std::string away[] = {"0", "2", "0", "1"};

    // Classic: the same counters never show, and the page ends where it always did.
    g().display().clear(0xFF000000);
    drawStatisticsPage(g(), top);
    PixelBuffer frame = keep(g().display().readPixels());
    EXPECT_FALSE(shows(frame, font, centred("fouls"), top + 300, "fouls", white));
    EXPECT_TRUE(shows(frame, font, centred("press enter to go back"), top + 345, "press enter to go back", 0xFFFF0000));

    match->rules = MatchRules::fullRules();
    g().display().clear(0xFF000000);
    drawStatisticsPage(g(), top);
    frame = keep(g().display().readPixels());
    for (int i = 0; i < 4; ++i) {
        const int y = top + 300 + 20 * i;
        EXPECT_TRUE(shows(frame, font, centred(labels[i]), y, labels[i], white)) << labels[i];
        EXPECT_TRUE(shows(frame, font, hx, y, home[i], white)) << labels[i];
        EXPECT_TRUE(shows(frame, font, ax - font.textWidth(away[i]), y, away[i], white)) << labels[i];
    }
    EXPECT_TRUE(shows(frame, font, centred("press enter to go back"), top + 395, "press enter to go back", 0xFFFF0000));
}

}  // namespace
}  // namespace flikka::view_testing
