#include <gtest/gtest.h>

#include <initializer_list>
#include <set>
#include <vector>

#include "sim/KeyState.h"
#include "players/UserControl.h"
#include "match/Match.h"
#include "players/Team.h"

namespace flikka {
namespace {

// Default bindings (Windows virtual-key codes).
constexpr int kLeft = 37, kRight = 39, kUp = 38, kDown = 40;
constexpr int kShoot = 68, kPass = 83, kCross = 65, kThru = 81, kSwitch = 69;

class ScriptedKeyboard : public IKeyboardDevice {
public:
    std::set<int> down;
    bool isKeyDown(int virtualKey) const override { return down.count(virtualKey) > 0; }
};

// The human plays the home side; every footballer is moved off the scene unless a test places him.
class UserControlTest : public ::testing::Test {
protected:
    ScriptedKeyboard keyboard;
    CMatch m;
    KeyState& keys = m.humans[0].keys;

    void SetUp() override {
        unsigned c[5] = {2, 0, 4, 0, 4};
        m.newMatch(c, c, 300, HUMAN_HOME);
        m.state = GAME_PLAY;
        for (int i = 0; i <= 10; ++i) {
            home(i)->position = Vector3(-30.0f, -40.0f - static_cast<float>(i), 0.0f);
            away(i)->position = Vector3(30.0f, 40.0f + static_cast<float>(i), 0.0f);
        }
        m.ball.position = Vector3(0.0f, 0.0f, kBallRadius);
        m.ball.velocity = kZeroVector;
    }

    CPlayer* home(int i) { return m.home.player(i); }
    CPlayer* away(int i) { return m.away.player(i); }

    // One poll of the keyboard with exactly these keys down.
    void hold(std::initializer_list<int> keysDown) {
        keyboard.down = keysDown;
        keys.poll(KeySampler{&keyboard}.sample());
    }

    // The four operations as the main loop runs them.
    int controlStep() {
        const int aim = user_control::readDirection(m);
        user_control::loosePressActions(m, aim);
        user_control::releaseActions(m, aim);
        user_control::switchSelected(m);
        return aim;
    }

    // p holds the ball at his feet, facing `direction`, and is selected.
    void giveBall(CPlayer* p, const Vector3& at, int direction) {
        p->position = at;
        p->setDirection(direction);
        p->sinceLastTouch = 1.0f;
        m.ball.position = Vector3(at.x, at.y, kBallRadius);
        m.setBallHolder(p);
        m.home.rebuildByDistance();
        ASSERT_EQ(m.humans[0].selected, p);
    }
};

TEST_F(UserControlTest, ArrowsOverrideInFixedOrder) {
    CPlayer* p = home(5);
    p->position = kZeroVector;
    m.select(p);
    p->setDirection(1);

    hold({kUp, kDown});
    EXPECT_EQ(controlStep(), 5);
    EXPECT_EQ(p->direction, 5);
    EXPECT_EQ(p->moveMode, 1);

    hold({kUp, kDown, kLeft});
    EXPECT_EQ(controlStep(), 4);
    EXPECT_EQ(p->direction, 4);

    hold({kLeft, kRight});
    EXPECT_EQ(controlStep(), 7);
    hold({kUp, kRight});
    EXPECT_EQ(controlStep(), 8);
    hold({kDown, kRight});
    EXPECT_EQ(controlStep(), 6);
    hold({kUp, kLeft});
    EXPECT_EQ(controlStep(), 2);
    EXPECT_EQ(p->direction, 2);

    // No arrow: he slows to a stop, still facing the same way.
    hold({});
    EXPECT_EQ(controlStep(), 0);
    EXPECT_EQ(p->moveMode, 0);
    EXPECT_EQ(p->direction, 2);
}

TEST_F(UserControlTest, HeldPassAimsWithoutTurningAndReleasePassesThatWay) {
    CPlayer* p = home(5);
    CPlayer* receiver = home(6);
    receiver->position = Vector3(0.0f, -10.0f, 0.0f);
    giveBall(p, kZeroVector, 1);

    hold({kPass});
    controlStep();
    hold({kPass, kDown});
    EXPECT_EQ(controlStep(), 5);
    EXPECT_EQ(p->direction, 1);
    EXPECT_EQ(m.ballHolder, p);
    EXPECT_EQ(m.home.passes, 0);

    hold({kDown});
    controlStep();
    EXPECT_EQ(m.ballHolder, nullptr);
    EXPECT_EQ(m.targetReceiver, receiver);
    EXPECT_LT(m.ball.velocity.y, 0.0f);
    EXPECT_EQ(m.home.passes, 1);
    EXPECT_EQ(m.humans[0].selected, receiver);
}

TEST_F(UserControlTest, PassHeldOnLooseBallIsPlayedOnFirstTouch) {
    CPlayer* p = home(5);
    CPlayer* receiver = home(6);
    p->position = kZeroVector;
    p->sinceLastTouch = 1.0f;
    receiver->position = Vector3(0.0f, -15.0f, 0.0f);
    m.ball.position = Vector3(0.0f, -3.0f, kBallRadius);
    m.select(p);
    m.home.rebuildByDistance();

    hold({kDown});
    controlStep();
    hold({kDown, kPass});
    controlStep();
    EXPECT_EQ(p->pendingKind, KICK_PASS);
    EXPECT_EQ(p->pendingAim, 5);
    EXPECT_FLOAT_EQ(p->pendingTime, 2.5f);

    bool kicked = false;
    for (int step = 0; step < 600 && !kicked; ++step) {
        hold({kDown, kPass});
        controlStep();
        p->update(kStep);
        m.home.rebuildByDistance();
        kicked = m.ball.speed() > 0.0f;
        // Renewed while the key is held, so it never lapses on the way.
        if (!kicked) {
            EXPECT_EQ(p->pendingKind, KICK_PASS);
        }
    }
    ASSERT_TRUE(kicked);
    EXPECT_EQ(m.targetReceiver, receiver);
    EXPECT_EQ(m.home.passes, 1);
    EXPECT_EQ(p->pendingKind, KICK_NONE);
    EXPECT_EQ(m.ballHolder, nullptr);
}

TEST_F(UserControlTest, LoosePressesStoreTheLastPendingKick) {
    CPlayer* p = home(5);
    p->position = Vector3(0.0f, 10.0f, 0.0f);
    m.select(p);

    hold({kShoot, kLeft});
    EXPECT_EQ(controlStep(), 3);
    EXPECT_EQ(p->pendingKind, KICK_SHOT);
    EXPECT_EQ(p->pendingAim, 3);
    EXPECT_FLOAT_EQ(p->pendingTime, 2.5f);

    hold({kThru});
    controlStep();
    EXPECT_EQ(p->pendingKind, KICK_THROUGH);
    hold({kShoot, kCross, kThru});
    controlStep();
    EXPECT_EQ(p->pendingKind, KICK_CROSS);
    EXPECT_EQ(p->pendingAim, 0);
    EXPECT_EQ(m.ball.velocity, kZeroVector);
}

TEST_F(UserControlTest, ShootAndPassReleasedTogetherPlayOnlyTheShot) {
    CPlayer* p = home(5);
    home(6)->position = Vector3(0.0f, 40.0f, 0.0f);
    giveBall(p, Vector3(0.0f, 30.0f, 0.0f), 1);

    hold({kShoot, kPass, kCross});
    controlStep();
    EXPECT_EQ(m.ballHolder, p);
    hold({});
    controlStep();
    EXPECT_EQ(m.home.shots, 1);
    EXPECT_EQ(m.home.passes, 0);
    EXPECT_EQ(m.ballHolder, nullptr);
    EXPECT_EQ(m.targetReceiver, nullptr);
    EXPECT_GT(m.ball.velocity.y, 0.0f);
}

TEST_F(UserControlTest, ActionKeysIdleWhileSomeoneElseHoldsTheBall) {
    CPlayer* p = home(5);
    p->position = Vector3(0.0f, 5.0f, 0.0f);
    for (CPlayer* holder : {away(9), home(6)}) {
        holder->position = kZeroVector;
        m.setBallHolder(holder);
        m.humans[0].selected = p;
        hold({kShoot, kPass, kCross, kThru});
        controlStep();
        EXPECT_EQ(p->pendingKind, KICK_NONE);
        hold({});
        controlStep();
        EXPECT_EQ(m.ballHolder, holder);
        EXPECT_EQ(m.ball.velocity, kZeroVector);
        EXPECT_EQ(m.home.shots + m.home.passes + m.away.shots + m.away.passes, 0);
    }
}

TEST_F(UserControlTest, RebuildOffersNearestThreeAndTheOneAhead) {
    // Stationary ball at the centre spot; the goalkeeper is nearest but never offered.
    home(0)->position = Vector3(0.0f, -1.0f, 0.0f);
    home(2)->position = Vector3(-2.0f, 0.0f, 0.0f);
    home(3)->position = Vector3(2.0f, 0.0f, 0.0f);  // as near as squad 2: the earlier wins
    home(5)->position = Vector3(0.0f, -3.0f, 0.0f);
    home(4)->position = Vector3(0.0f, 3.5f, 0.0f);
    m.humans[0].switchList.cursor = 2;
    user_control::rebuildSwitchList(m);
    EXPECT_EQ(m.humans[0].switchList.candidates, (std::vector<CPlayer*>{home(2), home(3), home(5)}));
    EXPECT_EQ(m.humans[0].switchList.cursor, 0u);

    // Ball moving up: the box 10 m square centred 5 m ahead, lower edges in, upper edges out.
    m.ball.velocity = Vector3(0.0f, 10.0f, 0.0f);
    home(2)->position = Vector3(0.0f, -2.0f, 0.0f);
    home(3)->position = Vector3(-1.0f, -2.5f, 0.0f);
    home(5)->position = Vector3(1.0f, -3.0f, 0.0f);
    home(4)->position = Vector3(-4.0f, 6.0f, 0.0f);
    home(7)->position = Vector3(5.0f, 5.0f, 0.0f);
    home(8)->position = Vector3(0.0f, 10.0f, 0.0f);
    user_control::rebuildSwitchList(m);
    EXPECT_EQ(m.humans[0].switchList.candidates, (std::vector<CPlayer*>{home(2), home(3), home(5), home(4)}));

    // The one ahead already among the nearest is not offered twice.
    home(4)->position = Vector3(0.0f, 1.0f, 0.0f);
    user_control::rebuildSwitchList(m);
    EXPECT_EQ(m.humans[0].switchList.candidates, (std::vector<CPlayer*>{home(4), home(2), home(3)}));

    m.humans[0].team = nullptr;
    m.humans[0].switchList.cursor = 1;
    user_control::rebuildSwitchList(m);
    EXPECT_EQ(m.humans[0].switchList.candidates.size(), 3u);
    EXPECT_EQ(m.humans[0].switchList.cursor, 1u);
}

TEST_F(UserControlTest, SwitchWalksCandidatesSkippingTheSelected) {
    home(2)->position = Vector3(-2.0f, 0.0f, 0.0f);
    home(3)->position = Vector3(0.0f, -3.0f, 0.0f);
    home(4)->position = Vector3(4.0f, 0.0f, 0.0f);
    user_control::rebuildSwitchList(m);
    ASSERT_EQ(m.humans[0].switchList.candidates, (std::vector<CPlayer*>{home(2), home(3), home(4)}));
    m.select(home(2));

    const CPlayer* expected[] = {home(3), home(4), home(2), home(3)};
    for (const CPlayer* next : expected) {
        const CPlayer* before = m.humans[0].selected;
        hold({kSwitch});
        controlStep();
        EXPECT_EQ(m.humans[0].selected, before);  // acts on release
        hold({});
        controlStep();
        EXPECT_EQ(m.humans[0].selected, next);
    }
}

TEST_F(UserControlTest, SwitchIdleWhileSelectedHoldsTheBall) {
    home(6)->position = Vector3(3.0f, 0.0f, 0.0f);
    giveBall(home(5), kZeroVector, 1);
    m.humans[0].switchList.candidates = {home(5), home(6)};
    m.humans[0].switchList.cursor = 0;
    hold({kSwitch});
    controlStep();
    hold({});
    controlStep();
    EXPECT_EQ(m.humans[0].selected, home(5));
    EXPECT_EQ(m.humans[0].switchList.cursor, 0u);
}

TEST_F(UserControlTest, LockedKeysDoNothing) {
    CPlayer* p = home(5);
    home(6)->position = Vector3(0.0f, -10.0f, 0.0f);
    giveBall(p, kZeroVector, 5);
    m.humans[0].switchList.candidates = {home(6)};
    for (int slot : {SLOT_UP, SLOT_PASS, SLOT_SHOOT, SLOT_SWITCH}) keys.locked[slot] = true;

    hold({kUp});
    EXPECT_EQ(controlStep(), 0);
    EXPECT_EQ(p->moveMode, 0);
    EXPECT_EQ(p->direction, 5);

    hold({kPass, kShoot});
    controlStep();
    hold({});
    controlStep();
    EXPECT_EQ(m.ballHolder, p);
    EXPECT_EQ(m.home.passes + m.home.shots, 0);

    // Loose ball: a locked shoot key stores nothing, and a locked switch selects nobody.
    m.setBallHolder(nullptr);
    hold({kShoot, kSwitch});
    controlStep();
    EXPECT_EQ(p->pendingKind, KICK_NONE);
    hold({});
    controlStep();
    EXPECT_EQ(m.humans[0].selected, p);

    // The unlocked keys still work.
    hold({kCross});
    controlStep();
    EXPECT_EQ(p->pendingKind, KICK_CROSS);
}

}  // namespace
}  // namespace flikka
