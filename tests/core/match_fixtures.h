#pragma once
// Small matches for the footballer, match and referee tests.
#include <memory>

#include "players/Player.h"
#include "match/Match.h"
#include "team/GlobalAI.h"

namespace flikka::match_fixtures {

// Two hand-built squads of plain footballers (goalkeeper first) with no formation behind them:
// enough for the body, the ball-winning rule and the referee, not for a match step.
struct SmallMatch {
    CMatch m;

    explicit SmallMatch(int perTeam = 3) {
        for (CTeam* t : {&m.home, &m.away}) {
            CTeam* other = t == &m.home ? &m.away : &m.home;
            t->match = &m;
            for (int i = 0; i < perTeam; ++i) {
                auto p = std::make_unique<CPlayer>();
                p->serial = m.newSerial();
                p->match = &m;
                p->team = t;
                p->opponents = other;
                p->sinceLastTouch = 10.0f;
                t->players.push_back(std::move(p));
            }
        }
        m.home.plan->attacksUpwards = true;
        m.away.plan->attacksUpwards = false;
        m.state = GAME_PLAY;
        m.ball.position = {0.0f, 0.0f, kBallRadius};
    }
    CPlayer& home(int i) { return *m.home.player(i); }
    CPlayer& away(int i) { return *m.away.player(i); }
};

inline constexpr unsigned k442[5] = {2, 0, 4, 0, 4};
inline constexpr unsigned k433[5] = {3, 0, 3, 0, 4};

}  // namespace flikka::match_fixtures
