#include <string>

#include "players/Goalkeeper.h"
#include "ui/Hud.h"
#include "view_fixture.h"

namespace flikka::view_testing {
namespace {

constexpr Color kWhite = 0xFFFFFFFF;
constexpr Color kRed = 0xFFFF0000;
constexpr Color kBlue = 0xFF0000FF;
constexpr Color kGold = 0xFFFFD700;
constexpr Color kYellowGreen = 0xFF9ACD32;

TEST(HudTexts, ClockShowsMinutesAndInjuryTime) {
    EXPECT_EQ(clockText(37, false), "37 min");
    EXPECT_EQ(clockText(0, false), "0 min");
    EXPECT_EQ(clockText(45, false), "45 min");
    EXPECT_EQ(clockText(46, false), "inj");
    EXPECT_EQ(clockText(46, true), "46 min");
    EXPECT_EQ(clockText(90, true), "90 min");
    EXPECT_EQ(clockText(91, true), "inj");
}

TEST(HudTexts, StateNamesAndDebugLabels) {
    EXPECT_STREQ(matchStateName(GAME_PLAY), "GAME_PLAY");
    EXPECT_STREQ(matchStateName(GAME_OUT_OF_PLAY), "GAME_OUT_OF_PLAY");
    EXPECT_STREQ(matchStateName(GAME_READY), "GAME_READY");
    EXPECT_STREQ(matchStateName(GAME_SETUP), "GAME_???");
    EXPECT_STREQ(matchStateName(9), "GAME_???");

    EXPECT_EQ(debugLabelText("M C", STATE_WITH_BALL, "Giuliani"), "M C, HASB\nGiuliani");
    EXPECT_EQ(debugLabelText("ST", STATE_INTERCEPT, "Muzzi"), "ST, REC\nMuzzi");
    EXPECT_EQ(debugLabelText("D L", STATE_PRESS, "Fowler"), "D L, CPL\nFowler");
    EXPECT_EQ(debugLabelText("FW L", 9, "Mason"), "FW L, \nMason");
    EXPECT_EQ(debugLabelText("FW L", -1, "Mason"), "FW L, \nMason");
    const char* expected[] = {"REC", "SPACE", "POS", "INT", "MARK", "COV", "GFB", "HASB", "CPL"};
    for (int s = 0; s < 9; ++s) EXPECT_STREQ(aiStateShortName(s), expected[s]);
}

class HudTest : public ViewTest {
protected:
    // Radar pixel of a pitch point, for a radar whose top-left corner is (left, top).
    static std::pair<int, int> onRadar(int left, int top, float x, float y) {
        return {left + static_cast<int>(radarX(x, 1.2f)), top + static_cast<int>(radarY(y, 1.2f))};
    }
    Color at(const PixelBuffer& px, std::pair<int, int> p) { return px.at(p.first, p.second); }
};

TEST_F(HudTest, PanelsShowNamesScoresAndClock) {
    settings().debugInfo = false;
    calmScene();
    match->homeScore = 3;
    match->awayScore = 1;
    match->elapsed = 246.0f;  // 10-minute match: minute 37
    const PixelBuffer frame = drawFrame();
    platform::Font& font = g().mainFont();
    const int w = g().windowWidth();
    EXPECT_TRUE(shows(frame, font, 40, 37, "H: " + match->home.name, kWhite));
    EXPECT_TRUE(shows(frame, font, 40, 64, "A: " + match->away.name, kWhite));
    EXPECT_TRUE(shows(frame, font, 211, 37, "3", kWhite));
    EXPECT_TRUE(shows(frame, font, 211, 64, "1", kWhite));
    EXPECT_TRUE(shows(frame, font, w - 58 - font.textWidth("37 min") / 2, 37, "37 min", kWhite));

    // The panels are see-through: the grass under them still tells through.
    const PixelBuffer panel = platform::loadPng("gfx/hud_teams.png");
    const Color drawn = frame.at(31 + panel.width / 2, 31 + panel.height - 4);
    const Color art = panel.at(panel.width / 2 + 1, panel.height - 3);
    EXPECT_NE(rgb(drawn), rgb(art));

    match->secondHalf = true;
    match->elapsed = 600.0f * 91.0f / 90.0f;
    const PixelBuffer late = drawFrame();
    EXPECT_TRUE(shows(late, font, w - 58 - font.textWidth("inj") / 2, 37, "inj", kWhite));
}

TEST_F(HudTest, RadarDotsHaveTheirColoursAtTheirPlaces) {
    settings().debugInfo = false;
    calmScene();
    home(3).position = {10.0f, 20.0f, 0.0f};
    away(6).position = {-20.0f, -30.0f, 0.0f};
    home(5).position = {20.0f, -40.0f, 0.0f};
    match->humans[0].selected = &home(5);
    match->ball.position = {-10.0f, 10.0f, 3.0f};  // its ground point is shown
    const PixelBuffer frame = drawFrame();
    const int left = g().windowWidth() - 84 - 20, top = g().windowHeight() - 126 - 20;
    EXPECT_EQ(at(frame, onRadar(left, top, 10.0f, 20.0f)), kRed);
    EXPECT_EQ(at(frame, onRadar(left, top, -20.0f, -30.0f)), kBlue);
    EXPECT_EQ(at(frame, onRadar(left, top, 20.0f, -40.0f)), kGold);
    auto [gx, gy] = onRadar(left, top, 20.0f, -40.0f);
    EXPECT_EQ(frame.at(gx - 3, gy - 3), kGold);  // 6 x 6, over his red dot
    EXPECT_EQ(frame.at(gx + 2, gy + 2), kGold);
    EXPECT_EQ(at(frame, onRadar(left, top, -10.0f, 10.0f)), kWhite);
    // Outline and halfway line in white, the field dimmed but not hidden.
    EXPECT_EQ(frame.at(left, top + 10), kWhite);
    EXPECT_EQ(frame.at(left + 40, top + 63), kWhite);
    settings().radar = false;
    const PixelBuffer bare = drawFrame();
    const Color under = bare.at(left + 70, top + 20), dimmed = frame.at(left + 70, top + 20);
    EXPECT_LT(green(dimmed), green(under));
    EXPECT_GT(green(dimmed), green(under) / 2);
    EXPECT_NE(bare.at(left, top + 10), kWhite);
}

TEST_F(HudTest, DebugRadarShowsAssignedPlacesAndBlocks) {
    settings().radar = false;
    calmScene();
    home(3).homePosition = {10.0f, 20.0f, 0.0f};
    away(6).homePosition = {-20.0f, -30.0f, 0.0f};
    match->homeAi.blockMinX = -30.0f;
    match->homeAi.blockMaxX = 30.0f;
    match->homeAi.blockMinY = -40.0f;
    match->homeAi.blockMaxY = 40.0f;
    const PixelBuffer frame = drawFrame();
    const int left = 20, top = g().windowHeight() - 126 - 20;
    EXPECT_EQ(at(frame, onRadar(left, top, 10.0f, 20.0f)), kRed);
    EXPECT_EQ(at(frame, onRadar(left, top, -20.0f, -30.0f)), kBlue);
    EXPECT_EQ(frame.at(left, top + 10), kWhite);
    // Red-tinted background; the block's outline lighter than the field inside it.
    const Color field = frame.at(left + 42, top + 30);
    EXPECT_GT(red(field), green(field) / 2);
    auto [bx, by] = onRadar(left, top, -30.0f, 0.0f);
    EXPECT_GT(blue(frame.at(bx, by + 5)), blue(frame.at(bx + 3, by + 5)) + 50);
    // The bottom-right radar is off: only the debug one is drawn.
    EXPECT_NE(frame.at(g().windowWidth() - 104, top + 10), kWhite);

    settings().debugInfo = false;
    EXPECT_NE(drawFrame().at(left, top + 10), kWhite);
}

TEST_F(HudTest, PassValueBarsAndStateText) {
    settings().radar = false;
    calmScene();
    COutfieldPlayer& low = homeOutfield(4);
    COutfieldPlayer& high = homeOutfield(7);
    low.position = {5.0f, 10.0f, 0.0f};
    low.passValue = -20.0f;
    high.position = {-5.0f, 10.0f, 0.0f};
    high.passValue = 12.0f;
    match->state = GAME_SETUP;
    const PixelBuffer frame = drawFrame();
    const int lx = static_cast<int>(g().worldToScreenX(5.0f)), ly = static_cast<int>(g().worldToScreenY(10.0f));
    // Negative: red, 3 pixels wide, reaching 20 pixels down from his feet.
    EXPECT_EQ(frame.at(lx - 14, ly + 1), kRed);
    EXPECT_EQ(frame.at(lx - 14, ly + 19), kRed);
    EXPECT_EQ(frame.at(lx - 13, ly + 10), kRed);
    EXPECT_NE(frame.at(lx - 12, ly + 10), kRed);
    EXPECT_NE(frame.at(lx - 14, ly + 21), kRed);
    EXPECT_NE(frame.at(lx - 14, ly - 2), kRed);
    const int hx = static_cast<int>(g().worldToScreenX(-5.0f)), hy = static_cast<int>(g().worldToScreenY(10.0f));
    EXPECT_EQ(frame.at(hx - 14, hy - 1), kYellowGreen);
    EXPECT_EQ(frame.at(hx - 14, hy - 12), kYellowGreen);
    EXPECT_NE(frame.at(hx - 14, hy - 14), kYellowGreen);

    platform::Font& mini = g().miniFont();
    const std::string label = debugLabelText(match->homeAi.formation.slotLabel(&low), low.state, low.name);
    EXPECT_TRUE(shows(frame, mini, lx - 5, ly + 3, label, kWhite));
    EXPECT_TRUE(shows(frame, g().mainFont(), 200, g().windowHeight() - 20, "GAME_???", kWhite));

    settings().debugInfo = false;
    EXPECT_NE(drawFrame().at(lx - 14, ly + 1), kRed);
}

TEST_F(HudTest, BestPassOfAKeeperHolderIsFoundFromHisFacing) {
    calmScene();
    auto& keeper = dynamic_cast<CGoalkeeper&>(*match->home.goalkeeper());
    keeper.position = {0.0f, -50.0f, 0.0f};
    keeper.direction = 1;  // up: aims 7, 8, 1, 2, 3
    match->ball.position = {0.0f, -49.6f, kBallRadius};
    match->ballHolder = &keeper;
    for (std::size_t i = 1; i < match->home.size(); ++i) home(i).position = {-5.0f + static_cast<float>(i), -70.0f, 0.0f};
    COutfieldPlayer& ahead = homeOutfield(2);
    COutfieldPlayer& upLeft = homeOutfield(3);
    COutfieldPlayer& upRight = homeOutfield(4);
    ahead.position = {0.0f, -30.0f, 0.0f};
    upLeft.position = {-10.0f, -40.0f, 0.0f};
    upRight.position = {10.0f, -40.0f, 0.0f};
    ahead.passValue = 5.0f;
    upLeft.passValue = 9.0f;
    upRight.passValue = 9.0f;

    PassChoice best = bestPassFor(*match, keeper);
    EXPECT_EQ(best.receiver, &upRight);  // a tie: aim 8 comes before aim 2
    EXPECT_EQ(best.aim, 8);
    EXPECT_FLOAT_EQ(best.score, 9.0f);

    for (COutfieldPlayer* p : {&ahead, &upLeft, &upRight}) p->passValue = -3.0f;
    ahead.passValue = -2.0f;
    best = bestPassFor(*match, keeper);
    EXPECT_EQ(best.receiver, &ahead);
    EXPECT_EQ(best.aim, 1);

    // The debug view marks the receiver with a red square beside him.
    settings().radar = false;
    const PixelBuffer frame = drawFrame();
    const int rx = static_cast<int>(g().worldToScreenX(0.0f)), ry = static_cast<int>(g().worldToScreenY(-30.0f));
    EXPECT_EQ(frame.at(rx + 12, ry - 12), kRed);
    EXPECT_NE(frame.at(rx + 12, ry - 17), kRed);

    for (std::size_t i = 1; i < match->home.size(); ++i) {
        if (home(i).position.y < -60.0f) home(i).position.y = 0.0f;
    }
    keeper.direction = 5;  // facing his own goal line, everybody in front of him: nobody in reach
    best = bestPassFor(*match, keeper);
    EXPECT_EQ(best.receiver, nullptr);
    EXPECT_FLOAT_EQ(best.score, -1000.0f);
    const PixelBuffer none = drawFrame();
    EXPECT_NE(none.at(rx + 12, ry - 12), kRed);
}

}  // namespace
}  // namespace flikka::view_testing
