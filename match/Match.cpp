#include "match/Match.h"

#include <cmath>
#include <iostream>

#include "sim/KeyState.h"
#include "sim/PitchGeometry.h"
#include "sim/PitchLandmarks.h"
#include "players/OutfieldPlayer.h"
#include "players/Rebind.h"
#include "players/UserControl.h"
#include "team/GlobalAI.h"

namespace flikka {

namespace {

using pitch::kCrossbarHeight;
using pitch::kNetDepth;
constexpr float kFar = 1000.0f;
constexpr float kStoppage = 2.0f;
constexpr float kThrowInHeight = 2.0f;
constexpr float kSwitchListPeriod = 0.3f;
constexpr double kHalfTimeFraction = 0.5111111111111111;  // minute 46; in double, or the float rounds into minute 47
constexpr float kNearCentreLine = 20.0f;
const Vector3 kCentreSpot{0.0f, 0.0f, kBallRadius};
const Vector3 kNewMatchBall{0.0f, 0.0f, 0.1232f};

const char* const kHomeNames[11] = {"Adams",      "Brown",   "Carson",  "Dawson",  "Etherington", "Fowler",
                                    "Grant",      "Hainsworth", "Illidge", "Lawless", "Mason"};
const char* const kAwayNames[11] = {"Angelo",  "Bruno",   "Conti",   "De Luca", "Esposito", "Ferrari",
                                    "Giuliani", "Huzzello", "Iannone", "Leggio",  "Muzzi"};

// The referee's box test: every side widened by the ball's radius, bounds included.
bool ballIn(const Vector3& b, const Vector3& lo, const Vector3& hi) {
    const float r = kBallRadius;
    return lo.x - r <= b.x && b.x <= hi.x + r && lo.y - r <= b.y && b.y <= hi.y + r && lo.z - r <= b.z &&
           b.z <= hi.z + r;
}

template <class F>
void forEachFootballer(CTeam& t, F f) {
    for (std::size_t i = 0; i < t.size(); ++i) f(*t.player(i));
}

}  // namespace

CMatch::CMatch() : homeAi(&home), awayAi(&away) {
    home.plan = &homeAi;
    away.plan = &awayAi;
    homeAi.match = this;
    awayAi.match = this;
}

CMatch::CMatch(const CMatch& o) : CPlay(o), homeAi(o.homeAi), awayAi(o.awayAi) {
    console = nullptr;
    debugMarkers = nullptr;
    rebindFrom(o);
}

CMatch& CMatch::operator=(const CMatch& o) {
    if (this == &o) return *this;
    std::ostream* const ownConsole = console;
    IDebugMarkerSink* const ownMarkers = debugMarkers;
    CPlay::operator=(o);
    homeAi = o.homeAi;
    awayAi = o.awayAi;
    console = ownConsole;
    debugMarkers = ownMarkers;
    rebindFrom(o);
    return *this;
}

void CMatch::rebindFrom(const CMatch& o) {
    const Rebind r(o, *this);
    CPlay::rebind(r);
    homeAi.rebind(r);
    awayAi.rebind(r);
    home.plan = &homeAi;
    away.plan = &awayAi;
}

CMatch::~CMatch() {
    for (HumanControl& h : humans) h.switchList.candidates.clear();
    claimSet.clear();
    // Members then go in reverse order: the away team, the home team, the ball.
}

void CMatch::newMatch(const unsigned homeCounts[5], const unsigned awayCounts[5], float length, int humanSide,
                      const MatchRules& matchRules) {
    rules = matchRules;
    fullState = FullRulesState{};
    steps = 0;
    events.clear();
    eventsDelivered_ = 0;
    fullTimeReported_ = false;
    // Every reference into the old squads goes before the squads are destroyed.
    for (HumanControl& h : humans) {
        h.selected = nullptr;
        h.switchList.candidates.clear();
        h.switchList.cursor = 0;
    }
    ballHolder = nullptr;
    targetReceiver = nullptr;
    lastToucher = nullptr;
    elapsed = 0.001f;
    homeScore = 0;
    awayScore = 0;
    // A length that is not a positive number makes a match that is over at once.
    matchLength = (std::isfinite(length) && length > 0.0f) ? std::trunc(length) : 0.0f;
    claimSet.clear();

    // The previous match's flight must not carry into this one.
    ball.velocity = kZeroVector;
    ball.position = kNewMatchBall;
    ball.sideSpin = 0.0f;
    ball.topSpin = 0.0f;
    ball.touchLockout = 0.0f;
    ball.airborne = false;
    ball.bounced = false;
    ball.path.clear();
    for (auto& e : ball.events) e.clear();

    stateTimer = 1.0f;
    state = GAME_OUT_OF_PLAY;
    restartKind = KICK_OFF;
    homeTakesRestart = true;
    restartPoint = kNewMatchBall;

    home.resetCounters();
    away.resetCounters();
    secondHalf = false;

    humans[0].team = humanSide == HUMAN_HOME || humanSide == HUMAN_BOTH || humanSide == HUMAN_HOME_TWO ? &home
                     : humanSide == HUMAN_AWAY                                                        ? &away
                                                                                                      : nullptr;
    humans[1].team = humanSide == HUMAN_BOTH ? &away : (humanSide == HUMAN_HOME_TWO ? &home : nullptr);

    homeAi.attacksUpwards = true;
    homeAi.formation.direction = -1.0f;
    awayAi.attacksUpwards = false;
    awayAi.formation.direction = 1.0f;
    homeAi.clearRoles();
    awayAi.clearRoles();

    homeAi.setUpSquad(&away, homeCounts);
    awayAi.setUpSquad(&home, awayCounts);

    for (std::size_t i = 0; i < home.size() && i < 11; ++i) home.player(i)->name = kHomeNames[i];
    for (std::size_t i = 0; i < away.size() && i < 11; ++i) away.player(i)->name = kAwayNames[i];

    for (CTeam* t : {&home, &away}) {
        aiOf(*t).opponentsKickOff(kZeroVector);
        aiOf(*t).moveToHomes();
    }

    home.rebuildByDistance();
    away.rebuildByDistance();

    lastToucher = home.goalkeeper();

    for (HumanControl& h : humans) {
        user_control::rebuildSwitchList(*this, h);
    }
}



int CMatch::step(const StepInput& input, float dt) {
    for (int i = 0; i < kMaxHumans; ++i) {
        if (humans[i].team != nullptr) humans[i].keys.poll(input.slots[i]);
    }
    user_control::controlSelected(*this);
    return matchStep(dt);
}

int CMatch::matchStep(float dt) {
    // The last step's events have been read; what came since (the human's kicks) stays.
    events.erase(events.begin(), events.begin() + static_cast<std::ptrdiff_t>(eventsDelivered_));
    const int result = stepStages(dt);
    // Full time is seen at the start of a step or after the clock stage: reported once either way.
    if (result == 2 && !fullTimeReported_) {
        fullTimeReported_ = true;
        emit({.kind = MatchEventKind::FullTime});
    }
    ++steps;
    for (MatchEvent& e : events) e.step = steps;
    eventsDelivered_ = events.size();
    return result;
}

int CMatch::stepStages(float dt) {
    // Once over, the match stays frozen: not even the clock or possession may run on.
    if (fullTime()) return 2;

    // 1. Clock and possession.
    if (state == GAME_PLAY) {
        elapsed += dt;
        if (ballHolder != nullptr) teamOf(ballHolder).possessionTime += dt;
    }

    // 2. Play resumes once the taker has moved the ball.
    if (state == GAME_READY && ball.speed() > 0.0f) {
        const int resumed = restartKind;
        state = GAME_PLAY;
        stateTimer = 0.0f;
        restartKind = RESTART_NONE;
        markFootballersFree();
        // A taker whose pass found nobody would otherwise never carry the ball again.
        forEachFootballer(home, [](CPlayer& p) { p.setPiece = false; });
        forEachFootballer(away, [](CPlayer& p) { p.setPiece = false; });
        for (HumanControl& h : humans) {
            for (bool& l : h.keys.locked) l = false;
        }
        if (rules.full()) playResumed(resumed);
    }

    // 3. Half time, once the ball is near the centre line (or a few minutes late at most).
    if (matchMinute() > 45 && (std::fabs(ball.position.y) < kNearCentreLine || matchMinute() > 50) &&
        state == GAME_PLAY && !secondHalf) {
        restartKind = KICK_OFF;
        state = GAME_OUT_OF_PLAY;
        restartPoint = kCentreSpot;
        homeTakesRestart = false;
        stateTimer = kStoppage;
        homeAi.attacksUpwards = false;
        homeAi.formation.direction = 1.0f;
        awayAi.attacksUpwards = true;
        awayAi.formation.direction = -1.0f;
        secondHalf = true;
        emit({.kind = MatchEventKind::HalfTime});
        elapsed = static_cast<float>(matchLength * kHalfTimeFraction);
        return 1;
    }

    // 4. Full time freezes everything.
    if (fullTime()) return 2;

    // 5. The pause; second-half kick-offs are set up at once.
    const float d = (secondHalf && restartKind == KICK_OFF && state == GAME_OUT_OF_PLAY) ? 1.0f : dt;
    stateTimer -= d;
    if (state == GAME_SETUP) state = GAME_READY;
    if (stateTimer <= 1.0f && state == GAME_OUT_OF_PLAY) state = GAME_SETUP;
    if (stateTimer < 0.0f) stateTimer = 0.0f;

    // 6. Set the restart up.
    if (state == GAME_SETUP) {
        for (HumanControl& h : humans) {
            KeyState* k = &h.keys;
            k->clear();
            auto lock = [k](std::initializer_list<int> on, std::initializer_list<int> off) {
                for (int s : on) k->locked[s] = true;
                for (int s : off) k->locked[s] = false;
            };
            switch (restartKind) {
                case KICK_OFF:
                    lock({SLOT_LEFT, SLOT_RIGHT, SLOT_UP, SLOT_DOWN, SLOT_SHOOT, SLOT_CROSS, SLOT_THRU, SLOT_SWITCH},
                         {SLOT_PASS});
                    break;
                case THROW_IN: lock({SLOT_SHOOT, SLOT_CROSS, SLOT_THRU, SLOT_SWITCH}, {SLOT_PASS}); break;
                case CORNER: lock({SLOT_THRU, SLOT_SWITCH}, {SLOT_SHOOT, SLOT_PASS, SLOT_CROSS}); break;
                case GOAL_KICK: lock({SLOT_CROSS, SLOT_THRU, SLOT_SWITCH}, {SLOT_SHOOT, SLOT_PASS}); break;
                case FREE_KICK:
                case INDIRECT_FREE_KICK: lock({SLOT_THRU, SLOT_SWITCH}, {SLOT_SHOOT, SLOT_PASS, SLOT_CROSS}); break;
                case PENALTY: lock({SLOT_PASS, SLOT_CROSS, SLOT_THRU, SLOT_SWITCH}, {SLOT_SHOOT}); break;
                default: break;
            }
        }
        CGlobalAI& taking = homeTakesRestart ? homeAi : awayAi;
        CGlobalAI& other = homeTakesRestart ? awayAi : homeAi;
        const Vector3 p = restartPoint;
        const std::int8_t takingSide = homeTakesRestart ? SIDE_HOME : SIDE_AWAY;
        emit({.kind = MatchEventKind::Whistle, .side = takingSide, .restartKind = restartKind, .where = p});
        if (restartKind == KICK_OFF) emit({.kind = MatchEventKind::KickOff, .side = takingSide, .where = p});
        switch (restartKind) {
            case KICK_OFF:
                taking.ownKickOff(p);
                other.opponentsKickOff(p);
                break;
            case THROW_IN:
                taking.ownThrowIn(p);
                other.opponentsThrowIn(p);
                break;
            case CORNER:
                taking.ownCorner(p);
                other.opponentsCorner(p);
                break;
            case GOAL_KICK:
                taking.ownGoalKick(p);
                other.opponentsGoalKick(p);
                break;
            case FREE_KICK:
            case INDIRECT_FREE_KICK:
                taking.ownFreeKick(p, restartKind == INDIRECT_FREE_KICK);
                other.opponentsFreeKick(p, restartKind == INDIRECT_FREE_KICK);
                break;
            case PENALTY:
                taking.ownPenalty(p);
                other.opponentsPenalty(p);
                break;
            default: break;
        }
    }
    if (rules.idleRestartSteps > 0) fullState.readySteps = state == GAME_READY ? fullState.readySteps + 1 : 0;

    // 7. Open play shapes both teams.
    if (state == GAME_PLAY) {
        homeAi.openPlay();
        awayAi.openPlay();
    }

    // 8, 9. Clock and ball.
    const std::uint32_t ms = (clockMs += 5);
    ball.step(dt);

    // 10. Half-second pass values.
    if (ms % 500 == 0) {
        for (CTeam* t : {&home, &away}) {
            for (std::size_t i = 1; i < t->size(); ++i) {
                if (auto* o = t->player(i)->outfield()) o->updatePassValue();
            }
        }
    }

    // 11. New formation offsets.
    if (ms % 1500 == 0) {
        homeAi.formation.randomiseOffsets(random);
        awayAi.formation.randomiseOffsets(random);
    }

    // 12. Decisions, away side first.
    forEachFootballer(away, [](CPlayer& p) { p.think(); });
    forEachFootballer(home, [](CPlayer& p) { p.think(); });

    // 13. Bodies, each team followed by its AI's step.
    const long wholeMs = std::lround(static_cast<double>(dt) * 1000.0);
    const float stepDt = static_cast<float>(static_cast<double>(wholeMs) * 0.001);
    for (CTeam* t : {&away, &home}) {
        forEachFootballer(*t, [stepDt](CPlayer& p) { p.update(stepDt); });
        aiOf(*t).teamStep(static_cast<int>(wholeMs));
    }

    // 14, 15. Keys and the switch list.
    for (HumanControl& h : humans) {
        h.keys.advanceHeldTimes(dt);
    }
    for (HumanControl& h : humans) {
        h.switchList.timer += dt;
        if (h.switchList.timer >= kSwitchListPeriod) {
            h.switchList.timer = 0.0f;
            user_control::rebuildSwitchList(*this, h);
        }
    }
    if (rules.autoSwitch) automaticSwitch();

    // 16. The referee watches only the ball in play (under full rules, the footballers too).
    if (state == GAME_PLAY && !(rules.full() && refereeCalls())) refereeCheck();

    // 17, 18.
    home.rebuildByDistance();
    away.rebuildByDistance();
    claimSet.clear();
    return 0;
}

void CMatch::refereeCheck() {
    // Looked up as stored, the lower end's places first: 13 .. 25 are the upper end's.
    constexpr PitchEnd kAsStored = PitchEnd::Lower;
    const Vector3 q = PitchLandmarks::landmark(20, kAsStored);  // the upper right corner
    const Vector3 g = PitchLandmarks::landmark(22, kAsStored);  // the upper goal's right post
    const Vector3& b = ball.position;
    const float r = kBallRadius;
    const float sideY = q.y + 2.0f * r;
    const float endX = q.x + 2.0f * r;

    bool stopped = false;
    auto stoppage = [this, &stopped](int kind, const Vector3& at, bool homeTakes) {
        stopped = true;
        restartKind = kind;
        restartPoint = at;
        homeTakesRestart = homeTakes;
        state = GAME_OUT_OF_PLAY;
        stateTimer = kStoppage;
    };

    if (ballIn(b, {q.x + r, -sideY, 0.0f}, {kFar, sideY, kFar})) {
        print("right out\n");
        stoppage(THROW_IN, {q.x, b.y, kThrowInHeight}, awayTouchedLast());
    }
    if (ballIn(b, {-kFar, -sideY, 0.0f}, {-(q.x + r), sideY, kFar})) {
        print("left out\n");
        stoppage(THROW_IN, {-q.x, b.y, kThrowInHeight}, awayTouchedLast());
    }
    // Straight from an indirect free kick the ball is only over the goal line, not a goal.
    const bool goalsCount = fullState.indirectTaker == nullptr;
    if (goalsCount && ballIn(b, {-g.x, q.y + r, 0.0f}, {g.x, q.y + kNetDepth, kCrossbarHeight})) {
        print("upper goal\n");
        stoppage(KICK_OFF, kCentreSpot, awayTouchedLast());
        // The goal belongs to whoever attacks this end, own goals included.
        if (homeAi.attacksUpwards) ++homeScore;
        else ++awayScore;
        reportGoal(homeAi.attacksUpwards, q.y);
        return;
    }
    if (goalsCount && ballIn(b, {-g.x, -(q.y + kNetDepth), 0.0f}, {g.x, -(q.y + r), kCrossbarHeight})) {
        print("lower goal\n");
        stoppage(KICK_OFF, kCentreSpot, awayTouchedLast());
        if (awayAi.attacksUpwards) ++homeScore;
        else ++awayScore;
        reportGoal(awayAi.attacksUpwards, -q.y);
        return;
    }
    const Vector3 goalArea = PitchLandmarks::landmark(13, kAsStored);  // (-8.875, 47)
    const float gx = std::fabs(goalArea.x);
    const bool awayLast = awayTouchedLast();
    if (ballIn(b, {-endX, q.y + r, 0.0f}, {endX, kFar, kFar})) {
        print("upper corner\n");
        const bool byAttackers = (homeAi.attacksUpwards && !awayLast) || (awayAi.attacksUpwards && awayLast);
        if (byAttackers) {
            stoppage(GOAL_KICK, {b.x > 0.0f ? gx : -gx, goalArea.y, kBallRadius}, awayAi.attacksUpwards);
        } else {
            stoppage(CORNER, {b.x >= 0.0f ? q.x : -q.x, q.y, kBallRadius}, awayLast);
        }
    }
    if (ballIn(b, {-endX, -kFar, 0.0f}, {endX, -(q.y + r), kFar})) {
        print("lower corner\n");
        const bool byAttackers = (!homeAi.attacksUpwards && !awayLast) || (!awayAi.attacksUpwards && awayLast);
        if (byAttackers) {
            stoppage(GOAL_KICK, {b.x < 0.0f ? -gx : gx, -goalArea.y, kBallRadius}, !awayAi.attacksUpwards);
        } else {
            stoppage(CORNER, {b.x >= 0.0f ? q.x : -q.x, -q.y, kBallRadius}, awayLast);
        }
    }
    // One report for the restart that stands (a corner square awards two in one step).
    if (stopped) {
        emit({.kind = MatchEventKind::OutOfPlay,
              .side = homeTakesRestart ? SIDE_HOME : SIDE_AWAY,
              .restartKind = restartKind,
              .where = b});
    }
}

void CMatch::reportGoal(bool homeCredited, float lineY) {
    // The scorer is whoever played the ball last: a holder carrying it in, else the last toucher.
    CPlayer* scorer = ballHolder != nullptr ? ballHolder : lastToucher;
    const std::int8_t credited = homeCredited ? SIDE_HOME : SIDE_AWAY;
    MatchEvent e{.kind = MatchEventKind::Goal, .side = credited, .player = scorer};
    if (scorer != nullptr) e.ownGoal = isHome(scorer) != homeCredited;
    // Back along this step's flight to the line: the ball is already just past it.
    const Vector3& b = ball.position;
    const Vector3& v = ball.velocity;
    e.where = {b.x, lineY, b.z};
    if (v.y != 0.0f) {
        const float t = (b.y - lineY) / v.y;
        if (std::isfinite(t) && t >= 0.0f && t <= kStep) e.where = {b.x - v.x * t, lineY, b.z - v.z * t};
    }
    emit(e);
}

















}  // namespace flikka
