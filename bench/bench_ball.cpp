// Ball step, trajectory prediction and the four kick solvers. Figures only: nothing here fails.
#include <benchmark/benchmark.h>

#include "sim/KeyState.h"
#include "players/Ball.h"
#include "players/KickPlanner.h"
#include "match/Match.h"

using namespace flikka;
namespace kp = flikka::kick_planner;

namespace {

// A match with both squads on the pitch, so predictions meet real goalkeepers.
struct BenchMatch {
    CMatch match;
    BenchMatch() {
        const unsigned c[5] = {2, 0, 4, 0, 4};
        match.newMatch(c, c, 300, HUMAN_NONE);
    }
};

BenchMatch& benchMatch() {
    static BenchMatch m;
    return m;
}

// Steps of a continuing flight (each step waits for the last, as in a match or a probe),
// restarted from the same state every 50 steps so it stays where it is meant to be.
void stepFrom(benchmark::State& state, const Vector3& p, const Vector3& v, bool airborne, bool culling,
              float spin = 0.3f) {
    CBall ball(&benchMatch().match);
    ball.frameCulling = culling;
    int n = 0;
    for (auto _ : state) {
        if (n-- == 0) {
            n = 49;
            ball.position = p;
            ball.velocity = v;
            ball.airborne = airborne;
            ball.sideSpin = spin;
            ball.topSpin = spin / 3.0f;
        }
        ball.step(kStep);
        benchmark::DoNotOptimize(ball.position);
    }
}

void BM_StepOpenFlight(benchmark::State& s) { stepFrom(s, {5.0f, -10.0f, 3.0f}, {4.0f, 20.0f, 5.0f}, true, true); }
void BM_StepOpenFlightNoSpin(benchmark::State& s) {
    stepFrom(s, {5.0f, -10.0f, 3.0f}, {4.0f, 20.0f, 5.0f}, true, true, 0.0f);
}
void BM_StepOpenFlightNoCulling(benchmark::State& s) {
    stepFrom(s, {5.0f, -10.0f, 3.0f}, {4.0f, 20.0f, 5.0f}, true, false);
}
void BM_StepRollingOpen(benchmark::State& s) {
    stepFrom(s, {-12.0f, 20.0f, kBallRadius}, {6.0f, -3.0f, 0.0f}, false, true);
}
void BM_StepBesideGoalFrame(benchmark::State& s) {
    stepFrom(s, {2.0f, 51.8f, 1.5f}, {2.0f, 6.0f, 1.0f}, true, true);
}
BENCHMARK(BM_StepOpenFlight);
BENCHMARK(BM_StepOpenFlightNoSpin);
BENCHMARK(BM_StepOpenFlightNoCulling);
BENCHMARK(BM_StepRollingOpen);
BENCHMARK(BM_StepBesideGoalFrame);

// The prediction of a 40 m/s roll along the pitch: about 2,250 steps.
void BM_PredictLongRoll(benchmark::State& state) {
    CBall& ball = benchMatch().match.ball;
    for (auto _ : state) {
        ball.position = {-30.0f, -50.0f, kBallRadius};
        ball.velocity = {0.8f, 39.99f, 0.0f};
        ball.airborne = false;
        ball.sideSpin = 0.0f;
        ball.topSpin = 0.0f;
        ball.predict();
        benchmark::DoNotOptimize(ball.path.data());
    }
}
BENCHMARK(BM_PredictLongRoll)->Unit(benchmark::kMicrosecond);

// A kick through the match ball: planning plus its prediction and the holder's release.
template <class Kick>
void kickBench(benchmark::State& state, const Vector3& from, Kick kick) {
    CBall& ball = benchMatch().match.ball;
    for (auto _ : state) {
        ball.position = from;
        ball.velocity = kZeroVector;
        kick(ball);
        benchmark::DoNotOptimize(ball.velocity);
    }
}

void BM_FixedElevationTypical(benchmark::State& s) {
    kickBench(s, {0.0f, 30.0f, kBallRadius},
              [](CBall& b) { kp::fixedElevation(b, {2.0f, 52.5f, 1.2f}, 0.314f, 0.0f, 3.0f, 40.0f); });
}
void BM_FixedElevationWorst(benchmark::State& s) {
    // Goalkeeper's clearance: steep, long flights, the target out of reach.
    kickBench(s, {0.0f, -50.0f, kBallRadius},
              [](CBall& b) { kp::fixedElevation(b, {25.0f, 40.0f, 0.1232f}, 1.036695f, 1.0f, 12.0f, 28.0f); });
}
void BM_FixedSpeedTypical(benchmark::State& s) {
    kickBench(s, {5.0f, 30.0f, kBallRadius}, [](CBall& b) { kp::fixedSpeed(b, {-2.5f, 52.5f, 1.0f}, 0.5f, 20.0f); });
}
void BM_FixedSpeedWorst(benchmark::State& s) {
    // Every probe runs its full 10 s: strong enough to fly, never reaching the far target.
    kickBench(s, {0.0f, -50.0f, kBallRadius}, [](CBall& b) { kp::fixedSpeed(b, {0.0f, 400.0f, 1.0f}, 0.0f, 40.0f); });
}
void BM_FixedSpeedWorstSpin(benchmark::State& s) {
    kickBench(s, {0.0f, -50.0f, kBallRadius}, [](CBall& b) { kp::fixedSpeed(b, {0.0f, 400.0f, 1.0f}, 1.0f, 40.0f); });
}
void BM_GroundPassTypical(benchmark::State& s) {
    kickBench(s, {0.0f, 0.0f, kBallRadius}, [](CBall& b) { kp::groundPass(b, {6.0f, 8.0f, kBallRadius}, 6.0f); });
}
void BM_GroundPassWorst(benchmark::State& s) {
    // Probes that roll all the way to rest, and a target out of reach.
    kickBench(s, {0.0f, -50.0f, kBallRadius}, [](CBall& b) { kp::groundPass(b, {0.0f, 300.0f, kBallRadius}, 0.0f); });
}
void BM_LoftedTypical(benchmark::State& s) {
    kickBench(s, {0.0f, 0.0f, kBallRadius},
              [](CBall& b) { kp::lofted(b, {10.0f, 28.0f, 0.1132f}, 0.47122502f, 0.0f, 1.0f, 40.0f, true); });
}
void BM_LoftedWorst(benchmark::State& s) {
    // Roll-out mode towards an unreachable point: every probe bounces and rolls to rest.
    kickBench(s, {0.0f, -50.0f, kBallRadius},
              [](CBall& b) { kp::lofted(b, {0.0f, 400.0f, 0.0f}, 0.47122502f, 0.0f, 1.0f, 40.0f, true); });
}
BENCHMARK(BM_FixedElevationTypical)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FixedElevationWorst)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FixedSpeedTypical)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FixedSpeedWorst)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FixedSpeedWorstSpin)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GroundPassTypical)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GroundPassWorst)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoftedTypical)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoftedWorst)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
