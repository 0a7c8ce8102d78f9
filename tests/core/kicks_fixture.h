#pragma once
// A real match with its footballers moved out of the way, so that each test places only
// the few it needs. Parked footballers stand far off the pitch and high in the air: no
// receiver cone, lane, pressure box or dribble penalty can reach them.
#include <gtest/gtest.h>

#include <cmath>

#include "sim/KeyState.h"
#include "players/Kicks.h"
#include "players/OutfieldPlayer.h"
#include "match/Match.h"
#include "sim/Random.h"
#include "team/GlobalAI.h"
#include "players/Goalkeeper.h"

namespace flikka::kick_fixtures {

class MatchFixture : public ::testing::Test {
protected:
    CMatch m;

    void SetUp() override {
        const unsigned c[5] = {2, 0, 4, 0, 4};
        m.newMatch(c, c, 300, HUMAN_NONE);
        m.state = GAME_PLAY;
        m.restartKind = RESTART_NONE;
        m.setBallHolder(nullptr);
        m.targetReceiver = nullptr;
        m.home.resetCounters();
        m.away.resetCounters();
        // Both sides keep their parked outfield footballers behind every offside line a test draws.
        park(-52.0f, 52.0f);
        m.ball.position = {0.0f, 0.0f, kBallRadius};
        m.ball.velocity = kZeroVector;
        m.ball.path.clear();
        rebuild();
    }

    COutfieldPlayer* H(int i) { return static_cast<COutfieldPlayer*>(m.home.player(static_cast<std::size_t>(i))); }
    COutfieldPlayer* A(int i) { return static_cast<COutfieldPlayer*>(m.away.player(static_cast<std::size_t>(i))); }

    void park(float homeY, float awayY) {
        for (int i = 1; i <= 10; ++i) {
            parkOne(H(i), homeY, i);
            parkOne(A(i), awayY, i);
        }
    }

    void parkOne(COutfieldPlayer* p, float y, int i) {
        p->position = {100.0f + 3.0f * static_cast<float>(i), y, 1000.0f};
        p->homePosition = p->position;
        p->moveMode = 0;
        p->speed = 0.0f;
        p->resetToDefault();
        p->free = true;
        p->passValue = 0.0f;
    }

    // Stands him at (x, y) facing `dir`, at rest.
    void place(CPlayer* p, float x, float y, int dir) {
        p->position = {x, y, 0.0f};
        p->canMove = true;
        if (dir != 0) p->setDirection(dir);
        p->moveMode = 0;
        p->speed = 0.0f;
        p->sinceLastTouch = 1.0f;
        if (auto* o = dynamic_cast<COutfieldPlayer*>(p)) o->homePosition = p->position;
    }

    // The ball at his feet, held by him.
    void give(CPlayer* p) {
        m.ball.velocity = kZeroVector;
        m.ball.position = p->position + p->heading * 0.4f;
        m.ball.position.z = kBallRadius;
        m.setBallHolder(p);
    }

    void rebuild() {
        m.home.rebuildByDistance();
        m.away.rebuildByDistance();
    }

    static float elevationOf(const Vector3& v) { return std::atan2(v.z, horizontalLength(v)); }
};

}  // namespace flikka::kick_fixtures
