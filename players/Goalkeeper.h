#pragma once
#include <cstdint>

#include "players/Player.h"

namespace flikka {

class CGoalkeeper : public CPlayer {
public:
    bool holdingBall = false;
    bool chasingBall = false;
    float diveTime = 0.0f;
    float reachFraction = 0.0f;
    unsigned diveStep = 0;
    unsigned reachSteps = 0;
    unsigned diveSteps = 0;
    Vector3 divePoint{};
    float diveAngle = 0.0f;
    float reachAngleStep = 0.0f;
    float finalAngle = 0.0f;
    Vector3 reachMoveStep{};
    float fallAngleStep = 0.0f;
    Vector3 fallMoveStep{};
    bool diving = false;
    bool guessing = false;  // a penalty dive on a guess: made before the kick, no reaction time

private:
    // The point on his arc last worked out, and the ball and end it was for: a ball lying still
    // (every stoppage) gives the same point again without its acos, sine and cosine.
    struct ArcPoint {
        bool known = false;
        bool upwards = false;
        std::uint32_t ballX = 0, ballY = 0;
        Vector3 point{};
    } arc_;
    Vector3 arcPoint(const Vector3& ball);

public:

    std::unique_ptr<CPlayer> clone() const override { return std::make_unique<CGoalkeeper>(*this); }
    bool assignFrom(const CPlayer& o) override;
    void think() override;
    void notify(int event) override;
    void update(float dt) override;
    int spriteDirection() const override;
    void tryTakeBall() override;
    void setHasBall(bool b) override;
    virtual void setDiving(bool b) { diving = b; }
    virtual bool isDiving() const { return diving; }
    virtual void setDiveAngle(float a);
    virtual float getDiveAngle() const { return diveAngle; }
    virtual void dive(const Vector3& point, float time);

    float sideSign() const;  // +1 defending the lower goal
    bool mayHandle() const;
    void clearDiveRecord();
    void diveStepOnce();
    void catchTest();
    void parry(float fraction);
    void clearWithFoot();
    void distribute();
    bool isHomeKeeper() const;
    float armReach() const;  // a diving keeper's reach: shorter under full rules
    // Dives at a kick when its path crosses his line soon enough; true when he dived.
    bool diveDecision();
    // A keeper's kick counts as a pass of the side that played the ball last; everyone is told.
    void keeperPassBookkeeping();
    void penaltyDive();  // full rules: a guess as the penalty is struck
};

}  // namespace flikka
