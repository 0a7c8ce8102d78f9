// Any bytes as a replay file: the decoder never crashes, a replay it accepts is one the match
// can be set up with and played back (its first steps are played), and it survives being
// written and read again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "replay/Playback.h"
#include "replay/ReplayFile.h"
#include "match/Match.h"
#include "team/Formation.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

namespace replay = flikka::replay;

// The end record: type 255, four payload bytes, the checksum of everything before it.
constexpr std::size_t kEndRecordBytes = 9;
// Enough for the kick-off and the first key changes; a whole match would starve the search.
constexpr int kStepsPlayed = 400;

std::uint32_t crc32(const std::string& bytes, std::size_t size) {
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        c ^= static_cast<unsigned char>(bytes[i]);
        for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
}

// Mutations almost never keep the checksum right, so the records behind it would go unexplored:
// where the bytes end in an end record, a second run gets its checksum made to match.
bool withChecksumMended(std::string& bytes) {
    const std::size_t n = bytes.size();
    if (n < kEndRecordBytes) return false;
    const std::size_t end = n - kEndRecordBytes;
    if (bytes.compare(end, 5, std::string("\xFF\x04\x00\x00\x00", 5)) != 0) return false;
    const std::uint32_t crc = crc32(bytes, end);
    for (int i = 0; i < 4; ++i) bytes[end + 5 + i] = static_cast<char>((crc >> (8 * i)) & 0xFFu);
    return true;
}

bool formationPlayable(const unsigned (&lines)[5]) {
    const unsigned counts[flikka::CFormation::kLines] = {lines[0], lines[1], lines[2], lines[3], lines[4]};
    return flikka::checkLineCounts(counts).playable();
}

void checkAccepted(const replay::Replay& r) {
    const replay::MatchSetUp& s = r.setUp;
    FUZZ_REQUIRE(formationPlayable(s.home) && formationPlayable(s.away));
    FUZZ_REQUIRE(s.humanSide >= flikka::HUMAN_HOME && s.humanSide <= flikka::HUMAN_HOME_TWO);
    FUZZ_REQUIRE(s.length > 0 && s.stepSeconds > 0.0f && s.stepSeconds < 1.0f);
    FUZZ_REQUIRE(r.outcome.steps <= replay::kMaxSteps);
    // Only a side with two humans has player 2's changes.
    FUZZ_REQUIRE(flikka::humansIn(s.humanSide) == 2 || r.keys2.empty());
    // Playback feeds the changes in order, one key slot of the table each, before the match ends.
    for (const std::vector<flikka::KeyChange>* keys : {&r.keys, &r.keys2}) {
        std::uint64_t last = 0;
        for (const flikka::KeyChange& c : *keys) {
            FUZZ_REQUIRE(c.step >= last && c.step < r.outcome.steps);
            FUZZ_REQUIRE(c.slot >= 0 && c.slot < flikka::KeyState::kSlots && c.slot != flikka::SLOT_NONE);
            last = c.step;
        }
    }

    const std::string written = replay::encode(r);
    replay::Replay back;
    std::string problem;
    FUZZ_REQUIRE(replay::decode(written, back, problem));
    FUZZ_REQUIRE(replay::encode(back) == written);

    replay::Playback playback(r);
    playback.start();
    for (int i = 0; i < kStepsPlayed && !playback.finished(); ++i) {
        const int result = playback.step();
        FUZZ_REQUIRE(result >= 0 && result <= 2);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    replay::Replay r;
    std::string problem;
    if (replay::decode(bytes, r, problem)) checkAccepted(r);
    else FUZZ_REQUIRE(!problem.empty() && problem.find('\n') == std::string::npos);

    if (withChecksumMended(bytes)) {
        replay::Replay mended;
        problem.clear();
        if (replay::decode(bytes, mended, problem)) checkAccepted(mended);
        else FUZZ_REQUIRE(!problem.empty() && problem.find('\n') == std::string::npos);
    }
    return 0;
}
