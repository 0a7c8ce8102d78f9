#pragma once
#include "players/Player.h"

namespace flikka {

class TeamPlan;

enum OutfieldState {
    STATE_INTERCEPT = 0,
    STATE_GO_TO_POINT = 1,
    STATE_FORMATION = 2,
    STATE_MARK = 4,
    STATE_COVER = 5,  // full rules: between the opponents' carrier and our goal
    STATE_CHASE = 6,
    STATE_WITH_BALL = 7,
    STATE_PRESS = 8,
};

// p as an outfield footballer; null for a goalkeeper or for no footballer at all.
inline COutfieldPlayer* asOutfield(CPlayer* p) { return p != nullptr ? p->outfield() : nullptr; }

// A receiver choice with its score and the aim that found it.
struct PassChoice {
    CPlayer* receiver = nullptr;
    float score = -1000.0f;
    int aim = 0;
};

struct ShotChoice {
    float value = 0.0f;
    float power = 0.0f;
    float spin = 0.0f;
    Vector3 target{};
    // Aimed shots (full rules): the distance to the goal and the opponents in the way.
    float distance = 0.0f;
    int blockers = 0;
};

class COutfieldPlayer : public CPlayer {
public:
    int state = STATE_FORMATION;
    Vector3 interceptPoint{};
    CPlayer* markTarget = nullptr;
    bool free = true;
    float passValue = 0.0f;
    float lungeTime = 0.0f;  // full rules: seconds left of a step in at the carrier

    std::unique_ptr<CPlayer> clone() const override { return std::make_unique<COutfieldPlayer>(*this); }
    bool assignFrom(const CPlayer& o) override;
    void rebind(const Rebind& r) override;
    void think() override;
    void notify(int event) override;
    void setHasBall(bool b) override;
    COutfieldPlayer* outfield() override { return this; }
    const COutfieldPlayer* outfield() const override { return this; }

    void leaveRole();
    void setState(int s);
    void markOpponent(CPlayer* o);
    void resetToDefault();
    void coverCarrier();  // takes the team's cover role
    static void receiveAt(CPlayer* f, const Vector3& p);  // does nothing for a goalkeeper

    bool attacksUpwards() const;
    TeamPlan& plan() const;  // his team's plan, as the team AI keeps it
    float offsideLine() const;
    bool offside(float margin = 0.0f) const;  // margin: metres past the line that still look level
    bool pressured() const;
    bool freeAhead() const;
    bool opponentBehind() const;
    bool nearLineWithSpace() const;
    bool atEdgeFacingOut(int d) const;
    CPlayer* laneBlocker(const Vector3& a, const Vector3& b, float widthFactor) const;
    CPlayer* nearestTeammate(const Vector3& p, bool includeGoalkeeper) const;

    std::uint32_t offsideLookPeriod() const;
    float attackValue() const;
    void updatePassValue();  // every 500 simulation milliseconds

    PassChoice bestPass() const;
    PassChoice bestCross() const;
    ShotChoice evaluateShot() const;
    void aiShot(const ShotChoice& shot);
    int bestDribbleDirection() const;

    // Full rules.
    ShotChoice evaluateAimedShot() const;
    bool wantsAimedShot(const ShotChoice& shot, bool pressed) const;  // may draw a number
    PassChoice bestBackPass() const;  // sideways or back, as the kick-off receiver plays it
    void maybeSlide();
    bool clearingNow() const;  // closed down in his own third
    void closeDownCarrier(const CPlayer& carrier);  // the closer's step: jockey, step in, slide
    float slideChanceHere() const;

private:
    void onBallDecision();
    void restartPass();  // a restart played to the best receiver, or to the nearest teammate
    void takeFreeKick(bool indirect);
    void takePenalty();
    // After a pass or cross from the AI: the receiver runs onto it, the passer back into shape.
    void passedTo(CPlayer* receiver, const Vector3& target);
};

}  // namespace flikka
