#pragma once
#include <memory>
#include <string>
#include <vector>

#include "players/Movement.h"
#include "sim/Vector3.h"

namespace flikka {

class CPlay;
class CTeam;
class COutfieldPlayer;

// Ball events delivered through notify.
enum BallEvent {
    EVENT_POSSESSION = 0,
    EVENT_BALL_FREE = 1,
    EVENT_PASS = 2,
    EVENT_SHOT = 4,
    EVENT_CROSS = 5,  // crosses, clearances and goalkeeper kicks
};

// Kick kinds, shared with pendingKind.
enum KickKind { KICK_NONE = 0, KICK_SHOT = 1, KICK_PASS = 2, KICK_THROUGH = 3, KICK_CROSS = 4 };

// Direction index 0 (none), 1 up, then anticlockwise to 8 up-right; the diagonal is 0.707, not 1/sqrt 2.
constexpr float kDiagonal = 0.707f;
extern const Vector3 kDirectionTable[9];

// Index 1..8 whose table vector makes the smallest angle with unit vector u (ties keep the lower).
int nearestDirection(const Vector3& u);
// nearestDirection(w / len) for len = length(w), mostly without dividing.
int nearestDirectionOf(const Vector3& w, float len);
// nearestDirectionOf(w, sqrt(square)) for square = dot(w, w), mostly without the root.
int nearestDirectionOfSquare(const Vector3& w, float square);
// The least floats whose correctly rounded square roots reach steering's arrival distance
// (0.05) and the shortest vector with a direction (0.01): the root is monotonic, so a square
// compared with these gives the answer of its root compared with the distance.
inline constexpr float kArrivedSquare = 0x1.47ae14p-9f;
inline constexpr float kNoDirectionSquare = 0x1.a36e2cp-14f;
inline int wrapDirection(int d) { return ((d - 1) % 8 + 8) % 8 + 1; }  // cyclic 1..8

// Orders maps keyed by footballer in creation order.
struct BySerial {
    template <class P>
    bool operator()(const P* a, const P* b) const { return a->serial < b->serial; }
};

class CPlayerAI {
public:
    virtual ~CPlayerAI() = default;
    virtual void think() = 0;
    virtual void notify(int event) = 0;
};

class Rebind;

class CPlayer : public CPlayerAI {
public:
    Vector3 position{};
    Vector3 heading{};
    bool canMove = true;
    std::vector<float> accelDistances;
    CPlay* match = nullptr;
    CTeam* team = nullptr;
    CTeam* opponents = nullptr;
    int moveMode = 0;
    float pendingTime = 0.0f;
    int pendingKind = 0;
    int pendingAim = 0;
    float speed = 0.0f;
    float sinceLastTouch = 0.0f;
    float stunTime = 0.0f;
    int direction = 0;
    int travelDirection = 0;
    bool hasBall = false;
    bool setPiece = false;
    Vector3 directionVectors[9];
    Vector3 keeperPoint{};
    Vector3 homePosition{};
    std::string name;
    // Creation order: orders the formation's and marking maps deterministically (addresses would not).
    unsigned long serial = 0;
    // Full rules: a sliding tackle in progress (seconds left), its line, and what it has met.
    float slideTime = 0.0f;
    Vector3 slideHeading{};
    int slideDirection = 0;
    bool slidePlayedBall = false;
    bool slideMetPlayer = false;

    CPlayer();
    ~CPlayer() override = default;
    CPlayer(const CPlayer&) = default;
    CPlayer& operator=(const CPlayer&) = default;

    // A copy of this footballer of his own kind; its pointers still name the original match
    // until rebind. Every kind of footballer overrides the three.
    virtual std::unique_ptr<CPlayer> clone() const;
    // Takes o's state when o is of this footballer's kind (false, and nothing changes, if not).
    virtual bool assignFrom(const CPlayer& o);
    virtual void rebind(const Rebind& r);

    void think() override {}
    void notify(int) override {}
    // This footballer as an outfield player, or null: what dynamic_cast<COutfieldPlayer*> gives,
    // without its search through the type tree, for the loops over a squad every step.
    virtual COutfieldPlayer* outfield() { return nullptr; }
    virtual const COutfieldPlayer* outfield() const { return nullptr; }
    virtual void update(float dt);
    virtual int spriteDirection() const { return travelDirection; }
    virtual void tryTakeBall();
    virtual void setHasBall(bool b);

    void setDirection(int index);
    bool steerTo(const Vector3& target);
    void faceToward(const Vector3& target);
    void setTravelDirection(const Vector3& w);
    float timeToReach(const Vector3& p) const;
    // His running figures: everybody's the same until footballers get their own.
    const Movement& movement() const { return kDefaultMovement; }

    // The speed rule and position integration (step "move" of update).
    void move(float dt);
    // Carries out a pending kick at once (kinds 1, 2, 4; kind 3 does nothing) and clears it.
    void playPendingKick();

    // Full rules: slides along `along` (a horizontal unit vector); false when he cannot now.
    bool startSlide(const Vector3& along);
    bool sliding() const { return slideTime > 0.0f; }
    void slideStep(float dt);
    // Full rules: whether this challenge on `holder` is a foul (then called); `wonBall` says
    // whether it played the ball. Always false under classic, without drawing a number.
    bool challengeIsFoul(CPlayer* holder, bool wonBall);
    // Full rules: a loose ball this far away goes by too fast to be stopped.
    bool tooQuickToReach(float reach) const;
    // Full rules: a challenge that would win the ball still fails this often (the carrier
    // takes it past him); false under classic, without drawing a number.
    bool carrierEscapes() const;
    // Full rules: after winning the ball in a tackle, sometimes it runs loose.
    void knockLoose();

    bool isGoalkeeper() const;  // squad position 0
    int squadIndex() const;     // position in his team's squad, -1 when not found
};

}  // namespace flikka
