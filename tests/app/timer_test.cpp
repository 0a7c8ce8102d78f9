#include <gtest/gtest.h>

#include <cstdint>

#include "app/LoopTimer.h"
#include "app/MenuRedraw.h"

using flikka::LoopTimer;

// Fires (at most once per test) over a pass at each of the given clock readings.
static int firesOver(LoopTimer& t, std::uint32_t from, std::uint32_t to, std::uint32_t step) {
    int fired = 0;
    for (std::uint32_t now = from; now <= to; now += step) fired += t.tick(now) ? 1 : 0;
    return fired;
}

TEST(LoopTimer, FiresOncePerPeriodAndKeepsTheRemainder) {
    LoopTimer t(25);
    t.start(1000);
    EXPECT_FALSE(t.tick(1024));
    EXPECT_TRUE(t.tick(1025));
    EXPECT_EQ(t.accumulator(), 0u);
    EXPECT_FALSE(t.tick(1040));
    EXPECT_TRUE(t.tick(1062));  // 37 accumulated: fires, 12 carried
    EXPECT_EQ(t.accumulator(), 12u);
    EXPECT_TRUE(t.tick(1075));
    // A pass every millisecond for one second: exactly 40 frames.
    LoopTimer frame(25);
    frame.start(0);
    EXPECT_EQ(firesOver(frame, 1, 1000, 1), 40);
}

TEST(LoopTimer, SlowFrameGivesOneFrameAndDropsTheLogicBacklog) {
    LoopTimer logic(5);
    LoopTimer frame(25);
    logic.start(0);
    frame.start(0);
    // One 300 ms stall: the frame accumulator (300 > 250) and the logic one (300 > 50) reset.
    logic.update(300);
    frame.update(300);
    EXPECT_EQ(frame.accumulator(), 25u);
    EXPECT_EQ(logic.accumulator(), 5u);
    EXPECT_TRUE(frame.fire());
    EXPECT_FALSE(frame.fire());
    EXPECT_TRUE(logic.fire());
    EXPECT_FALSE(logic.fire());
    // Passes every millisecond afterwards: the pace is normal again, not a burst of 60 steps.
    EXPECT_EQ(firesOver(logic, 301, 350, 1), 10);

    // The bound is "exceeds ten periods": exactly ten periods are kept, one at a time.
    LoopTimer t(5);
    t.start(0);
    t.update(50);
    EXPECT_EQ(t.accumulator(), 50u);
    int fired = 0;
    while (t.tick(50)) ++fired;  // each pass fires once; the backlog drains over ten passes
    EXPECT_EQ(fired, 10);
    t.start(0);
    t.update(51);
    EXPECT_EQ(t.accumulator(), 5u);
}

TEST(LoopTimer, ClockWrapIsOrdinaryElapsedTime) {
    LoopTimer logic(5);
    logic.start(0xFFFFFFF0u);
    logic.update(0x00000005u);  // 21 ms later, across the wrap
    EXPECT_EQ(logic.accumulator(), 21u);
    EXPECT_TRUE(logic.fire());
    EXPECT_EQ(logic.accumulator(), 16u);
    // Passes every millisecond keep firing every 5 ms straight through the wrap.
    LoopTimer t(5);
    t.start(0xFFFFFF00u);
    int fired = 0;
    std::uint32_t now = 0xFFFFFF00u;
    for (int i = 0; i < 1000; ++i) fired += t.tick(++now) ? 1 : 0;
    EXPECT_EQ(fired, 200);
}

TEST(LoopTimer, WaitUntilDue) {
    LoopTimer t(25);
    t.start(100);
    EXPECT_EQ(t.untilDue(100), 25u);
    EXPECT_EQ(t.untilDue(110), 15u);
    EXPECT_EQ(t.untilDue(125), 0u);
    EXPECT_EQ(t.untilDue(500), 0u);
    t.update(130);  // fires, 5 carried
    EXPECT_TRUE(t.fire());
    EXPECT_EQ(t.untilDue(130), 20u);
    EXPECT_EQ(t.untilDue(149), 1u);
    // A backlog still waiting to fire is due at once.
    t.update(180);
    EXPECT_TRUE(t.fire());
    EXPECT_EQ(t.accumulator(), 30u);
    EXPECT_EQ(t.untilDue(180), 0u);
    // Across the wrap of the clock.
    LoopTimer w(5);
    w.start(0xFFFFFFFEu);
    EXPECT_EQ(w.untilDue(0u), 3u);
    EXPECT_EQ(w.untilDue(3u), 0u);
    // Sleeping exactly the returned time always reaches the firing point.
    LoopTimer s(5);
    s.start(7);
    std::uint32_t now = 7;
    for (int i = 0; i < 20; ++i) {
        now += s.untilDue(now);
        EXPECT_TRUE(s.tick(now)) << "pass " << i;
    }
    EXPECT_EQ(now, 107u);
}

TEST(MenuRedraw, DrawsOnChangeAndRefreshesTwiceASecond) {
    flikka::MenuRedraw r;
    EXPECT_TRUE(r.needed(0xFFFFFF00u));  // the first frame is always drawn
    r.drawn(0xFFFFFF00u);
    EXPECT_FALSE(r.needed(0xFFFFFF00u + 25));
    EXPECT_FALSE(r.needed(0xFFFFFF00u + 499));  // across the clock's wrap
    EXPECT_TRUE(r.needed(0xFFFFFF00u + 500));
    r.drawn(100);
    r.invalidate();
    EXPECT_TRUE(r.needed(101));
    r.drawn(101);
    EXPECT_FALSE(r.needed(126));
}
