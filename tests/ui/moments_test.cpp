// The moments on screen: what the event stream leaves for the banner and the cards, the restart
// prompt and the keys that end a card, and the three panels as drawn.
#include <iostream>
#include <string>

#include "settings/ExtraSettings.h"
#include "sim/KeyState.h"
#include "sim/Random.h"
#include "ui/MatchMoments.h"
#include "ui/MomentsView.h"
#include "view_fixture.h"

namespace flikka::view_testing {
namespace {

constexpr Color kWhite = 0xFFFFFFFF;
constexpr Color kRed = 0xFFFF0000;
constexpr Color kGold = 0xFFFFD700;

MatchEvent event(MatchEventKind kind, const CPlayer* p = nullptr, std::int8_t side = SIDE_NONE, unsigned minute = 0,
                 bool own = false) {
    MatchEvent e;
    e.kind = kind;
    e.player = p;
    e.side = side;
    e.minute = minute;
    e.ownGoal = own;
    return e;
}

TEST(MatchMoments, GoalsFromTheStreamMakeTheBannerAndTheCards) {
    MatchMoments mo;
    {
        CPlayer conti;  // gone before the card is drawn: his name must have been kept
        conti.name = "Conti";
        mo.afterStep({event(MatchEventKind::Kick), event(MatchEventKind::Goal, &conti, SIDE_AWAY, 12)});
        mo.afterStep({event(MatchEventKind::Goal, &conti, SIDE_HOME, 31, true)});
    }
    ASSERT_NE(mo.banner(), nullptr);
    EXPECT_EQ(scorerText(*mo.banner()), "Conti 31 min (own goal)");
    EXPECT_EQ(scorerText(mo.goals()[0]), "Conti 12 min");
    EXPECT_EQ(mo.banner()->homeGoals, 1);
    EXPECT_EQ(mo.banner()->awayGoals, 1);
    // 2.5 s of steps, the goal's own step included.
    for (int i = 1; i < MatchMoments::kBannerSteps; ++i) mo.afterStep({});
    EXPECT_NE(mo.banner(), nullptr);
    mo.afterStep({});
    EXPECT_EQ(mo.banner(), nullptr);

    mo.afterStep({event(MatchEventKind::Goal, nullptr, SIDE_HOME, 44), event(MatchEventKind::HalfTime)});
    EXPECT_EQ(mo.card(), TimeCard::HalfTime);
    EXPECT_EQ(mo.banner(), nullptr) << "the card replaces the banner";
    mo.dismissCard();
    EXPECT_EQ(mo.card(), TimeCard::None);
    mo.reset();
    EXPECT_TRUE(mo.goals().empty());
    EXPECT_EQ(mo.homeGoals(), 0);
}

TEST(MomentsInput, EnterThePassKeyOrThePadsPassButtonEndsTheCard) {
    settings().resetToDefaults();
    auto key = [](int vk, bool pressed = true, bool repeat = false) {
        platform::KeyEvent e;
        e.virtualKey = vk;
        e.pressed = pressed;
        e.repeat = repeat;
        return e;
    };
    EXPECT_TRUE(dismissesCard(key(13)) && dismissesCard(key(83)));  // Enter, S (pass)
    EXPECT_FALSE(dismissesCard(key(27)) || dismissesCard(key(68)) || dismissesCard(key(83, false)) ||
                 dismissesCard(key(83, true, true)));  // Escape, shoot, a release, a repeat
    settings().keys[SLOT_PASS] = 75;
    EXPECT_TRUE(dismissesCard(key(75)) && !dismissesCard(key(83)));
    // Player 2's pass key (H) ends it too, but only when two play.
    EXPECT_TRUE(dismissesCard(key(72), true));
    EXPECT_FALSE(dismissesCard(key(72)));
    platform::KeyEvent pad;
    pad.fromPad = true;
    pad.padButton = extraSettings().padPass;
    EXPECT_TRUE(dismissesCard(pad));
    settings().resetToDefaults();
}

// Set up by the match itself, so the taker must be the footballer the human controls.
TEST(MomentsPrompt, FullRulesFreeKicksAndPenaltiesNameTheKeyThatTakesThem) {
    settings().resetToDefaults();
    CMatch m;
    m.console = nullptr;
    struct Case {
        int kind;
        Vector3 at;  // the away side attacks the lower goal
        const char* text;
    };
    for (const Case& c : {Case{FREE_KICK, {10.0f, -20.5f, kBallRadius}, "press S to take the free kick"},
                          Case{INDIRECT_FREE_KICK, {-6.0f, -30.0f, kBallRadius}, "press S to take the free kick"},
                          Case{PENALTY, {0.0f, -41.5f, kBallRadius}, "press D to take the penalty"}}) {
        m.random.seed(kDefaultSeed);
        m.newMatch(k442, k442, 300.0f, HUMAN_AWAY, MatchRules::fullRules());
        m.state = GAME_OUT_OF_PLAY;
        m.stateTimer = 1.5f;
        m.restartKind = c.kind;
        m.restartPoint = c.at;
        m.homeTakesRestart = false;
        for (int i = 0; i < 1000 && m.state != GAME_READY; ++i) m.matchStep(0.005f);
        ASSERT_EQ(m.state, GAME_READY);
        EXPECT_EQ(restartPrompt(m).text(), c.text);
    }
}

class MomentsTest : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        match->newMatch(k442, k442, 600.0f, HUMAN_HOME);
        calmScene();
        match->state = GAME_READY;
        match->homeTakesRestart = true;
        match->humans[0].selected = &home(9);
    }
    int centreLeft(platform::Font& font, const std::string& text) { return g().windowWidth() / 2 - font.textWidth(text) / 2; }
};

TEST_F(MomentsTest, PromptOnlyWhenTheHumanMustTakeTheRestartWithTheBoundKey) {
    match->restartKind = THROW_IN;
    EXPECT_EQ(restartPrompt(*match).text(), "press S to take the throw-in");
    settings().keys[SLOT_PASS] = 32;
    match->restartKind = CORNER;
    EXPECT_EQ(restartPrompt(*match).text(), "press Space to take the corner");
    settings().resetToDefaults();
    match->restartKind = GOAL_KICK;
    match->ballHolder = match->home.goalkeeper();  // no key moves him: nothing to press
    EXPECT_FALSE(restartPrompt(*match).shown());
    match->ballHolder = nullptr;
    match->restartKind = KICK_OFF;
    match->homeTakesRestart = false;
    EXPECT_FALSE(restartPrompt(*match).shown());

    match->homeTakesRestart = true;
    g().display().clear(0xFF000000);
    drawMatchFrame(g(), false);
    drawRestartPrompt(g());
    const PixelBuffer frame = keep(g().display().readPixels());
    platform::Font& font = g().mainFont();
    const int y = promptTop(g()) + (g().promptPanel().height() - font.height()) / 2;
    const int x = centreLeft(font, "press S to kick off");
    EXPECT_TRUE(shows(frame, font, x, y, "press ", kWhite));
    EXPECT_TRUE(shows(frame, font, x + font.textWidth("press "), y, "S", kGold));
    EXPECT_TRUE(shows(frame, font, x + font.textWidth("press S"), y, " to kick off", kWhite));
}

// Two at the keys: the prompt names the taker's player and his own key, never the other's.
TEST_F(MomentsTest, WithTwoHumansThePromptNamesTheTakersPlayerAndHisKey) {
    match->newMatch(k442, k442, 600.0f, HUMAN_HOME_TWO);
    calmScene();
    match->state = GAME_READY;
    match->homeTakesRestart = true;
    match->restartKind = THROW_IN;
    match->humans[0].selected = &home(9);
    match->humans[1].selected = &home(3);
    match->ballHolder = &home(3);
    EXPECT_EQ(restartPrompt(*match).text(), "player 2: press H to take the throw-in");
    extraSettings().player2Keys[SLOT_SHOOT] = 32;
    match->restartKind = PENALTY;
    EXPECT_EQ(restartPrompt(*match).text(), "player 2: press Space to take the penalty");
    extraSettings().resetToDefaults();
    match->ballHolder = &home(9);
    EXPECT_EQ(restartPrompt(*match).text(), "player 1: press D to take the penalty");
    // Nobody holds the ball yet: the human whose footballer stands nearest the spot.
    match->ballHolder = nullptr;
    match->restartKind = KICK_OFF;
    match->restartPoint = {0.0f, 0.0f, kBallRadius};
    home(3).position = {1.0f, 1.0f, 0.0f};
    home(9).position = {10.0f, 10.0f, 0.0f};
    EXPECT_EQ(restartPrompt(*match).text(), "player 2: press H to kick off");
    match->homeTakesRestart = false;
    EXPECT_FALSE(restartPrompt(*match).shown()) << "the computer's side kicks off";

    // One human each side: the away side's restart is player 2's.
    match->newMatch(k442, k442, 600.0f, HUMAN_BOTH);
    calmScene();
    match->state = GAME_READY;
    match->homeTakesRestart = false;
    match->restartKind = CORNER;
    match->humans[0].selected = &home(9);
    match->humans[1].selected = &away(7);
    match->ballHolder = &away(7);
    EXPECT_EQ(restartPrompt(*match).text(), "player 2: press H to take the corner");

    g().display().clear(0xFF000000);
    drawMatchFrame(g(), false);
    drawRestartPrompt(g());
    const PixelBuffer frame = keep(g().display().readPixels());
    platform::Font& font = g().mainFont();
    const std::string text = "player 2: press H to take the corner";
    const int y = promptTop(g()) + (g().promptPanel().height() - font.height()) / 2;
    const int x = centreLeft(font, text);
    EXPECT_TRUE(shows(frame, font, x, y, "player 2: press ", kWhite));
    EXPECT_TRUE(shows(frame, font, x + font.textWidth("player 2: press "), y, "H", kGold));
    EXPECT_LE(font.textWidth(text) + 24, g().promptPanel().width()) << "the text overflows its panel";
}

TEST_F(MomentsTest, BannerOverTheFadeAndCardOverTheFrozenMatch) {
    MatchMoments mo;
    mo.afterStep({event(MatchEventKind::Goal, &home(10), SIDE_HOME, 12)});
    mo.afterStep({event(MatchEventKind::Goal, &away(9), SIDE_AWAY, 30)});
    match->stateTimer = 1.5f;  // half faded to black
    g().display().clear(0xFF000000);
    drawMatchFrame(g(), false);
    drawGoalBanner(g(), mo);
    PixelBuffer frame = keep(g().display().readPixels());
    platform::Font& big = g().menuFont();
    platform::Font& font = g().mainFont();
    const int top = bannerTop(g());
    const std::string scorer = away(9).name + " 30 min";
    const std::string score = "Supermen Utd  1 - 1  Lilac City";
    EXPECT_TRUE(shows(frame, big, centreLeft(big, "GOAL!"), top + 6, "GOAL!", kRed));
    EXPECT_TRUE(shows(frame, big, centreLeft(big, scorer), top + 44, scorer, kWhite));
    EXPECT_TRUE(shows(frame, font, centreLeft(font, score), top + 74, score, kWhite));

    mo.afterStep({event(MatchEventKind::HalfTime)});
    match->stateTimer = 0.0f;
    match->home.shots = 7;
    match->home.possessionTime = 90.0f;
    match->away.possessionTime = 60.0f;
    const PixelBuffer plain = drawFrame(false);
    drawTimeCard(g(), mo);
    frame = keep(g().display().readPixels());
    const int ct = cardTop(g());
    const int left = g().centredLeft(g().cardPanel().width());
    const int right = left + g().cardPanel().width();
    const std::string home10 = home(10).name + " 12 min";
    const std::string go = "press enter or S to continue";
    EXPECT_TRUE(shows(frame, big, centreLeft(big, "half time"), ct + 18, "half time", kWhite));
    EXPECT_TRUE(shows(frame, big, centreLeft(big, score), ct + 54, score, kWhite));
    EXPECT_TRUE(shows(frame, font, left + 30, ct + 104, home10, kWhite));
    EXPECT_TRUE(shows(frame, font, right - 30 - font.textWidth(scorer), ct + 104, scorer, kWhite));
    EXPECT_TRUE(shows(frame, font, left + 30, ct + 276, "7", kWhite));
    EXPECT_TRUE(shows(frame, font, left + 30, ct + 300, "1:30 (60.0%)", kWhite));
    EXPECT_TRUE(shows(frame, font, centreLeft(font, go), ct + 342, go, kRed));
    EXPECT_EQ(frame.at(5, frame.height / 2), plain.at(5, plain.height / 2)) << "the match beside the card";
}

}  // namespace
}  // namespace flikka::view_testing
