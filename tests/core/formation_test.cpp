#include "team/Formation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "sim/FlikkaException.h"
#include "sim/Random.h"

using flikka::CFormation;
using flikka::CPlayer;
using flikka::Vector3;

namespace {

std::string buildError(unsigned st, unsigned am, unsigned m, unsigned dm, unsigned d) {
    CFormation f;
    try {
        f.build(st, am, m, dm, d);
    } catch (const flikka::CFlikkaException& e) {
        return e.what();
    }
    return "";
}

// Eleven footballers assigned the way the squad set-up does: keeper, then defence forwards.
struct Squad {
    std::vector<std::unique_ptr<CPlayer>> players;
    CFormation formation;

    // reversed: serials run against squad order, so map order differs from assignment order.
    explicit Squad(const unsigned counts[5], bool reversed = false) {
        for (int i = 0; i < 11; ++i) {
            players.push_back(std::make_unique<CPlayer>());
            players.back()->serial = reversed ? 100 - static_cast<unsigned long>(i) : 1000 + static_cast<unsigned long>(i);
        }
        formation.build(counts[0], counts[1], counts[2], counts[3], counts[4]);
        formation.assignPlayer(flikka::LINE_GK, 1, players[0].get());
        int next = 1;
        for (int line = 4; line >= 0; --line)
            for (unsigned k = 1; k <= counts[line]; ++k) formation.assignPlayer(line, k, players[next++].get());
    }
    CPlayer* operator[](int i) const { return players[i].get(); }
};

constexpr unsigned k442[5] = {2, 0, 4, 0, 4};

TEST(Formation, BuildLaysOutEverySecondSlotAroundTheCentre) {
    CFormation f;
    f.build(2, 0, 4, 0, 4);
    const unsigned counts[5] = {2, 0, 4, 0, 4};
    EXPECT_TRUE(std::equal(std::begin(counts), std::end(counts), std::begin(f.lineCounts)));
    for (unsigned s = 0; s < 9; ++s) {
        EXPECT_EQ(f.occupied[s][0], s == 3 || s == 5) << s;
        EXPECT_FALSE(f.occupied[s][1]);
        EXPECT_EQ(f.occupied[s][2], s % 2 == 1) << s;
        EXPECT_FALSE(f.occupied[s][3]);
        EXPECT_EQ(f.occupied[s][4], s % 2 == 1) << s;
    }
    f.build(5, 1, 3, 1, 0);
    for (unsigned s = 0; s < 9; ++s) {
        EXPECT_EQ(f.occupied[s][0], s % 2 == 0) << s;
        EXPECT_EQ(f.occupied[s][1], s == 4) << s;
        EXPECT_EQ(f.occupied[s][2], s == 2 || s == 4 || s == 6) << s;
    }
    EXPECT_EQ(f.direction, 1.0f);
}

TEST(Formation, BuildAndAssignRejectWrongCounts) {
    EXPECT_EQ(buildError(2, 0, 4, 0, 4), "");
    EXPECT_EQ(buildError(2, 0, 4, 0, 3), "11 players needed");
    EXPECT_EQ(buildError(5, 5, 1, 0, 0), "11 players needed");
    EXPECT_EQ(buildError(6, 0, 4, 0, 0), "11 players needed");  // no room for six in a line

    CFormation f;
    EXPECT_THROW(f.build(2, 0, 4, 0, 3), flikka::CFlikkaException);
    EXPECT_EQ(f.lineCounts[4], 3u);  // left laid out with the bad counts

    f.build(2, 0, 4, 0, 4);
    CPlayer p;
    try {
        f.assignPlayer(flikka::LINE_ST, 3, &p);
        ADD_FAILURE() << "no throw";
    } catch (const flikka::CFlikkaException& e) {
        EXPECT_STREQ(e.what(), "not enought players in the formation line");
    }
    EXPECT_THROW(f.assignPlayer(flikka::LINE_AM, 1, &p), flikka::CFlikkaException);
    EXPECT_THROW(f.assignPlayer(flikka::LINE_ST, 0, &p), flikka::CFlikkaException);
    EXPECT_THROW(f.assignPlayer(7, 1, &p), flikka::CFlikkaException);
    EXPECT_EQ(f.lateralSlot(&p), -1);
}

TEST(Formation, AssignmentFillsSlotsFromTheLeft) {
    Squad sq(k442);
    CFormation& f = sq.formation;
    EXPECT_EQ(f.goalkeeper, sq[0]);
    EXPECT_EQ(f.slotOfPlayer.size(), 10u);
    EXPECT_EQ(f.offsetOfPlayer.size(), 11u);
    EXPECT_EQ(f.slotOfPlayer.count(sq[0]), 0u);
    const int lateral[11] = {-1, 1, 3, 5, 7, 1, 3, 5, 7, 3, 5};
    for (int i = 0; i < 11; ++i) EXPECT_EQ(f.lateralSlot(sq[i]), lateral[i]) << i;
    EXPECT_EQ(f.occupant[1][4], sq[1]);
    EXPECT_EQ(f.occupant[7][2], sq[8]);
    EXPECT_EQ(f.occupant[5][0], sq[10]);
    for (const auto& [p, o] : f.offsetOfPlayer) EXPECT_EQ(o, flikka::kZeroVector);

    // reset empties the grid and the maps but keeps the goalkeeper until he is reassigned.
    f.direction = -1.0f;
    f.reset();
    EXPECT_TRUE(f.slotOfPlayer.empty() && f.offsetOfPlayer.empty());
    EXPECT_EQ(f.occupant[1][4], nullptr);
    EXPECT_FALSE(f.occupied[1][4]);
    EXPECT_EQ(f.goalkeeper, sq[0]);
    EXPECT_EQ(f.direction, 1.0f);
}

TEST(Formation, BasePositions) {
    const unsigned single[5] = {1, 0, 5, 0, 4};
    Squad sq(single);
    CFormation& f = sq.formation;
    f.direction = -1.0f;
    EXPECT_EQ(f.basePosition(sq[1], 70.0f, 52.5f), Vector3(-21.0f, -43.75f, 0.0f));  // left of four defenders
    EXPECT_EQ(f.basePosition(sq[10], 70.0f, 52.5f), Vector3(0.0f, -8.75f, 0.0f));   // the lone forward
    EXPECT_EQ(f.basePosition(sq[0], 70.0f, 52.5f), Vector3(0.0f, -52.5f, 0.0f));    // goalkeeper
    EXPECT_EQ(f.basePosition(sq[5], 70.0f, 52.5f), Vector3(-28.0f, -26.25f, 0.0f));  // wide-left midfielder

    // Open play: the defence's 61.25 lies beyond the goal line and is clamped, and so is the keeper.
    f.direction = 1.0f;
    EXPECT_EQ(f.basePosition(sq[1], 70.0f, 73.5f), Vector3(-21.0f, 52.5f, 0.0f));
    EXPECT_EQ(f.basePosition(sq[0], 70.0f, 73.5f), Vector3(0.0f, 52.5f, 0.0f));
    // A narrower block and back: each width gives its own places.
    EXPECT_EQ(f.basePosition(sq[1], 50.0f, 73.5f).x, -15.0f);
    EXPECT_EQ(f.basePosition(sq[1], 70.0f, 73.5f).x, -21.0f);

    // The offset is added before the clamp.
    f.offsetOfPlayer[sq[9]] = Vector3(-6.5f, 3.5f, 0.25f);  // wide-right midfielder, slot 8: x 28
    EXPECT_EQ(f.basePosition(sq[9], 70.0f, 52.5f), Vector3(21.5f, 29.75f, 0.25f));
    f.offsetOfPlayer[sq[9]] = Vector3(8.0f, 0.0f, 0.0f);
    EXPECT_EQ(f.basePosition(sq[9], 70.0f, 52.5f).x, 35.0f);
    f.offsetOfPlayer[sq[5]] = Vector3(-8.0f, 0.0f, 0.0f);
    EXPECT_EQ(f.basePosition(sq[5], 70.0f, 52.5f).x, -35.0f);
    f.offsetOfPlayer[sq[1]] = Vector3(0.0f, 10.0f, 0.0f);
    EXPECT_EQ(f.basePosition(sq[1], 70.0f, 52.5f).y, 52.5f);
}

// The places for a whole squad are kept between calls: every change they depend on must show.
TEST(Formation, SquadPlacesFollowEveryChange) {
    Squad sq(k442);
    CFormation& f = sq.formation;
    const CPlayer* all[11];
    for (int i = 0; i < 11; ++i) all[i] = sq[i];
    auto expectFresh = [&](const CPlayer* const* ps, std::size_t n, float width, float length, const char* what) {
        const CFormation::Places got = f.basePositions(ps, n, width, length);
        for (std::size_t i = 0; i < n; ++i) {
            int want = -2;
            EXPECT_EQ(got.place[i], f.basePosition(ps[i], width, length, want)) << what << " " << i;
            EXPECT_EQ(got.lateralSlot[i], want) << what << " " << i;
        }
    };
    expectFresh(all + 1, 10, 70.0f, 73.5f, "first");
    flikka::Random random(7);
    f.randomiseOffsets(random);
    expectFresh(all + 1, 10, 70.0f, 73.5f, "drawn offsets");
    f.offsetOfPlayer[sq[4]].y = -0.0f;  // the bits count, not the value
    expectFresh(all + 1, 10, 70.0f, 73.5f, "-0 offset");
    f.offsetOfPlayer[sq[4]].y = 0.0f;
    expectFresh(all + 1, 10, 70.0f, 73.5f, "+0 offset");
    expectFresh(all + 1, 10, 50.0f, 73.5f, "width");
    expectFresh(all + 1, 10, 50.0f, 52.5f, "length");
    f.direction = -1.0f;
    expectFresh(all + 1, 10, 50.0f, 52.5f, "direction");
    expectFresh(all, 11, 50.0f, 52.5f, "with the keeper");
    f.goalkeeper = sq[1];
    expectFresh(all, 11, 50.0f, 52.5f, "another keeper");
    std::swap(all[2], all[3]);
    expectFresh(all, 11, 50.0f, 52.5f, "other order");
    f.slotOfPlayer[sq[2]] = {0, 4};
    expectFresh(all, 11, 50.0f, 52.5f, "moved slot");
    f.slotOfPlayer.erase(sq[5]);
    expectFresh(all, 11, 50.0f, 52.5f, "lost slot");
}

TEST(Formation, SlotLabels) {
    Squad sq(k442);
    const char* expected[11] = {"GK", "D L", "D C", "D C", "D R", "M L", "M C", "M C", "M R", "ST", "ST"};
    for (int i = 0; i < 11; ++i) EXPECT_EQ(sq.formation.slotLabel(sq[i]), expected[i]) << i;

    const unsigned attack[5] = {5, 1, 1, 1, 2};
    Squad wide(attack);
    const char* front[5] = {"FW L", "ST", "ST", "ST", "FW R"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(wide.formation.slotLabel(wide[6 + i]), front[i]) << i;
    EXPECT_EQ(wide.formation.slotLabel(wide[5]), "AM C");
    EXPECT_EQ(wide.formation.slotLabel(wide[3]), "DM C");
    EXPECT_EQ(wide.formation.slotLabel(wide[1]), "D C");

    CPlayer stranger;
    EXPECT_EQ(sq.formation.slotLabel(&stranger), "GK");
}

TEST(Formation, FormationText) {
    EXPECT_EQ(flikka::formationText(2, 0, 4, 0, 4), "4-4-2");
    EXPECT_EQ(flikka::formationText(1, 1, 3, 1, 4), "4-1-3-1-1");
    EXPECT_EQ(flikka::formationText(0, 0, 0, 0, 0), "");
    EXPECT_EQ(flikka::formationText(3, 0, 3, 0, 4), "4-3-3");
    EXPECT_EQ(flikka::formationText(5, 0, 0, 0, 0), "5");
}

TEST(Formation, RandomOffsetsFollowTheMapOrderAndDrawOrder) {
    Squad sq(k442, true);
    CFormation& f = sq.formation;

    flikka::Random random(4242);
    f.randomiseOffsets(random);
    flikka::Random expected(4242);
    for (int i = 10; i >= 0; --i) {
        const int r1 = expected.nextInt();
        const int r2 = expected.nextInt();
        const Vector3 o = f.offsetOfPlayer.at(sq[i]);
        EXPECT_FLOAT_EQ(o.x, r2 / 32767.0f * 13.0f - 6.5f) << i;
        EXPECT_FLOAT_EQ(o.y, r1 / 32767.0f * 7.0f - 3.5f) << i;
        EXPECT_EQ(o.z, 0.0f);
    }

    for (int round = 0; round < 500; ++round) {
        f.randomiseOffsets(random);
        for (const auto& [p, o] : f.offsetOfPlayer) {
            ASSERT_TRUE(o.x >= -6.5f && o.x <= 6.5f && o.y >= -3.5f && o.y <= 3.5f) << o.x << " " << o.y;
        }
    }
}

}  // namespace
