#pragma once
// The play of a match: the ball, the two squads, who has the ball, the restart, the score, the
// rules, the humans' selections, and the match's own generator and clock. It is what the
// footballers and the team AI see and change; the match on top of it owns the team AIs and
// runs the step.
#include <bit>
#include <cstdint>
#include <iosfwd>
#include <utility>
#include <vector>

#include "players/Ball.h"
#include "sim/KeyState.h"
#include "sim/MatchEvents.h"
#include "sim/MatchRules.h"
#include "sim/Random.h"
#include "players/Team.h"

namespace flikka {

class CPlayer;
class Rebind;

enum MatchState { GAME_PLAY = 0, GAME_OUT_OF_PLAY = 1, GAME_SETUP = 2, GAME_READY = 3 };
// FREE_KICK, PENALTY and INDIRECT_FREE_KICK are given under full rules only.
enum RestartKind {
    RESTART_NONE = 0,
    KICK_OFF = 2,
    THROW_IN = 3,
    CORNER = 4,
    FREE_KICK = 5,
    GOAL_KICK = 6,
    PENALTY = 7,
    INDIRECT_FREE_KICK = 8,
};
// Who plays from the keys. The first three are the one-human game's choices; HUMAN_BOTH puts
// player 1 on the home side and player 2 on the away side, HUMAN_HOME_TWO both on the home side.
enum HumanSide { HUMAN_HOME = 0, HUMAN_AWAY = 1, HUMAN_NONE = 2, HUMAN_BOTH = 3, HUMAN_HOME_TWO = 4 };

// How many humans the side choice puts at the keys (0, 1 or 2).
int humansIn(int humanSide);

// Where the goalkeeper's debug target points go (the presentation object in the game).
class IDebugMarkerSink {
public:
    virtual ~IDebugMarkerSink() = default;
    virtual void addDebugMarker(float x, float y) = 0;
};

// What the full rules remember between steps; untouched (and unread) under classic.
struct FullRulesState {
    // A foul or an offside seen during a step; the referee calls it at the end of the step.
    enum CallKind { CALL_NONE = 0, CALL_FOUL, CALL_OFFSIDE };
    int call = CALL_NONE;
    CPlayer* offender = nullptr;
    Vector3 callSpot{};
    // Footballers of offsideTeam who stood offside when their side last played the ball.
    const CTeam* offsideTeam = nullptr;
    std::vector<const CPlayer*> offsidePlayers;
    // The side that kicked off, until its first possession has played the ball back.
    const CTeam* kickOffTeam = nullptr;
    std::uint64_t kickOffStep = 0;
    // An indirect free kick's taker: no goal straight from it until someone else touches it.
    const CPlayer* indirectTaker = nullptr;
    // Steps spent in GAME_READY at the current restart; the step of the last automatic switch.
    std::uint64_t readySteps = 0;
    std::uint64_t lastAutoSwitch = 0;
    const CTeam* lastHolderTeam = nullptr;

    void clearPlay() {
        call = CALL_NONE;
        offender = nullptr;
        offsideTeam = nullptr;
        offsidePlayers.clear();
        kickOffTeam = nullptr;
        indirectTaker = nullptr;
    }
};

// The half-metre points the team AIs have claimed in this step: a few dozen, kept in a small
// open-addressed table that is emptied slot by slot (a tree would allocate for each point).
// Points are finite, so after -0 is made +0 equal points have equal bits, which is exactly
// the equivalence of the ordered set this replaces. Should a step ever claim more than the
// table holds well, the rest of that step scans the list instead.
class ClaimSet {
public:
    // The point's key: its bits, after -0 + 0 made +0 (nothing else changes).
    static std::uint64_t keyOf(float x, float y) {
        x += 0.0f;
        y += 0.0f;
        return (static_cast<std::uint64_t>(std::bit_cast<std::uint32_t>(x)) << 32) | std::bit_cast<std::uint32_t>(y);
    }
    bool insert(float x, float y) { return insertKey(keyOf(x, y)); }
    // insert of the point whose key this is.
    bool insertKey(std::uint64_t key) {
        if (filled_ >= kSlots / 2) {
            const std::pair<float, float> p{std::bit_cast<float>(static_cast<std::uint32_t>(key >> 32)),
                                            std::bit_cast<float>(static_cast<std::uint32_t>(key))};
            if (count(p) != 0) return false;
            overflow_.push_back(p);
            return true;
        }
        std::size_t i = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ULL) >> 57);
        for (; used_[i]; i = (i + 1) & (kSlots - 1)) {
            if (keys_[i] == key) return false;
        }
        used_[i] = true;
        keys_[i] = key;
        slots_[filled_++] = static_cast<std::uint8_t>(i);
        return true;
    }
    // Compares as floats, as the list scan always has.
    std::size_t count(const std::pair<float, float>& p) const {
        for (std::size_t k = 0; k < filled_; ++k) {
            const std::uint64_t key = keys_[slots_[k]];
            const std::pair<float, float> q{std::bit_cast<float>(static_cast<std::uint32_t>(key >> 32)),
                                            std::bit_cast<float>(static_cast<std::uint32_t>(key))};
            if (q == p) return 1;
        }
        for (const auto& q : overflow_) {
            if (q == p) return 1;
        }
        return 0;
    }
    std::size_t size() const { return filled_ + overflow_.size(); }
    bool empty() const { return size() == 0; }
    void clear() {
        for (std::size_t k = 0; k < filled_; ++k) used_[slots_[k]] = false;
        filled_ = 0;
        overflow_.clear();
    }

private:
    static constexpr std::size_t kSlots = 128;  // the hash keeps the top 7 bits
    std::size_t filled_ = 0;                    // points in the table, at most kSlots / 2
    std::uint8_t slots_[kSlots / 2] = {};       // the table's used slots, in claiming order
    std::vector<std::pair<float, float>> overflow_;  // claimed once the table is half full
    bool used_[kSlots] = {};
    std::uint64_t keys_[kSlots] = {};
};

// How much the team AIs squeeze their blocks for a ball at (x, y): two cosines. Both teams ask
// for the same ball in a step, and a cosine depends on nothing but the bits of its argument,
// so the last answer serves again.
struct BlockSqueeze {
    std::uint32_t xBits = 0, yBits = 0;
    float fx = 0.0f, fy = 0.0f;
    bool known = false;
};

struct SwitchList {
    std::vector<CPlayer*> candidates;
    std::size_t cursor = 0;
    float timer = 0.0f;
};

// One human at the keys: his key slots, his side, the footballer he plays and the footballers
// the switch key offers him.
struct HumanControl {
    KeyState keys;
    CTeam* team = nullptr;  // none while this human does not play
    CPlayer* selected = nullptr;
    SwitchList switchList;
    int number = 1;  // 1 or 2: the number over his footballer
};

class CPlay {
public:
    static constexpr int kMaxHumans = StepInput::kMaxHumans;
    // Player 1 first; a human without a team takes no part.
    HumanControl humans[kMaxHumans];

    CBall ball;
    CTeam home;
    CTeam away;
    int state = GAME_OUT_OF_PLAY;
    int restartKind = KICK_OFF;
    float stateTimer = 1.0f;
    Vector3 restartPoint{0.0f, 0.0f, 0.1232f};
    bool homeTakesRestart = true;
    float elapsed = 0.001f;
    float matchLength = 10.0f;
    int homeScore = 0;
    int awayScore = 0;
    CPlayer* targetReceiver = nullptr;
    ClaimSet claimSet;
    BlockSqueeze blockSqueeze;
    CPlayer* lastToucher = nullptr;
    CPlayer* ballHolder = nullptr;
    bool secondHalf = false;
    MatchRules rules;
    FullRulesState fullState;
    // Match steps since the new-match set-up.
    std::uint64_t steps = 0;
    // What the last step did (and the human's input just before it): read after matchStep,
    // dropped when the next step begins.
    std::vector<MatchEvent> events;

    // The match's own generator, clock and serial numbers. None is reset by a new match: on one
    // match object they run on from one match into the next, as they always have.
    Random random{kDefaultSeed};
    std::uint32_t clockMs = 0;     // simulated milliseconds, +5 every step (the AI's periodic decisions follow it)
    unsigned long lastSerial = 0;  // the last footballer serial handed out

    // Where the referee's lines go (standard output unless silenced with null), and the
    // goalkeeper's debug target points.
    std::ostream* console;
    IDebugMarkerSink* debugMarkers = nullptr;

    CPlay();

    unsigned matchMinute() const;
    bool fullTime() const;  // minute 91 with the ball near the centre line, or minute 96
    void setBallHolder(CPlayer* p);
    bool awayTouchedLast() const;
    // Some human of p's side takes p: the one who already has him, else one who has nobody,
    // else the one whose footballer stands nearest. Nothing when no human plays that side.
    void select(CPlayer* p);
    // Human h takes p, unless p is a goalkeeper, of another side or another human's footballer.
    void selectFor(HumanControl& h, CPlayer* p);
    // The human whose footballer p is; null for the computer's.
    HumanControl* humanOf(const CPlayer* p);
    const HumanControl* humanOf(const CPlayer* p) const;
    // A pass or cross to receiver: the human who played it takes the receiver, else (a computer
    // footballer of a human side passed) the side's human as select() picks him.
    void selectReceiver(const CPlayer& kicker, CPlayer* receiver);
    bool isSelected(const CPlayer* p) const { return humanOf(p) != nullptr; }
    bool heldByOtherHuman(const HumanControl& h, const CPlayer* p) const;
    // A human plays this side.
    bool hasHuman(const CTeam* t) const;
    int humanCount() const;
    bool claimPoint(float x, float y);
    void markFootballersFree();
    void notifyAll(int event);  // home team, then away team
    void addDebugMarker(float x, float y);
    void print(const char* text) const;  // a referee's line to the console
    // A serial for a footballer joining this match: creation order, which orders the maps keyed by footballer.
    unsigned long newSerial() { return ++lastSerial; }
    // Appends an event with the minute filled in; draws no random numbers, changes nothing.
    void emit(MatchEvent e);

    // Full rules. A foul by `offender` on the ball carrier `victim`, called at the end of the step.
    void callFoul(CPlayer* offender, const CPlayer* victim);
    // `kicker` is about to play the ball: under full rules, who of his side stands offside
    // (nobody at a throw-in, goal kick or corner); a later possession by one of them is called.
    void noteKick(const CPlayer& kicker);
    bool offsidePosition(const CPlayer& p) const;  // by the Law, now
    // True while the computer takes a restart the human's side has left untaken too long.
    bool computerTakesRestart() const;
    CTeam& takingTeam() { return homeTakesRestart ? home : away; }

    CTeam& teamOf(const CPlayer* p) { return home.contains(p) ? home : away; }
    bool isHome(const CPlayer* p) const { return home.contains(p); }
    bool isEitherGoalkeeper(const CPlayer* p) const {
        return p != nullptr && (p == home.goalkeeper() || p == away.goalkeeper());
    }

protected:
    ~CPlay() = default;  // a part of a match, never a match of its own
    CPlay(const CPlay&) = default;
    CPlay& operator=(const CPlay&) = default;
    // After a copy: every pointer into the original names the same thing in this one.
    void rebind(const Rebind& r);

    void possessionUnderFullRules(CPlayer* p);

    std::size_t eventsDelivered_ = 0;
    bool fullTimeReported_ = false;
};

}  // namespace flikka
