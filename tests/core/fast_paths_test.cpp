// The quick paths of the simulation against the plain rules they stand for: every result must
// be the same, bit for bit, on inputs drawn to include ties, near-ties and degenerate values.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "players/OutfieldPlayer.h"
#include "players/Player.h"
#include "players/SerialMap.h"
#include "sim/KeyState.h"
#include "match/Match.h"
#include "team/GlobalAI.h"
#include "tests/core/match_fixtures.h"

namespace flikka {
namespace {

bool sameBits(const Vector3& a, const Vector3& b) {
    return std::bit_cast<std::uint32_t>(a.x) == std::bit_cast<std::uint32_t>(b.x) &&
           std::bit_cast<std::uint32_t>(a.y) == std::bit_cast<std::uint32_t>(b.y) &&
           std::bit_cast<std::uint32_t>(a.z) == std::bit_cast<std::uint32_t>(b.z);
}

// The direction rule written out plainly: acos of every dot product, the first smallest kept.
int plainNearestDirection(const Vector3& u) {
    float best = 10.0f;
    int index = 1;
    for (int i = 1; i <= 8; ++i) {
        const float angle = safeAcos(dot(kDirectionTable[i], u));
        if (angle < best) {
            best = angle;
            index = i;
        }
    }
    return index;
}

TEST(FastPaths, NearestDirectionPicksWhatTheAnglesPick) {
    std::mt19937 rng(14);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    std::uniform_real_distribution<float> wiggle(-3e-5f, 3e-5f);
    long mismatches = 0;
    auto check = [&](const Vector3& u) {
        const int fast = nearestDirection(u);
        if (fast != plainNearestDirection(u)) ++mismatches;
    };
    for (int n = 0; n < 400000; ++n) {
        // Any direction in space, as the facing rule asks with a height difference.
        const Vector3 v{unit(rng), unit(rng), unit(rng)};
        if (lengthSquared(v) > 0.0f) check(normalised(v));
        // Flat directions a hair from the bisector of two neighbours, where two dot products
        // nearly agree and the acos decides.
        const float a = (static_cast<float>(n % 16) + 1.0f) * 0.39269908f + wiggle(rng);
        const Vector3 w{std::cos(a), std::sin(a), 0.0f};
        check(w);
        check(Vector3{w.x, w.y, 0.5f * unit(rng)});
        // Unnormalised vectors: dot products past +-1, which the rule clamps.
        check(w * (1.0f + 0.5f * std::fabs(unit(rng))));
        check(v * 3.0f);
        // Exact zeros of either sign, where the table's zero terms meet zeros of u.
        check(Vector3{n % 2 == 0 ? 0.0f : -0.0f, w.y, n % 3 == 0 ? -0.0f : 0.0f});
        check(Vector3{w.x, -0.0f, v.z});
    }
    // Exact table directions and exact bisectors tie in their dot products.
    for (int i = 0; i <= 8; ++i) {
        check(kDirectionTable[i]);
        check(kDirectionTable[i] * -1.0f);
        for (int j = 1; j <= 8; ++j) {
            const Vector3 m = kDirectionTable[i] + kDirectionTable[j];
            if (lengthSquared(m) > 0.0f) check(normalised(m));
        }
    }
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (const Vector3& odd : {Vector3{nan, 0.0f, 0.0f}, Vector3{0.0f, nan, 1.0f}, Vector3{inf, 1.0f, 0.0f},
                               Vector3{0.0f, 0.0f, 1.0f}, Vector3{0.0f, 0.0f, 0.0f}, Vector3{-0.0f, -0.0f, -1.0f}}) {
        check(odd);
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(FastPaths, SteeringLooksTheDirectionUpOnceForFacingAndTravel) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    int differing = 0;
    for (int n = 0; n < 20000; ++n) {
        CPlayer quick;
        quick.position = {30.0f * unit(rng), 50.0f * unit(rng), n % 3 == 0 ? 0.0f : unit(rng)};
        quick.direction = 1 + n % 8;
        quick.travelDirection = 1 + (n / 8) % 8;
        const float reach = n % 4 == 0 ? 0.2f : 40.0f;  // near targets too, just beyond arrival
        Vector3 target = quick.position + Vector3{reach * unit(rng), reach * unit(rng), 3.0f * unit(rng)};
        if (n % 5 == 0) {
            // A hair either side of the arrival distance, and straight above or below.
            const float a = 3.0f * unit(rng);
            const float r = 0.05f * (1.0f + 1e-6f * unit(rng));
            target = quick.position + Vector3{r * std::cos(a), r * std::sin(a), n % 10 == 0 ? 1e20f : unit(rng)};
        }
        if (n % 97 == 0) target.z = n % 2 == 0 ? nan : inf;
        if (n % 101 == 0) target.x = n % 2 == 0 ? nan : -inf;
        CPlayer plain = quick;
        const bool arrived = quick.steerTo(target);
        bool plainArrived = horizontalDistance(plain.position, target) < 0.05f;
        if (!plainArrived) {
            plain.faceToward(target);
            plain.setTravelDirection(target - plain.position);
            plain.moveMode = 1;
        } else {
            plain.position = {target.x, target.y, 0.0f};
            plain.moveMode = 0;
            plain.speed = 0.0f;
        }
        if (arrived != plainArrived || quick.direction != plain.direction ||
            quick.travelDirection != plain.travelDirection || !sameBits(quick.heading, plain.heading) ||
            !sameBits(quick.position, plain.position) || quick.moveMode != plain.moveMode) {
            ++differing;
        }
    }
    EXPECT_EQ(differing, 0);
}

// A square compared with these bars answers as its (correctly rounded, monotonic) root compared
// with the distance: the bar's root reaches it, the float just below's does not.
TEST(FastPaths, SquareBarsAreTheLeastSquaresWhoseRootReachesTheDistance) {
    for (const auto& [bar, distance] : {std::pair{kArrivedSquare, 0.05f}, std::pair{kNoDirectionSquare, 0.01f}}) {
        EXPECT_GE(std::sqrt(bar), distance);
        EXPECT_LT(std::sqrt(std::nextafter(bar, 0.0f)), distance);
    }
}

TEST(FastPaths, DirectionOfAnUnnormalisedVectorMatchesTheNormalisedLookUp) {
    // Steering asks for the direction of the vector to its target at any distance; the answer
    // must be what the look-up of the normalised vector gives, including a hair from a tie.
    std::mt19937 rng(41);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    std::uniform_real_distribution<float> exponent(-2.0f, 5.0f);
    std::uniform_real_distribution<float> wiggle(-2e-4f, 2e-4f);
    long mismatches = 0;
    auto check = [&](const Vector3& w) {
        const float len = length(w);
        const int d = nearestDirection(w / len);
        if (nearestDirectionOf(w, len) != d || nearestDirectionOfSquare(w, dot(w, w)) != d) ++mismatches;
    };
    for (int n = 0; n < 300000; ++n) {
        const float scale = std::pow(10.0f, exponent(rng));
        check(Vector3{unit(rng), unit(rng), n % 2 == 0 ? 0.0f : unit(rng)} * scale);
        // Near the bisectors of neighbouring directions (the 0.707 diagonal moves them a little
        // off 22.5 degrees, so the wiggle is wide enough to cross them), and near the table's
        // own directions, where opposite neighbours tie.
        const float a = static_cast<float>(n % 16) * 0.39269908f + wiggle(rng) * (n % 3 == 0 ? 1.0f : 40.0f);
        const Vector3 flat{std::cos(a), std::sin(a), 0.0f};
        check(flat * scale);
        check(Vector3{flat.x, flat.y, 2.0f * unit(rng)} * scale);
    }
    for (int i = 0; i <= 8; ++i) {
        for (int j = 0; j <= 8; ++j) check((kDirectionTable[i] + kDirectionTable[j] * 0.5f) * 3.0f);
    }
    // Straight up, shorter than a direction (and a hair either side of it), too long to measure,
    // not a number.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (float s = std::nextafter(kNoDirectionSquare, 0.0f), k = 0; k < 3; ++k, s = std::nextafter(s, 1.0f)) {
        check(Vector3{std::sqrt(s), 0.0f, 0.0f});
        check(Vector3{0.0f, 0.0f, -std::sqrt(s)});
    }
    for (const Vector3& odd : {Vector3{0.0f, 0.0f, 2.0f}, Vector3{0.0f, -0.0f, -1.0f}, Vector3{0.003f, -0.004f, 0.0f},
                               Vector3{3e19f, 1e19f, 0.0f}, Vector3{1.0f, nan, 0.0f}, Vector3{1e-30f, 1e-30f, 0.0f}}) {
        check(odd);
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(FastPaths, SerialMapBehavesLikeTheMapByCreationOrder) {
    // The formation draws its random offsets walking this map, so its order is part of play.
    std::vector<std::unique_ptr<CPlayer>> squad;
    for (unsigned long i = 0; i < 12; ++i) {
        squad.push_back(std::make_unique<CPlayer>());
        squad.back()->serial = i + 1;
    }
    std::mt19937 rng(7);
    SerialMap<CPlayer, int> flat;
    std::map<const CPlayer*, int, BySerial> tree;
    for (int n = 0; n < 400; ++n) {
        const CPlayer* p = squad[rng() % squad.size()].get();
        switch (rng() % 3) {
            case 0: flat[p] = n; tree[p] = n; break;
            case 1: EXPECT_EQ(flat.erase(p), tree.erase(p)); break;
            default: EXPECT_EQ(flat.count(p), tree.count(p)); break;
        }
        ASSERT_EQ(flat.size(), tree.size());
        auto t = tree.begin();
        for (const auto& [key, value] : flat) {
            EXPECT_EQ(key, t->first);
            EXPECT_EQ(value, t->second);
            ++t;
        }
    }
    flat.clear();
    EXPECT_TRUE(flat.empty());
    EXPECT_THROW((void)flat.at(squad[0].get()), std::out_of_range);
}

TEST(FastPaths, DistanceOrderIsTheStableBubbleSortOrder) {
    match_fixtures::SmallMatch s(11);
    CTeam& team = s.m.home;
    std::mt19937 rng(21);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    int differing = 0;
    for (int n = 0; n < 3000; ++n) {
        for (std::size_t i = 0; i < team.size(); ++i) {
            // Coarse grid positions, so that many footballers stand equally far from the ball.
            Vector3& p = team.player(i)->position;
            p = n % 2 == 0 ? Vector3{std::round(4.0f * unit(rng)), std::round(4.0f * unit(rng)), 0.0f}
                           : Vector3{30.0f * unit(rng), 50.0f * unit(rng), 0.0f};
            if (n % 50 == 0 && i == 4) p.x = std::numeric_limits<float>::quiet_NaN();
        }
        s.m.ball.position = {0.0f, 0.0f, kBallRadius};
        team.rebuildByDistance();

        std::vector<CPlayer*> order;
        std::vector<float> dist;
        for (std::size_t i = 0; i < team.size(); ++i) {
            order.push_back(team.player(i));
            dist.push_back(horizontalDistance(team.player(i)->position, s.m.ball.position));
        }
        for (bool swapped = true; swapped;) {
            swapped = false;
            for (std::size_t j = 0; j + 1 < order.size(); ++j) {
                if (dist[j + 1] < dist[j]) {
                    std::swap(dist[j], dist[j + 1]);
                    std::swap(order[j], order[j + 1]);
                    swapped = true;
                }
            }
        }
        // The order is that of the rebuild, read later (after the footballers moved) or never.
        for (std::size_t i = 0; i < team.size(); ++i) team.player(i)->position.x += 7.0f * unit(rng);
        if (team.nearestByDistance() != order.front()) ++differing;
        if (n % 3 != 1 && order != team.byDistance()) ++differing;
    }
    EXPECT_EQ(differing, 0);
}

TEST(FastPaths, ClaimSetAnswersAsTheOrderedSetDid) {
    std::mt19937 rng(9);
    ClaimSet claims;
    for (int round = 0; round < 300; ++round) {
        std::set<std::pair<float, float>> plain;
        // Some rounds claim more points than the table holds, so the scan takes over mid-way.
        const int n = round % 10 == 0 ? 150 : 1 + static_cast<int>(rng() % 40);
        int differing = 0;
        for (int i = 0; i < n; ++i) {
            // A small grid, so points repeat; zeros of both signs must count as one point.
            float x = 0.5f * static_cast<float>(static_cast<int>(rng() % 9) - 4);
            float y = 0.5f * static_cast<float>(static_cast<int>(rng() % 9) - 4);
            if (x == 0.0f && rng() % 2 == 0) x = -0.0f;
            if (y == 0.0f && rng() % 2 == 0) y = -0.0f;
            if (rng() % 8 == 0) x = 1.0e6f * static_cast<float>(rng() % 100);
            if (claims.insert(x, y) != plain.insert({x, y}).second) ++differing;
        }
        EXPECT_EQ(differing, 0) << "round " << round;
        EXPECT_EQ(claims.size(), plain.size());
        claims.clear();
        EXPECT_TRUE(claims.empty());
    }
}

TEST(FastPaths, PredictionWithoutOutOfReachPlaneTestsFindsTheSameEvents) {
    CMatch match;
    match.newMatch(match_fixtures::k442, match_fixtures::k442, 300, HUMAN_NONE);
    std::mt19937 rng(17);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    auto sameEvent = [](const PredictionEvent& a, const PredictionEvent& b) {
        return a.found == b.found && sameBits(a.point, b.point) &&
               std::bit_cast<std::uint32_t>(a.time) == std::bit_cast<std::uint32_t>(b.time) &&
               std::bit_cast<std::uint32_t>(a.bestTime) == std::bit_cast<std::uint32_t>(b.bestTime);
    };
    int differing = 0;
    int events = 0;
    for (int n = 0; n < 1500; ++n) {
        match.secondHalf = n % 2 == 1;
        for (CTeam* t : {&match.home, &match.away}) {
            const float end = t->goalkeeper()->position.y > 0.0f ? 1.0f : -1.0f;
            t->goalkeeper()->position = {4.0f * unit(rng), end * (48.0f + 4.0f * unit(rng)), 0.0f};
        }
        CBall quick(&match);
        // Towards either goal, often from on or next to a plane (keeper line, crossbar height,
        // goal line), with slow, zero or signed-zero speeds along its axis.
        const float end = unit(rng) < 0.0f ? -1.0f : 1.0f;
        const int spot = n % 4;
        Vector3 p{6.0f * unit(rng), end * (20.0f + 32.0f * std::fabs(unit(rng))), kBallRadius + 3.0f * std::fabs(unit(rng))};
        if (spot == 1) p.y = end * (52.5f - kBallRadius) + 0.01f * unit(rng);
        if (spot == 2) p.z = 2.125f - kBallRadius + 0.01f * unit(rng);
        Vector3 v{8.0f * unit(rng), end * 30.0f * unit(rng), 10.0f * unit(rng)};
        if (n % 7 == 0) v.y = 0.0f;
        if (n % 11 == 0) v.y = -0.0f;
        if (n % 13 == 0) v.z = 0.0f;
        if (n % 17 == 0) v.y = end * 1e-3f;
        quick.position = p;
        quick.velocity = v;
        quick.airborne = p.z > kBallRadius || std::fabs(v.z) >= 0.01f;
        quick.sideSpin = n % 3 == 0 ? 0.0f : unit(rng);
        quick.topSpin = n % 5 == 0 ? unit(rng) : 0.0f;
        CBall plain = quick;
        plain.planeCulling = false;
        quick.predict();
        plain.predict();
        bool same = quick.path.size() == plain.path.size();
        for (std::size_t i = 0; same && i < quick.path.size(); ++i) same = sameBits(quick.path[i], plain.path[i]);
        for (int e = 1; e <= 8; ++e) {
            same = same && sameEvent(quick.event(e), plain.event(e));
            if (e <= 6 && plain.event(e).found) ++events;
        }
        if (!same) ++differing;
    }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(events, 500);  // the planes were really crossed, many times
}

// Home positions on the half-metre grid are claimed as they are; claimPoint's snapping would
// leave them so up to 2^21 m, beyond which (as for the snapping near 2^22) the plain claim goes on.
TEST(FastPaths, GridPointsAreClaimedAsClaimPointSnapsThem) {
    std::mt19937 rng(5);
    CMatch match;
    int differing = 0;
    for (int n = 0; n < 200000; ++n) {
        const int scale = 1 << (rng() % 24);
        const float x = 0.5f * static_cast<float>(static_cast<int>(rng() % (2u * scale + 1)) - scale);
        const float y = 0.5f * static_cast<float>(static_cast<int>(rng() % 201) - 100);
        if (std::fabs(x) >= 0x1p21f) continue;
        match.claimSet.clear();
        ASSERT_TRUE(match.claimPoint(x, y));
        if (match.claimSet.count({x + 0.0f, y + 0.0f}) != 1) ++differing;
    }
    EXPECT_EQ(differing, 0);
}

// The grid snap by truncation against floor(2v + 0.5) / 2, bit for bit: random values of every
// size, the halves either side of zero, values a rounding either side of the halves, the edges
// of the truncation's range, infinities and NaN.
TEST(FastPaths, GridSnapIsTheFloorOfTheHalfMetre) {
    const auto plain = [](float v) { return std::floor(2.0f * v + 0.5f) / 2.0f; };
    std::vector<float> values{0.0f, -0.0f, 0.25f, -0.25f, 0.5f, -0.5f, -0.75f, -1.25f, 0x1p22f, -0x1p22f, 0x1p23f,
                              -0x1p23f, 0x1.fffffep22f, -0x1.fffffep21f, 1e30f, -1e30f,
                              std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                              std::numeric_limits<float>::denorm_min(), -std::numeric_limits<float>::denorm_min()};
    for (int h = -400; h <= 400; ++h) {
        const float half = 0.25f * static_cast<float>(h);
        values.insert(values.end(), {half, std::nextafter(half, 1e9f), std::nextafter(half, -1e9f)});
    }
    std::mt19937 rng(11);
    for (int n = 0; n < 200000; ++n) values.push_back(std::bit_cast<float>(static_cast<std::uint32_t>(rng())));
    int differing = 0;
    for (float v : values) {
        const float a = snapHalf(v), b = plain(v);
        if (std::isnan(b) ? !std::isnan(a) : std::bit_cast<std::uint32_t>(a) != std::bit_cast<std::uint32_t>(b)) ++differing;
    }
    EXPECT_EQ(differing, 0);
}

// Marking: the nearest unmarked opponent within the limit, by the plain distance, even for
// opponents a rounding away from the limit (where the square decides the skip).
TEST(FastPaths, OpponentToMarkIsTheNearestUnmarkedWithinTheLimit) {
    CMatch match;
    match.newMatch(match_fixtures::k442, match_fixtures::k442, 300, HUMAN_NONE);
    CGlobalAI& ai = match.homeAi;
    CPlayer* f = match.home.player(4);
    std::mt19937 rng(33);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    int mismatches = 0;
    int found = 0;
    for (int n = 0; n < 20000; ++n) {
        const float limit = n % 3 == 0 ? 10.0f : 0.5f + 20.0f * std::fabs(unit(rng));
        f->position = {30.0f * unit(rng), 50.0f * unit(rng), 0.0f};
        ai.markingMap.clear();
        for (std::size_t i = 1; i < match.away.size(); ++i) {
            CPlayer* o = match.away.player(i);
            const float angle = 3.14159f * unit(rng);
            // Far, near, or on the limit to within a few units in the last place.
            float r = limit * (1.0f + unit(rng));
            if (rng() % 2 == 0) {
                r = limit;
                for (int k = static_cast<int>(rng() % 7) - 3; k != 0; k += k > 0 ? -1 : 1) {
                    r = std::nextafter(r, k > 0 ? 100.0f : 0.0f);
                }
            }
            o->position = f->position + Vector3{r * std::cos(angle), r * std::sin(angle), unit(rng)};
            if (rng() % 4 == 0) ai.markingMap[o] = nullptr;
        }
        const CPlayer* plain = nullptr;
        float best = 1000.0f;
        for (std::size_t i = 1; i < match.away.size(); ++i) {
            CPlayer* o = match.away.player(i);
            const float d = horizontalDistance(o->position, f->position);
            if (d < limit && d < best && ai.markingMap.find(o) == ai.markingMap.end()) {
                plain = o;
                best = d;
            }
        }
        const CPlayer* fast = ai.opponentToMark(f, limit);
        if (fast != plain) ++mismatches;
        if (fast != nullptr) ++found;
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(found, 5000);
}

// The lane rule written out plainly: an opponent inside the triangle by its angle sum, the
// nearest to the passer kept.
Vector3 horizontal(const Vector3& v) { return {v.x, v.y, 0.0f}; }

const CPlayer* plainLaneBlocker(const CTeam& opponents, const Vector3& a, const Vector3& b, float widthFactor) {
    const Vector3 apex = horizontal(a);
    const Vector3 ab = horizontal(b) - apex;
    const float len = horizontalLength(ab);
    if (len < 0.01f || !(widthFactor > 0.0f)) return nullptr;
    const Vector3 side = Vector3{-ab.y, ab.x, 0.0f} / len;
    const float halfWidth = 4.8f * len / widthFactor;
    const Vector3 corners[3] = {apex, horizontal(b) + side * halfWidth, horizontal(b) - side * halfWidth};
    const CPlayer* best = nullptr;
    float bestDistance = 0.0f;
    for (const auto& o : opponents.players) {
        const Vector3 p = horizontal(o->position);
        Vector3 to[3];
        bool onCorner = false;
        for (int i = 0; i < 3; ++i) {
            to[i] = corners[i] - p;
            const float l = length(to[i]);
            if (l < 1e-6f) onCorner = true;
            else to[i] = to[i] / l;
        }
        const float sum = safeAcos(dot(to[0], to[1])) + safeAcos(dot(to[1], to[2])) + safeAcos(dot(to[2], to[0]));
        if (!onCorner && !(std::fabs(sum - kTwoPi) <= 0.05f)) continue;
        const float d = horizontalDistance(o->position, a);
        if (best == nullptr || d < bestDistance) {
            best = o.get();
            bestDistance = d;
        }
    }
    return best;
}

TEST(FastPaths, LaneBlockerFindsWhomTheAngleSumFinds) {
    CMatch match;
    match.newMatch(match_fixtures::k442, match_fixtures::k442, 300, HUMAN_NONE);
    auto* passer = dynamic_cast<COutfieldPlayer*>(match.home.player(5));
    ASSERT_NE(passer, nullptr);
    std::mt19937 rng(21);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    int mismatches = 0;
    int blocked = 0;
    for (int n = 0; n < 60000; ++n) {
        const Vector3 a{30.0f * unit(rng), 50.0f * unit(rng), 0.0f};
        const Vector3 b = n % 50 == 0 ? a + Vector3{0.005f * unit(rng), 0.0f, 0.0f}
                                      : Vector3{30.0f * unit(rng), 50.0f * unit(rng), 2.0f * unit(rng)};
        const float widthFactor = n % 97 == 0 ? 1e30f : 1.0f + 30.0f * std::fabs(unit(rng));
        const Vector3 ab = b - a;
        const float len = horizontalLength(ab);
        const Vector3 side = len > 0.0f ? Vector3{-ab.y, ab.x, 0.0f} / len : Vector3{1.0f, 0.0f, 0.0f};
        const float halfWidth = 4.8f * len / widthFactor;
        for (auto& o : match.away.players) {
            // Anywhere, or on, near or just beside the lane's edges and corners.
            const float t = unit(rng);
            const float u = std::fabs(unit(rng));
            switch (rng() % 5) {
                case 0: o->position = {35.0f * unit(rng), 55.0f * unit(rng), 0.0f}; break;
                case 1: o->position = a + ab * u + side * (halfWidth * u * t); break;
                case 2: o->position = a + ab * u + side * (halfWidth * u * (t < 0.0f ? -1.0f : 1.0f) * (1.0f + 0.05f * t)); break;
                case 3: o->position = b + side * (halfWidth * t) + ab * (0.02f * unit(rng)); break;
                default: o->position = (rng() % 2 == 0 ? a : b + side * halfWidth) + Vector3{0.01f * t, 0.01f * unit(rng), 0.0f}; break;
            }
        }
        const CPlayer* fast = passer->laneBlocker(a, b, widthFactor);
        if (fast != plainLaneBlocker(match.away, a, b, widthFactor)) ++mismatches;
        if (fast != nullptr) ++blocked;
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(blocked, 20000);  // lanes were really blocked, often
}

}  // namespace
}  // namespace flikka
