// A recorded match played back headless comes out as it was played: the same score, referee lines
// and trajectory hash, for the first match of a run and for those after it on the same match
// object, for a match left before full time and under either rules.
#include <gtest/gtest.h>

#include "live_fixture.h"
#include "replay/ReplayFile.h"

namespace flikka {
namespace {

using namespace live_fixture;

void expectReplaysAsPlayed(const Played& live, const char* what) {
    SCOPED_TRACE(what);
    // Through the file format, so that nothing the player needs is left out of the bytes.
    replay::Replay decoded;
    std::string problem;
    ASSERT_TRUE(replay::decode(replay::encode(live.replay), decoded, problem)) << problem;
    const Played back = playBack(decoded);
    EXPECT_EQ(back.steps, live.steps);
    EXPECT_EQ(back.homeScore, live.homeScore);
    EXPECT_EQ(back.awayScore, live.awayScore);
    EXPECT_EQ(back.referee, live.referee);
    EXPECT_EQ(back.hash, live.hash);
    EXPECT_EQ(decoded.outcome.trajectoryHash, live.hash);
}

TEST(Replay, MatchesOfOneRunPlayBackAsPlayed) {
    LiveRun run;
    // A CPU match first moves the generator and the clock on for the human matches after it.
    run.start(k442, k433, 120.0f, HUMAN_NONE);
    const Played first = run.play();
    run.start(k433, k442, 120.0f, HUMAN_HOME);
    const Played second = run.play();
    // Left mid-way with keys down, then a new match: the next one inherits the key state.
    run.start(k442, k442, 120.0f, HUMAN_AWAY);
    const Played left = run.play(9001);
    run.start(k442, k433, 120.0f, HUMAN_HOME, MatchRules::fullRules(true));
    const Played full = run.play();

    EXPECT_GT(second.replay.keys.size(), 100u);
    EXPECT_EQ(left.replay.outcome.end, replay::MatchEnd::Left);
    EXPECT_EQ(left.steps, 9001u);
    EXPECT_EQ(full.replay.outcome.end, replay::MatchEnd::FullTime);
    EXPECT_TRUE(full.replay.setUp.rules.full());
    EXPECT_NE(first.referee, "");
    expectReplaysAsPlayed(first, "first match, CPU against CPU");
    expectReplaysAsPlayed(second, "second match, human at home");
    expectReplaysAsPlayed(left, "third match, left early");
    expectReplaysAsPlayed(full, "fourth match, full rules");
}

// Two players on one run, as the game plays them: player 2's key state lives on between the
// matches and is read only while he plays.
TEST(Replay, TwoPlayerMatchesOfOneRunPlayBackAsPlayed) {
    LiveRun run;
    run.start(k442, k433, 60.0f, HUMAN_BOTH);
    const Played left = run.play(6025);
    run.start(k442, k433, 60.0f, HUMAN_HOME_TWO, MatchRules::fullRules(true));
    const Played together = run.play();
    run.start(k433, k442, 60.0f, HUMAN_HOME);
    const Played single = run.play();

    EXPECT_GT(left.replay.keys2.size(), 20u);
    EXPECT_GT(together.replay.keys2.size(), 20u);
    EXPECT_TRUE(single.replay.keys2.empty());
    expectReplaysAsPlayed(left, "player 1 at home, player 2 away, left early");
    expectReplaysAsPlayed(together, "both at home, full rules");
    expectReplaysAsPlayed(single, "one player after two");
    // Player 2's keys are part of the match: played back without them, it goes another way.
    replay::Replay without = together.replay;
    without.keys2.clear();
    EXPECT_NE(playBack(without).hash, together.hash);
}

// Watching part of a replay between two matches (as the menu allows) must not change the next one.
TEST(Replay, WatchingAReplayLeavesTheNextMatchAlone) {
    auto secondMatch = [](bool watchBetween) {
        LiveRun run;
        run.start(k442, k442, 60.0f, HUMAN_HOME);
        const Played first = run.play();
        if (watchBetween) playBack(first.replay, 5000);  // on a match of its own
        run.start(k433, k442, 60.0f, HUMAN_HOME);
        return run.play().hash;
    };
    EXPECT_EQ(secondMatch(true), secondMatch(false));
}

// Files written by earlier builds, among them two recorded with the game's old logic step
// (5 x 0.001 s, one bit above the runner's 0.005 s): each plays back with the step it stored,
// to the recorded steps, score and hash, and a file's step is never taken for today's.
TEST(Replay, FilesOfEarlierBuildsPlayBackExactly) {
    struct Kept {
        const char* name;
        bool oldGameStep;
    };
    for (const Kept& k : {Kept{"game-step-classic.flr", true}, Kept{"game-step-full.flr", true},
                          Kept{"version1-human-away.flr", false}}) {
        SCOPED_TRACE(k.name);
        replay::Replay r;
        std::string message;
        ASSERT_TRUE(replay::loadFile(std::string(FLIKKA_REPLAY_DATA) + "/" + k.name, r, message)) << message;
        EXPECT_EQ(r.setUp.stepSeconds == 5 * 0.001f && r.setUp.stepSeconds != kStep, k.oldGameStep);
        const Played back = playBack(r);
        EXPECT_EQ(back.steps, r.outcome.steps);
        EXPECT_EQ(back.homeScore, r.outcome.homeScore);
        EXPECT_EQ(back.awayScore, r.outcome.awayScore);
        EXPECT_EQ(back.hash, r.outcome.trajectoryHash);
    }
}

}  // namespace
}  // namespace flikka
