#include <algorithm>

#include "platform/Platform.h"
#include "players/Goalkeeper.h"
#include "view_fixture.h"

namespace flikka::view_testing {
namespace {

constexpr Color kFullRed = 0xFFFF0000;

int indexOfSurface(const std::vector<DrawItem>& list, const platform::Image* s) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].surface == s) return static_cast<int>(i);
    }
    return -1;
}
int indexOfWorld(const std::vector<DrawItem>& list, float x, float y) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].sprite != nullptr && list[i].worldX == x && list[i].worldY == y) return static_cast<int>(i);
    }
    return -1;
}

class MatchViewTest : public ViewTest {
protected:
    // The draw list of the current scene, sorted as the frame draws it.
    std::vector<DrawItem> sortedList() {
        g().drawList().clear();
        updateCamera(g());
        fillDrawList(g());
        std::vector<DrawItem> list = g().drawList();
        g().drawList().clear();
        sortDrawList(list);
        return list;
    }
    int ballIndex(const std::vector<DrawItem>& list) {
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (list[i].sprite == &g().ball()) return static_cast<int>(i);
        }
        return -1;
    }
};

TEST_F(MatchViewTest, CameraFollowsHolderOrBallAndStaysOnThePitchImage) {
    calmScene();
    // 800 x 600 window, 1280 x 1840 pitch image: the centre may move 15 m across and 38.75 m along.
    const float limitX = g().halfPitchWidthMetres() - g().halfWindowWidthMetres();
    const float limitY = g().halfPitchHeightMetres() - g().halfWindowHeightMetres();
    ASSERT_FLOAT_EQ(limitX, 15.0f);
    ASSERT_FLOAT_EQ(limitY, 38.75f);

    match->ball.position = {3.0f, -4.0f, 0.1132f};
    updateCamera(g());
    EXPECT_FLOAT_EQ(g().cameraX(), 3.0f);
    EXPECT_FLOAT_EQ(g().cameraY(), -4.0f);

    match->ball.position = {-34.0f, -60.0f, 5.0f};
    updateCamera(g());
    EXPECT_FLOAT_EQ(g().cameraX(), -limitX);
    EXPECT_FLOAT_EQ(g().cameraY(), -limitY);

    match->ballHolder = &away(4);
    away(4).position = {30.0f, 50.0f, 0.0f};
    updateCamera(g());
    EXPECT_FLOAT_EQ(g().cameraX(), limitX);
    EXPECT_FLOAT_EQ(g().cameraY(), limitY);
    // The whole view lies on the pitch image.
    EXPECT_FLOAT_EQ(g().worldToScreenX(g().halfPitchWidthMetres()), static_cast<float>(g().windowWidth()));
    EXPECT_FLOAT_EQ(g().worldToScreenY(g().halfPitchHeightMetres()), 0.0f);

    // A window as wide as the pitch image keeps the camera at x = 0; y still follows.
    g().setMatch(nullptr);
    settings().hRes = g().pitchWidth();
    {
        CGraphics wide;
        wide.openDisplayAndLoadAssets(true);
        ASSERT_EQ(wide.windowWidth(), wide.pitchWidth());
        wide.setMatch(match.get());
        updateCamera(wide);
        EXPECT_FLOAT_EQ(wide.cameraX(), 0.0f);
        EXPECT_FLOAT_EQ(wide.cameraY(), limitY);
        away(4).position = {-12.0f, 7.0f, 0.0f};
        updateCamera(wide);
        EXPECT_FLOAT_EQ(wide.cameraX(), 0.0f);
        EXPECT_FLOAT_EQ(wide.cameraY(), 7.0f);
        wide.setMatch(nullptr);
    }
    g().setMatch(match.get());
}

TEST_F(MatchViewTest, DrawListHoldsGoalsBallAndFootballersInPainterOrder) {
    calmScene();
    std::vector<DrawItem> list = sortedList();
    ASSERT_EQ(list.size(), 29u);  // six goal parts, the ball, 22 footballers
    // Upper goal parts stand 2 pixels below their goal line, lower ones 42 pixels above theirs.
    const DrawItem& upper = list[static_cast<std::size_t>(indexOfSurface(list, &g().upperGoalBack()))];
    const DrawItem& lower = list[static_cast<std::size_t>(indexOfSurface(list, &g().lowerGoalTop()))];
    const int gw = g().upperGoalBack().width(), gh = g().upperGoalBack().height();
    EXPECT_FLOAT_EQ(upper.screenX, g().worldToScreenX(0.0f) - static_cast<float>(gw / 2));
    EXPECT_FLOAT_EQ(upper.screenY, g().worldToScreenY(52.5f) - static_cast<float>(gh) + 2.0f);
    EXPECT_FLOAT_EQ(lower.screenY, g().worldToScreenY(-52.5f) - 42.0f);
    const DrawItem& ball = list[static_cast<std::size_t>(ballIndex(list))];
    EXPECT_FLOAT_EQ(ball.screenX, g().worldToScreenX(0.0f) - 3.0f);
    EXPECT_FLOAT_EQ(ball.screenY, g().worldToScreenY(kBallRadius) - 3.0f);

    // A ball on the ground inside the upper goal: over the net back, under the frame.
    match->ball.position = {0.5f, 53.0f, 0.1132f};
    list = sortedList();
    const int back = indexOfSurface(list, &g().upperGoalBack());
    const int frame = indexOfSurface(list, &g().upperGoalFrame());
    const int top = indexOfSurface(list, &g().upperGoalTop());
    EXPECT_LT(back, ballIndex(list));
    EXPECT_LT(ballIndex(list), frame);
    EXPECT_LT(frame, top);  // crossbar tops over everything on the ground

    // Over the lower goal line: 2.6 m is above the crossbar top, 2.5 m below it.
    match->ball.position = {0.0f, -52.5f, 2.6f};
    list = sortedList();
    EXPECT_GT(ballIndex(list), indexOfSurface(list, &g().lowerGoalTop()));
    match->ball.position = {0.0f, -52.5f, 2.5f};
    list = sortedList();
    EXPECT_LT(ballIndex(list), indexOfSurface(list, &g().lowerGoalTop()));
    EXPECT_LT(ballIndex(list), indexOfSurface(list, &g().lowerGoalFrame()));
    // The lower net back lies nearer the viewer than the goal line: drawn after the frame.
    EXPECT_LT(indexOfSurface(list, &g().lowerGoalFrame()), indexOfSurface(list, &g().lowerGoalBack()));

    // Footballers at the same y keep their insertion order: home, away, then the keepers.
    away(7).position = {4.0f, 10.0f, 0.0f};
    home(2).position = {-4.0f, 10.0f, 0.0f};
    match->away.goalkeeper()->position = {8.0f, 10.0f, 0.0f};
    home(9).position = {0.0f, 11.0f, 0.0f};  // further up: drawn before all three
    list = sortedList();
    const int h = indexOfWorld(list, -4.0f, 10.0f);
    const int a = indexOfWorld(list, 4.0f, 10.0f);
    const int k = indexOfWorld(list, 8.0f, 10.0f);
    ASSERT_GE(h, 0);
    EXPECT_LT(indexOfWorld(list, 0.0f, 11.0f), h);
    EXPECT_LT(h, a);
    EXPECT_LT(a, k);

    // The sort is stable for any list: equal keys keep their order.
    std::vector<DrawItem> same(5);
    for (int i = 0; i < 5; ++i) same[static_cast<std::size_t>(i)].screenX = static_cast<float>(i);
    sortDrawList(same);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(same[static_cast<std::size_t>(i)].screenX, static_cast<float>(i));
}

TEST_F(MatchViewTest, FootballersStandOnTheirPointWithTheirKitAndTheDivingKeeperTurns) {
    calmScene();
    CPlayer& runner = home(3);
    runner.position = {2.0f, 3.0f, 0.0f};
    runner.speed = 5.0f;
    runner.direction = 7;
    std::vector<DrawItem> list = sortedList();
    const DrawItem& item = list[static_cast<std::size_t>(indexOfWorld(list, 2.0f, 3.0f))];
    platform::Sprite& right = g().setSprite(SET_HOME_RUNNING, 7);
    EXPECT_EQ(item.sprite, &right);
    EXPECT_FLOAT_EQ(item.screenX, g().worldToScreenX(2.0f) - static_cast<float>(right.width() / 2));
    EXPECT_FLOAT_EQ(item.screenY, g().worldToScreenY(3.0f) - static_cast<float>(right.height()));
    EXPECT_EQ(item.layer, 100);

    runner.speed = 0.01f;  // not more than 0.01 m/s: standing
    list = sortedList();
    EXPECT_EQ(list[static_cast<std::size_t>(indexOfWorld(list, 2.0f, 3.0f))].sprite, &g().setSprite(SET_HOME_STANDING, 7));
    away(3).position = {-2.0f, 3.0f, 0.0f};
    away(3).direction = 2;
    list = sortedList();
    EXPECT_EQ(list[static_cast<std::size_t>(indexOfWorld(list, -2.0f, 3.0f))].sprite, &g().setSprite(SET_AWAY_STANDING, 2));

    auto& keeper = dynamic_cast<CGoalkeeper&>(*match->home.goalkeeper());
    keeper.position = {1.0f, -50.0f, 0.0f};
    keeper.setDiving(true);
    keeper.setDiveAngle(0.5f);
    keeper.direction = 5;
    list = sortedList();
    const int slot = keeper.spriteDirection();
    platform::Sprite& dive = g().setSprite(SET_GK_DIVING, slot);
    EXPECT_EQ(list[static_cast<std::size_t>(indexOfWorld(list, 1.0f, -50.0f))].sprite, &dive);
    // Pixels prove the turn: a turned frame differs from the same frame drawn upright.
    g().display().clear(0xFF000000);
    dive.draw(100.0f, 100.0f);
    const PixelBuffer turned = g().display().readPixels();
    dive.setAngle(0.0f);
    g().display().clear(0xFF000000);
    dive.draw(100.0f, 100.0f);
    const PixelBuffer upright = g().display().readPixels();
    EXPECT_NE(turned.pixels, upright.pixels);
    // He turns about his feet: lying flat, his body still touches the point he stands on.
    dive.setAngle(90.0f);
    g().display().clear(0xFF000000);
    dive.draw(100.0f, 100.0f);
    const PixelBuffer lying = g().display().readPixels();
    const int footX = 100 + dive.width() / 2;
    const int footY = 100 + dive.height();
    int near = 0;
    for (int y = footY - 4; y <= footY + 4; ++y)
        for (int x = footX - 4; x <= footX + 4; ++x)
            if ((lying.at(x, y) & 0x00FFFFFF) != 0) ++near;
    EXPECT_GT(near, 0);
    keeper.setDiving(false);
}

TEST_F(MatchViewTest, HasBallMarkerLiesOverTheSelectionWhenAKeeperHoldsTheBall) {
    settings().debugInfo = false;
    settings().radar = false;
    calmScene();
    CPlayer& keeper = *match->home.goalkeeper();
    // Every holder below sets the camera to the same clamped corner, (-15, -38.75).
    keeper.position = {-20.0f, -48.0f, 0.0f};
    match->ball.position = {10.0f, -30.0f, 0.1132f};
    home(5).position = {-25.0f, -50.0f, 0.0f};
    match->ballHolder = &home(5);  // an outfield holder elsewhere
    const PixelBuffer noMarker = drawFrame();
    // The selected footballer half a metre beside the keeper: the two rings cross.
    CPlayer& mate = home(4);
    mate.position = {-19.5f, -48.0f, 0.0f};
    match->humans[0].selected = &mate;
    const PixelBuffer selectedOnly = drawFrame();
    match->ballHolder = &keeper;
    const PixelBuffer both = drawFrame();

    // The lower half of the has-ball marker lies below his feet, where nothing else is drawn.
    const PixelBuffer hasBall = spriteFrame("gfx/has_ball.png");
    const int left = static_cast<int>(g().worldToScreenX(keeper.position.x)) - hasBall.width / 2;
    const int top = static_cast<int>(g().worldToScreenY(keeper.position.y)) - hasBall.height / 2;
    int ringUnder = 0, looked = 0, shown = 0;
    for (int j = hasBall.height / 2; j < hasBall.height; ++j) {
        for (int i = 0; i < hasBall.width; ++i) {
            if ((hasBall.at(i, j) >> 24) != 0xFF) continue;
            ++looked;
            if (selectedOnly.at(left + i, top + j) != noMarker.at(left + i, top + j)) ++ringUnder;
            if (rgb(both.at(left + i, top + j)) == rgb(hasBall.at(i, j))) ++shown;
        }
    }
    ASSERT_GT(ringUnder, 0) << "the two markers must share pixels for their order to show";
    EXPECT_EQ(shown, looked);
}

TEST_F(MatchViewTest, OffsideMarkersShowInTheDebugViewOnly) {
    settings().radar = false;
    calmScene();
    COutfieldPlayer& ahead = homeOutfield(9);
    ahead.position = {6.0f, 8.0f, 0.0f};  // beyond every away outfield footballer, ahead of the ball
    ASSERT_TRUE(ahead.offside());
    ASSERT_FALSE(homeOutfield(8).offside());
    const PixelBuffer marker = spriteFrame("gfx/offside.png");
    // Rows from his feet down to his debug label: nothing else is drawn there.
    PixelBuffer rows(marker.width, 3);
    for (int j = 0; j < 3; ++j) {
        for (int i = 0; i < marker.width; ++i) rows.set(i, j, marker.at(i, marker.height / 2 + j));
    }
    auto shown = [&](const CPlayer& p, const PixelBuffer& frame) {
        const int x = static_cast<int>(g().worldToScreenX(p.position.x)) - marker.width / 2;
        const int y = static_cast<int>(g().worldToScreenY(p.position.y));  // the marker's middle row
        const Coverage c = coverage(frame, rows, x, y);
        return c.opaque > 0 && c.same == c.opaque;
    };
    const PixelBuffer debug = drawFrame();
    EXPECT_TRUE(shown(ahead, debug));
    EXPECT_FALSE(shown(homeOutfield(8), debug));
    settings().debugInfo = false;
    EXPECT_FALSE(shown(ahead, drawFrame()));
}

TEST_F(MatchViewTest, OffScreenSelectionGetsOneArrowAtTheEdge) {
    settings().debugInfo = false;
    settings().radar = false;
    calmScene();
    match->ball.position = {30.0f, -50.0f, 0.1132f};  // camera at (15, -38.75): view x -10..40, y -57.5..-20
    const int w = g().windowWidth(), h = g().windowHeight();
    struct Arrow {
        ArrowId id;
        const char* file;
    };
    const Arrow corners[] = {{ARROW_UL, "gfx/arr_ul.png"}, {ARROW_DL, "gfx/arr_dl.png"},
                             {ARROW_UR, "gfx/arr_ur.png"}, {ARROW_DR, "gfx/arr_dr.png"}};
    auto cornerAt = [&](ArrowId id, const PixelBuffer& img) {
        const int x = (id == ARROW_UR || id == ARROW_DR) ? w - img.width : 0;
        const int y = (id == ARROW_DL || id == ARROW_DR) ? h - img.height : 0;
        return std::make_pair(x, y);
    };
    auto cornersShown = [&](const PixelBuffer& frame) {
        std::vector<ArrowId> shown;
        for (const Arrow& a : corners) {
            const PixelBuffer img = spriteFrame(a.file);
            const auto [x, y] = cornerAt(a.id, img);
            const Coverage c = coverage(frame, img, x, y);
            if (c.opaque > 0 && c.same == c.opaque) shown.push_back(a.id);
        }
        return shown;
    };

    CPlayer& far = home(6);
    match->humans[0].selected = &far;
    far.position = {-30.0f, 40.0f, 0.0f};  // left of and above the view
    EXPECT_EQ(cornersShown(drawFrame()), std::vector<ArrowId>{ARROW_UL});

    far.position = {-30.0f, -45.0f, 0.0f};  // left, level with the view: the side arrow
    PixelBuffer frame = drawFrame();
    EXPECT_TRUE(cornersShown(frame).empty());
    const PixelBuffer leftArrow = spriteFrame("gfx/arr_left.png");
    const int ly = static_cast<int>(g().worldToScreenY(-45.9f)) - leftArrow.height / 2;
    const Coverage side = coverage(frame, leftArrow, 0, ly);
    EXPECT_EQ(side.same, side.opaque);

    far.position = {20.0f, -56.5f, 0.0f};  // in view (his box reaches up into it): no arrow
    frame = drawFrame();
    EXPECT_TRUE(cornersShown(frame).empty());
    EXPECT_LT(coverage(frame, leftArrow, 0, ly).same, side.opaque);
}

TEST_F(MatchViewTest, RunningSetsAnimateOnlyWhileTheMatchRuns) {
    calmScene();
    for (std::size_t i = 1; i < match->home.size(); ++i) home(i).speed = 3.0f;
    platform::Sprite& run = g().setSprite(SET_HOME_RUNNING, 5);
    ASSERT_GT(run.frameCount(), 2);
    run.setFrame(0);
    drawFrame(true);  // the animation clock starts (or continues) here
    run.setFrame(0);
    platform::sleepMs(110);
    drawFrame(false);
    EXPECT_EQ(run.currentFrame(), 0);
    drawFrame(true);  // at least 110 ms of 70 ms frames
    EXPECT_NE(run.currentFrame(), 0);
    EXPECT_EQ(g().setSprite(SET_HOME_STANDING, 5).currentFrame(), 0);
}

TEST_F(MatchViewTest, FadeTilesTheWindowFromTheOutOfPlayTimer) {
    settings().debugInfo = false;
    calmScene();
    const PixelBuffer clear = drawFrame();
    // The draw list is emptied after each frame but keeps its storage.
    EXPECT_TRUE(g().drawList().empty());
    EXPECT_GE(g().drawList().capacity(), 29u);
    match->stateTimer = 2.0f;  // the fade starts transparent
    EXPECT_EQ(drawFrame().pixels, clear.pixels);
    const Color tile = platform::loadPng("gfx/fade.png").at(0, 0);
    match->stateTimer = 1.0f;  // fully covered, the last row and column included
    const PixelBuffer dark = drawFrame();
    for (auto [x, y] : {std::pair{0, 0}, {400, 300}, {799, 599}, {211, 37}}) EXPECT_EQ(rgb(dark.at(x, y)), rgb(tile));
    match->stateTimer = 1.5f;  // half way
    const PixelBuffer half = drawFrame();
    const Color c = clear.at(400, 200), m = half.at(400, 200);
    EXPECT_NEAR(green(m), (green(c) + green(tile)) / 2, 3);
}

TEST_F(MatchViewTest, NamesOfHolderAndSelectedStandOverThem) {
    settings().debugInfo = false;
    calmScene();
    CPlayer& holder = away(8);
    holder.position = {5.0f, 5.0f, 0.0f};
    match->ballHolder = &holder;
    match->humans[0].selected = &home(8);
    home(8).position = {-6.0f, 2.0f, 0.0f};
    const PixelBuffer frame = drawFrame();
    platform::Font& font = g().miniFont();
    for (const CPlayer* p : {&holder, &home(8)}) {
        const int x = static_cast<int>(g().worldToScreenX(p->position.x)) - font.textWidth(p->name) / 2;
        const int y = static_cast<int>(g().worldToScreenY(p->position.y + 2.8f));
        EXPECT_TRUE(shows(frame, font, x, y, p->name, 0xFFFFFFFF)) << p->name;
    }
    EXPECT_FALSE(shows(frame, font, static_cast<int>(g().worldToScreenX(away(2).position.x)) - 20,
                       static_cast<int>(g().worldToScreenY(away(2).position.y + 2.8f)), away(2).name, 0xFFFFFFFF));
}

TEST_F(MatchViewTest, PlayedMatchFrameShowsPitchFootballersAndOverlays) {
    play(8.0f);
    const PixelBuffer px = drawFrame();
    // Mostly grass, and every footballer is on the radar: eleven red and eleven blue dots.
    EXPECT_GT(countIn(px, 0, 0, px.width, px.height, [](Color c) { return green(c) > red(c) + 30; }), 200000);
    const int w = g().windowWidth(), h = g().windowHeight();
    const int reds = countIn(px, w - 104, h - 146, 84, 126, [](Color c) { return rgb(c) == 0xFF0000; });
    const int blues = countIn(px, w - 104, h - 146, 84, 126, [](Color c) { return rgb(c) == 0x0000FF; });
    EXPECT_GE(reds, 16 * 6);  // dots may cover each other a little
    EXPECT_GE(blues, 16 * 6);
    EXPECT_LE(reds, 16 * 11);
    EXPECT_LE(blues, 16 * 11);
}

// Full-rules set pieces as the player sees them: the camera holds the free kick's taker and its
// wall (or the penalty's taker and keeper) in one frame, the wall drawn in the away kit.
TEST_F(MatchViewTest, FreeKickWallAndPenaltyStandInOneFrame) {
    struct Case {
        int kind;
        Vector3 spot;
    };
    for (const Case c : {Case{FREE_KICK, {4.0f, 33.0f, kBallRadius}}, Case{PENALTY, {0.0f, 41.5f, kBallRadius}}}) {
        SCOPED_TRACE(c.kind == FREE_KICK ? "free kick" : "penalty");
        g().setMatch(nullptr);  // let go of the last case's match before it is replaced
        match = std::make_unique<CMatch>();
        match->newMatch(k442, k442, 600.0f, HUMAN_NONE, MatchRules::fullRules());
        g().setMatch(match.get());
        play(3.0f);
        match->setBallHolder(nullptr);
        match->ball.velocity = kZeroVector;
        match->state = GAME_OUT_OF_PLAY;
        match->stateTimer = 1.5f;
        match->restartKind = c.kind;
        match->restartPoint = c.spot;
        match->homeTakesRestart = true;
        for (int i = 0; i < 1000 && match->state != GAME_READY; ++i) match->matchStep(0.005f);
        ASSERT_EQ(match->state, GAME_READY);
        match->stateTimer = 0.0f;  // the fade-in over
        drawFrame(false);  // kept with FLIKKA_FRAME_DIR, to be looked at

        // From 19 m the goal lies just beyond the window's top edge: the keeper is looked for at
        // the penalty only.
        std::vector<const CPlayer*> shown{match->ballHolder};
        if (c.kind == PENALTY) shown.push_back(match->away.goalkeeper());
        for (std::size_t i = 1; i < match->away.size(); ++i) {
            if (!match->away.player(i)->canMove) shown.push_back(match->away.player(i));
        }
        EXPECT_EQ(shown.size(), c.kind == FREE_KICK ? 5u : 2u);
        const std::vector<DrawItem> list = sortedList();
        for (const CPlayer* p : shown) {
            ASSERT_NE(p, nullptr);
            const int at = indexOfWorld(list, p->position.x, p->position.y);
            ASSERT_GE(at, 0) << p->name;
            const DrawItem& item = list[static_cast<std::size_t>(at)];
            EXPECT_GE(item.screenX, 0.0f) << p->name;
            EXPECT_LE(item.screenX, static_cast<float>(g().windowWidth() - 16)) << p->name;
            EXPECT_GE(item.screenY, 0.0f) << p->name;
            EXPECT_LE(item.screenY, static_cast<float>(g().windowHeight() - 16)) << p->name;
            if (p != match->ballHolder && p != match->away.goalkeeper()) {
                EXPECT_EQ(item.sprite, &g().setSprite(SET_AWAY_STANDING, p->direction)) << p->name;
            }
        }
    }
}

}  // namespace
}  // namespace flikka::view_testing
