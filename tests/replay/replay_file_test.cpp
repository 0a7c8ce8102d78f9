// The replay file format: what is written reads back the same, and every kind of damage (cut
// short anywhere, bytes flipped, a newer or impossible version, a length no file could hold,
// values no game could record) is refused with a message that says what is wrong.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <algorithm>
#include <functional>

#include <unistd.h>

#include "replay/ReplayFile.h"
#include "replay/ReplayStore.h"

namespace flikka {
namespace {

using replay::Replay;

Replay sample() {
    Replay r;
    r.setUp.rules = MatchRules::fullRules(false);
    r.setUp.length = 600;
    r.setUp.home[0] = 3;
    r.setUp.home[2] = 3;
    r.setUp.humanSide = 1;
    r.setUp.stepSeconds = 5 * 0.001f;
    r.setUp.randomState = 0xDEADBEEFu;
    r.setUp.simulationMs = 123455;
    r.setUp.switchTimer = 0.125f;
    r.setUp.keys.current[SLOT_UP] = true;
    r.setUp.keys.previous[SLOT_FIXED_UP] = true;
    r.setUp.keys.locked[SLOT_SHOOT] = true;
    r.setUp.keys.heldTime[SLOT_UP] = 2.5f;
    r.keys = {{0, SLOT_UP, true}, {0, SLOT_FIXED_UP, true}, {7, SLOT_UP, false}, {300, SLOT_PASS, true},
              {100000, SLOT_PASS, false}, {100000, SLOT_ESCAPE, true}};
    r.outcome = {120001, replay::MatchEnd::Left, 3, 12, 0x0123456789ABCDEFull};
    return r;
}

std::string decodeProblem(const std::string& bytes) {
    Replay out;
    std::string problem;
    EXPECT_FALSE(replay::decode(bytes, out, problem)) << "accepted " << bytes.size() << " bytes";
    EXPECT_FALSE(problem.empty());
    return problem;
}

// The byte offsets where each record starts, and the file's end.
std::vector<std::size_t> recordBoundaries(const std::string& b) {
    std::vector<std::size_t> at{0, 6};
    for (std::size_t p = 6; p < b.size();) {
        const std::uint32_t size = static_cast<unsigned char>(b[p + 1]) | static_cast<unsigned char>(b[p + 2]) << 8 |
                                   static_cast<unsigned char>(b[p + 3]) << 16 | static_cast<std::uint32_t>(static_cast<unsigned char>(b[p + 4])) << 24;
        p += 5 + size;
        at.push_back(p);
    }
    return at;
}

TEST(ReplayFile, RoundTripsEveryField) {
    const Replay r = sample();
    Replay back;
    std::string problem;
    ASSERT_TRUE(replay::decode(replay::encode(r), back, problem)) << problem;
    EXPECT_TRUE(back.setUp.rules.full());
    EXPECT_FALSE(back.setUp.rules.autoSwitch);
    EXPECT_EQ(back.setUp.length, 600u);
    EXPECT_EQ(back.setUp.home[0], 3u);
    EXPECT_EQ(back.setUp.home[4], 4u);
    EXPECT_EQ(back.setUp.humanSide, 1);
    EXPECT_EQ(back.setUp.stepSeconds, 5 * 0.001f);
    EXPECT_EQ(back.setUp.randomState, 0xDEADBEEFu);
    EXPECT_EQ(back.setUp.simulationMs, 123455u);
    EXPECT_EQ(back.setUp.switchTimer, 0.125f);
    EXPECT_TRUE(back.setUp.keys.current[SLOT_UP]);
    EXPECT_FALSE(back.setUp.keys.current[SLOT_DOWN]);
    EXPECT_TRUE(back.setUp.keys.previous[SLOT_FIXED_UP]);
    EXPECT_TRUE(back.setUp.keys.locked[SLOT_SHOOT]);
    EXPECT_EQ(back.setUp.keys.heldTime[SLOT_UP], 2.5f);
    ASSERT_EQ(back.keys.size(), r.keys.size());
    for (std::size_t i = 0; i < r.keys.size(); ++i) {
        EXPECT_EQ(back.keys[i].step, r.keys[i].step);
        EXPECT_EQ(back.keys[i].slot, r.keys[i].slot);
        EXPECT_EQ(back.keys[i].down, r.keys[i].down);
    }
    EXPECT_EQ(back.outcome.steps, 120001u);
    EXPECT_EQ(back.outcome.end, replay::MatchEnd::Left);
    EXPECT_EQ(back.outcome.homeScore, 3);
    EXPECT_EQ(back.outcome.awayScore, 12);
    EXPECT_EQ(back.outcome.trajectoryHash, 0x0123456789ABCDEFull);
}

TEST(ReplayFile, CutShortAnywhereIsRefused) {
    const std::string bytes = replay::encode(sample());
    const std::vector<std::size_t> boundaries = recordBoundaries(bytes);
    ASSERT_EQ(boundaries.size(), 2u + 4u);  // start, header, four records
    ASSERT_EQ(boundaries.back(), bytes.size());
    EXPECT_EQ(decodeProblem(""), "empty file");
    EXPECT_NE(decodeProblem(bytes.substr(0, 6)).find("truncated: the file ends after 0 records"), std::string::npos);
    for (std::size_t i = 2; i + 1 < boundaries.size(); ++i) {
        const std::string p = decodeProblem(bytes.substr(0, boundaries[i]));
        EXPECT_NE(p.find("truncated: the file ends after " + std::to_string(i - 1) + " records, without its end record"),
                  std::string::npos)
            << p;
    }
    for (std::size_t n = 1; n < bytes.size(); ++n) {
        EXPECT_EQ(decodeProblem(bytes.substr(0, n)).rfind("truncated", 0), 0u) << "cut at " << n;
    }
}

TEST(ReplayFile, FlippedBytesAreRefused) {
    const std::string bytes = replay::encode(sample());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        for (unsigned mask : {0x01u, 0x10u, 0x80u, 0xFFu}) {
            std::string damaged = bytes;
            damaged[i] = static_cast<char>(damaged[i] ^ static_cast<char>(mask));
            decodeProblem(damaged);
        }
    }
    std::string payload = bytes;
    payload[30] = static_cast<char>(payload[30] ^ 0x04);
    EXPECT_EQ(decodeProblem(payload), "corrupt: the checksum does not match the contents");
    std::string tail = bytes + '\0';
    EXPECT_NE(decodeProblem(tail).find("bytes after the end record"), std::string::npos);
}

// Damage whose checksum is made good again, as a hand-made file would be.
std::string withChecksum(std::string b) {
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i + 9 < b.size(); ++i) {
        c ^= static_cast<unsigned char>(b[i]);
        for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    c = ~c;
    for (int k = 0; k < 4; ++k) b[b.size() - 4 + k] = static_cast<char>((c >> (8 * k)) & 0xFF);
    return b;
}

TEST(ReplayFile, VersionsAndDeclaredLengthsAreChecked) {
    const std::string bytes = replay::encode(sample());
    std::string newer = bytes;
    newer[4] = 3;
    EXPECT_EQ(decodeProblem(withChecksum(newer)), "made by a newer Flikka (format version 3, this one reads up to 2)");
    std::string zero = bytes;
    zero[4] = 0;
    EXPECT_EQ(decodeProblem(withChecksum(zero)), "format version 0 does not exist");
    EXPECT_EQ(decodeProblem("<?xml version=\"1.0\"?>"), "not a replay file (it does not start with FLKR)");

    // The key record (the second) declares four gigabytes, then just one byte more than is left.
    const std::size_t keyHead = recordBoundaries(bytes)[2];
    std::string huge = bytes;
    for (int k = 1; k <= 4; ++k) huge[keyHead + static_cast<std::size_t>(k)] = static_cast<char>(0xFF);
    EXPECT_EQ(decodeProblem(huge), "corrupt: record 2 declares 4294967295 bytes, more than any replay holds");
    std::string over = bytes;
    const std::size_t left = bytes.size() - keyHead - 5;
    over[keyHead + 1] = static_cast<char>((left + 1) & 0xFF);
    over[keyHead + 2] = static_cast<char>(((left + 1) >> 8) & 0xFF);
    over[keyHead + 3] = 0;
    over[keyHead + 4] = 0;
    EXPECT_EQ(decodeProblem(over), "truncated: record 2 (key) declares " + std::to_string(left + 1) + " bytes, only " +
                                       std::to_string(left) + " remain");
}

TEST(ReplayFile, ImpossibleValuesAreRefused) {
    const std::vector<std::pair<std::function<void(Replay&)>, std::string>> cases = {
        {[](Replay& r) { r.setUp.home[1] = 1; }, "impossible set-up: the home lines hold 11 outfield footballers, not 10"},
        {[](Replay& r) { r.setUp.away[4] = 10, r.setUp.away[2] = 0, r.setUp.away[0] = 0; },
         "impossible set-up: 10 footballers in one away line"},
        {[](Replay& r) { r.setUp.length = 0; }, "impossible set-up: a match of 0 s"},
        {[](Replay& r) { r.setUp.humanSide = 7; }, "impossible set-up: human side 7"},
        {[](Replay& r) { r.setUp.stepSeconds = -0.005f; }, "impossible set-up: a logic step of -0.005000 s"},
        {[](Replay& r) { r.setUp.simulationMs = 3; }, "impossible set-up: simulation clock 3 ms"},
        {[](Replay& r) { r.setUp.keys.heldTime[3] = -1.0f; }, "impossible set-up: key held time out of range"},
        {[](Replay& r) { r.keys.push_back({100000, SLOT_ESCAPE, false}); },
         "impossible key change: slot 15 changes twice in step 100000"},
        {[](Replay& r) { r.keys[2].down = true; },
         "impossible key change: slot 2 goes down at step 7 without going up first"},
        {[](Replay& r) { r.keys.push_back({100001, SLOT_NONE, true}); }, "impossible key change: slot 8 has no key"},
        {[](Replay& r) { r.keys.push_back({120001, SLOT_SHOOT, true}); },
         "impossible key change at step 120001, the match has 120001 steps"},
        {[](Replay& r) { r.outcome.steps = replay::kMaxSteps + 1; }, "impossible outcome: 100000001 steps"},
    };
    for (const auto& [damage, want] : cases) {
        Replay r = sample();
        damage(r);
        EXPECT_EQ(decodeProblem(replay::encode(r)), want);
    }
}

// The same single-human file as format version 1 wrote it: the set-up without player 2's keys.
std::string asVersion1(const std::string& v2) {
    constexpr std::size_t kV1SetUp = 101;
    std::string b = v2.substr(0, 4) + std::string("\x01\x00", 2);
    b += v2.substr(6, 1) + std::string("\x65\x00\x00\x00", 4) + v2.substr(11, kV1SetUp);
    const std::size_t setUpEnd = 11 + (v2.size() > 11 ? static_cast<unsigned char>(v2[7]) : 0);
    b += v2.substr(setUpEnd);
    return withChecksum(b);
}

TEST(ReplayFile, PlayerTwoRoundTripsAndVersion1FilesStillRead) {
    Replay two = sample();
    two.setUp.humanSide = 3;  // home: player 1, away: player 2
    two.setUp.keys2.current[SLOT_LEFT] = true;
    two.setUp.keys2.heldTime[SLOT_LEFT] = 1.5f;
    two.keys2 = {{3, SLOT_LEFT, true}, {3, SLOT_SHOOT, true}, {90000, SLOT_SHOOT, false}};
    Replay back;
    std::string problem;
    ASSERT_TRUE(replay::decode(replay::encode(two), back, problem)) << problem;
    EXPECT_EQ(back.setUp.humanSide, 3);
    EXPECT_TRUE(back.setUp.keys2.current[SLOT_LEFT]);
    EXPECT_FALSE(back.setUp.keys.current[SLOT_LEFT]);
    EXPECT_EQ(back.setUp.keys2.heldTime[SLOT_LEFT], 1.5f);
    ASSERT_EQ(back.keys2.size(), 3u);
    EXPECT_EQ(back.keys2[2].step, 90000u);
    EXPECT_EQ(back.keys.size(), two.keys.size());
    // Player 2's changes are checked like player 1's.
    two.keys2[1].down = false;
    EXPECT_EQ(decodeProblem(replay::encode(two)), "impossible key change: slot 4 goes up at step 3 without going down first");

    // One human: no key record for player 2, and the same bytes as version 1 read the same.
    const std::string v2 = replay::encode(sample());
    // Record ends after the header: set-up, keys (and player 2's keys), outcome, end.
    EXPECT_EQ(recordBoundaries(v2).size(), 6u);
    two.keys2[1].down = true;
    EXPECT_EQ(recordBoundaries(replay::encode(two)).size(), 7u);
    const std::string v1 = asVersion1(v2);
    ASSERT_EQ(v1.size() + 70, v2.size());
    Replay old;
    ASSERT_TRUE(replay::decode(v1, old, problem)) << problem;
    EXPECT_EQ(replay::encode(old), v2);
    // Version 1 knew neither the two-player sides nor a second key record.
    std::string side3 = v1;
    side3[11 + 4] = 3;
    EXPECT_EQ(decodeProblem(withChecksum(side3)), "impossible set-up: human side 3");
}

TEST(ReplayFile, LoadFileNamesTheFile) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("flikka-replay-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "last.flr").string();
    Replay out;
    std::string message;
    EXPECT_FALSE(replay::loadFile(path, out, message));
    EXPECT_EQ(message, path + ": no such replay file (one is saved when a match ends or is left)");
    std::ofstream(path, std::ios::binary) << replay::encode(sample()).substr(0, 40);
    EXPECT_FALSE(replay::loadFile(path, out, message));
    EXPECT_EQ(message.rfind(path + ": truncated", 0), 0u) << message;
    std::ofstream(path, std::ios::binary) << replay::encode(sample());
    EXPECT_TRUE(replay::loadFile(path, out, message)) << message;
    std::filesystem::remove_all(dir);
}

// The folder: last.flr is the newest match, every match has a dated copy (a second one in the
// same second too), and only the newest 50 copies stay.
TEST(ReplayStore, KeepsTheLastMatchAndTheNewestFiftyCopies) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("flikka-store-" + std::to_string(::getpid())) / "replays";
    std::string problem;
    Replay r = sample();
    for (int i = 0; i < 55; ++i) {
        r.outcome.homeScore = i;
        ASSERT_TRUE(replay::save(r, dir.string(), replay::datedName(2026, 1, 2, 3, 4, i), problem)) << problem;
    }
    ASSERT_TRUE(replay::save(r, dir.string(), replay::datedName(2026, 1, 2, 3, 4, 54), problem)) << problem;
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    ASSERT_EQ(names.size(), 51u);
    EXPECT_EQ(names.front(), "2026-01-02_03-04-06.flr");  // the six oldest went
    EXPECT_EQ(names[49], "2026-01-02_03-04-54_2.flr");
    EXPECT_EQ(names.back(), "last.flr");
    Replay last;
    ASSERT_TRUE(replay::loadFile((dir / "last.flr").string(), last, problem)) << problem;
    EXPECT_EQ(last.outcome.homeScore, 54);
    fs::remove_all(dir.parent_path());
}

}  // namespace
}  // namespace flikka
