#include "menu_fixture.h"
#include "ui/FormationEditor.h"
#include "ui/Menu.h"
#include "ui/MenuScreen.h"
#include "ui/StatisticsScreen.h"
#include "view_fixture.h"

namespace flikka::view_testing {
namespace {

constexpr Color kWhite = 0xFFFFFFFF;
constexpr Color kRed = 0xFFFF0000;
constexpr Color kYellow = 0xFFFFFF00;
constexpr Color kGreen = 0xFF00FF00;
constexpr Color kDarkGrey = 0xFF505050;

const std::string kTooFew = " selected. Select a formation with at least 10 outfield players!";

TEST(FormationVerdict, JudgesTheCountOfOutfieldPlayersAndTheShape) {
    const unsigned defaults[5] = {2, 0, 4, 0, 4};
    FormationVerdict v = judgeFormation(defaults);
    EXPECT_EQ(v.message, "This formation seems reasonable. Good luck! ");
    EXPECT_EQ(v.color, kGreen);
    EXPECT_TRUE(v.confirmVisible);

    const unsigned nine[5] = {1, 0, 5, 0, 3};
    v = judgeFormation(nine);
    EXPECT_EQ(v.message, "9 players  selected. Select a formation with at least 10 outfield players!");
    EXPECT_EQ(v.color, kYellow);
    EXPECT_FALSE(v.confirmVisible);

    const unsigned all[5] = {5, 5, 5, 5, 5};
    v = judgeFormation(all);
    EXPECT_EQ(v.message, "Waaay too many players selected.");
    EXPECT_EQ(v.color, kYellow);
    EXPECT_FALSE(v.confirmVisible);

    const unsigned verdun[5] = {4, 0, 2, 0, 4};
    v = judgeFormation(verdun);
    EXPECT_EQ(v.message,
              "Is this the Verdun offensive? Three midfielders are a reasonable minimum. "
              "Nontheless, your formation is valid and you are free to play...");
    EXPECT_EQ(v.color, kWhite);
    EXPECT_TRUE(v.confirmVisible);

    const unsigned none[5] = {0, 0, 0, 0, 0};
    v = judgeFormation(none);
    EXPECT_EQ(v.message, "No players" + kTooFew);
    EXPECT_FALSE(v.confirmVisible);
    EXPECT_EQ(formationText(0, 0, 0, 0, 0), "");

    const unsigned one[5] = {0, 0, 1, 0, 0};
    EXPECT_EQ(judgeFormation(one).message, "1 player " + kTooFew);
    const unsigned eleven[5] = {2, 1, 4, 0, 4};
    EXPECT_EQ(judgeFormation(eleven).message, "11 players selected. Only 10 outfield players allowed!");
    const unsigned fifteen[5] = {5, 5, 5, 0, 0};
    EXPECT_EQ(judgeFormation(fifteen).message, "15 players selected. Only 10 outfield players allowed!");
    const unsigned sixteen[5] = {5, 5, 5, 1, 0};
    EXPECT_EQ(judgeFormation(sixteen).message, "Waaay too many players selected.");
    // Every advice at once; AM and DM are never judged.
    const unsigned odd[5] = {0, 5, 2, 1, 2};
    EXPECT_EQ(judgeFormation(odd).message,
              "It is advisable to choose at least one striker. Three midfielders are a reasonable minimum. "
              "Your defence could use more players, you are likely to concede a lot of goals. "
              "Nontheless, your formation is valid and you are free to play...");

    EXPECT_EQ(nextLabelColor(false, true), kDarkGrey);
    EXPECT_EQ(nextLabelColor(true, true), kRed);
    EXPECT_EQ(nextLabelColor(true, false), kWhite);
    EXPECT_EQ(formationHeader("Lilac City", false, 1), "Lilac City (user controlled)");
    EXPECT_EQ(formationHeader("Lilac City", false, 0), "Lilac City (computer)");
    EXPECT_EQ(formationHeader("Supermen Utd", true, 0), "Supermen Utd (user controlled)");
    EXPECT_EQ(formationHeader("Supermen Utd", true, 2), "Supermen Utd (computer)");
}

class FormationPageTest : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        menu = std::make_unique<CMenu>(match.get(), &keys);
        menu->setMatchStarter([](const unsigned*, const unsigned*, float, int) {});
        g().setMenu(menu.get());
    }
    void TearDown() override {
        g().setMenu(nullptr);
        ViewTest::TearDown();
    }
    void tap(std::initializer_list<int> vks) {
        for (int vk : vks) {
            keys.tap(vk);
            while (!keys.queue.empty()) menu->handleInput();
        }
    }
    PixelBuffer drawMenu() {
        g().display().clear(0xFF000000);
        drawMenuScreen(g(), true);
        return keep(g().display().readPixels());
    }
    int top() { return (g().windowHeight() - g().menuBackgroundLarge().height()) / 2; }
    int x0() { return g().windowWidth() / 2 - 40; }
    bool nextShown(const PixelBuffer& frame, Color c) {
        platform::Font& f = g().menuFont();
        return shows(frame, f, x0() + 145 - f.textWidth("next") / 2, top() + 330, "next", c);
    }

    testing::ScriptedKeyboard keys;
    std::unique_ptr<CMenu> menu;
};

constexpr int kEnter = 13, kLeft = 37, kUp = 38, kDown = 40;

TEST_F(FormationPageTest, PagesShowTheFormationAndLetOnlyTenOutfieldPlayersThrough) {
    tap({kEnter, kDown, kDown, kDown, kEnter});  // new game, "continue": the home page
    ASSERT_EQ(menu->current()->id, MENU_HOME_FORMATION);
    CMenuNode& confirm = *menu->current()->children[5];
    PixelBuffer frame = drawMenu();
    platform::Font& font = g().menuFont();
    EXPECT_FALSE(confirm.isHidden);
    EXPECT_TRUE(shows(frame, font, x0(), top() + 100, match->home.name + " (user controlled)", kWhite));
    EXPECT_TRUE(shows(frame, font, x0(), top() + 130, "4-4-2", kWhite));
    EXPECT_TRUE(nextShown(frame, kWhite));
    // The bracket around the selected row (ST, the first).
    const std::string bracket = "<                   >";
    const int cx = g().windowWidth() / 2 - 260 + g().miniPitch().width() / 2;
    EXPECT_TRUE(shows(frame, font, cx - font.textWidth(bracket) / 2 + 1, top() + 133, bracket, kRed));
    EXPECT_GT(countIn(frame, x0(), top() + 170, 290, 60, [](Color c) { return rgb(c) == 0x00FF00; }), 20);

    // 1 ST, 5 M, 3 D: nine players; the confirm item hides at once and "next" turns grey.
    tap({kLeft, kDown, kDown});
    tap({kLeft, kLeft, kLeft, kLeft, kLeft});  // M: 4 -> 5 by wrapping down through 0
    tap({kDown, kDown, kLeft});
    frame = drawMenu();
    EXPECT_TRUE(confirm.isHidden);
    EXPECT_TRUE(nextShown(frame, kDarkGrey));
    EXPECT_TRUE(shows(frame, font, x0(), top() + 130, "3-5-1", kWhite));
    EXPECT_GT(countIn(frame, x0(), top() + 170, 290, 60, [](Color c) { return rgb(c) == 0xFFFF00; }), 20);
    tap({kDown});  // from the D row past the hidden confirm item to the ST row
    EXPECT_EQ(menu->current()->selectedChild, 0u);

    // Back to 4-4-2: the confirm item shows again once drawn, and Up from ST wraps to it.
    const int defaults[5] = {2, 0, 4, 0, 4};
    for (int i = 0; i < 5; ++i) menu->current()->children[static_cast<std::size_t>(i)]->choice = defaults[i];
    drawMenu();
    EXPECT_FALSE(confirm.isHidden);
    tap({kUp});
    EXPECT_EQ(menu->current()->selectedChild, 5u);
    frame = drawMenu();
    EXPECT_TRUE(nextShown(frame, kRed));
    tap({kEnter});
    ASSERT_EQ(menu->current()->id, MENU_AWAY_FORMATION);
    frame = drawMenu();
    EXPECT_TRUE(shows(frame, font, x0(), top() + 100, match->away.name + " (computer)", kWhite));
}

TEST_F(FormationPageTest, PagesKeepTheirPlacesInAWindowSmallerThanTheirBackground) {
    tap({kEnter, kDown, kDown, kDown, kEnter});
    ASSERT_EQ(menu->current()->id, MENU_HOME_FORMATION);
    g().setMatch(nullptr);
    settings().hRes = 320;
    settings().vRes = 240;
    CGraphics small;
    small.openDisplayAndLoadAssets(true);
    small.setMatch(match.get());
    small.setMenu(menu.get());
    ASSERT_LT(small.windowWidth(), small.menuBackgroundLarge().width());
    const int top = (small.windowHeight() - small.menuBackgroundLarge().height()) / 2;
    ASSERT_LT(top, 0);
    platform::Font& font = small.menuFont();

    small.display().clear(0xFF000000);
    drawMenuScreen(small, true);
    PixelBuffer frame = keep(small.display().readPixels());
    EXPECT_TRUE(showsText(frame, glyphCore(small, font, small.windowWidth() / 2 - 40, top + 130, "4-4-2", kWhite), kWhite));

    small.display().clear(0xFF000000);
    drawStatisticsPage(small, top);
    frame = keep(small.display().readPixels());
    const std::string label = "goals scored";
    EXPECT_TRUE(showsText(
        frame, glyphCore(small, font, small.windowWidth() / 2 - font.textWidth(label) / 2, top + 140, label, kWhite), kWhite));
    small.setMenu(nullptr);
    small.setMatch(nullptr);
}

}  // namespace
}  // namespace flikka::view_testing
