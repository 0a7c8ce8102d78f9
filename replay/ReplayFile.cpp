#include "replay/ReplayFile.h"

#include <cmath>
#include <cstring>

#include "settings/SafeFile.h"
#include "match/Match.h"

namespace flikka::replay {

namespace {

constexpr char kMagic[4] = {'F', 'L', 'K', 'R'};
constexpr std::size_t kHeaderBytes = 6;  // magic, version
constexpr std::size_t kRecordHeadBytes = 5;  // type, payload length

enum RecordType : std::uint8_t { REC_SET_UP = 1, REC_KEYS = 2, REC_OUTCOME = 3, REC_END = 255 };

constexpr std::uint32_t kKeySnapshotBytes = 2 + 2 + 2 + 4 * KeyState::kSlots;
constexpr std::uint32_t kSetUpBytesV1 = 1 + 1 + 2 + 1 + 5 + 5 + 4 + 4 + 4 + 4 + kKeySnapshotBytes;
// Version 2 adds player 2's key state.
constexpr std::uint32_t kSetUpBytes = kSetUpBytesV1 + kKeySnapshotBytes;
constexpr std::uint32_t kOutcomeBytes = 8 + 1 + 2 + 2 + 8;
constexpr std::uint32_t kEndBytes = 4;
constexpr unsigned kLengthMin = 60;
constexpr unsigned kLengthMax = 3600;
constexpr float kHeldTimeMax = 1.0e7f;
constexpr float kStepMin = 0.001f;
constexpr float kStepMax = 0.05f;

const char* recordName(std::uint8_t type) {
    switch (type) {
        case REC_SET_UP: return "set-up";
        case REC_KEYS: return "key";
        case REC_OUTCOME: return "outcome";
        case REC_END: return "end";
        default: return "unknown";
    }
}

std::uint32_t crc32(const char* data, std::size_t size) {
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        c ^= static_cast<unsigned char>(data[i]);
        for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
}

class Writer {
public:
    std::string bytes;
    void u8(unsigned v) { bytes.push_back(static_cast<char>(v & 0xFFu)); }
    void u16(unsigned v) {
        u8(v);
        u8(v >> 8);
    }
    void u32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i) u8(v >> (8 * i));
    }
    void u64(std::uint64_t v) {
        for (int i = 0; i < 8; ++i) u8(static_cast<unsigned>(v >> (8 * i)));
    }
    void f32(float f) {
        std::uint32_t v = 0;
        std::memcpy(&v, &f, sizeof v);
        u32(v);
    }
    void varint(std::uint64_t v) {
        while (v >= 0x80) {
            u8(static_cast<unsigned>(v) | 0x80u);
            v >>= 7;
        }
        u8(static_cast<unsigned>(v));
    }
    void record(std::uint8_t type, const std::string& payload) {
        u8(type);
        u32(static_cast<std::uint32_t>(payload.size()));
        bytes += payload;
    }
};

// Reads from a span whose bounds were checked; every read past its end sets failed.
class Reader {
public:
    Reader(const char* data, std::size_t size) : p_(data), end_(data + size) {}
    bool failed = false;

    std::size_t left() const { return static_cast<std::size_t>(end_ - p_); }
    unsigned u8() {
        if (p_ >= end_) {
            failed = true;
            return 0;
        }
        return static_cast<unsigned char>(*p_++);
    }
    unsigned u16() {
        const unsigned lo = u8();
        return lo | (u8() << 8);
    }
    std::uint32_t u32() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(u8()) << (8 * i);
        return v;
    }
    std::uint64_t u64() {
        std::uint64_t v = 0;
        for (int i = 0; i < 8; ++i) v |= static_cast<std::uint64_t>(u8()) << (8 * i);
        return v;
    }
    float f32() {
        const std::uint32_t v = u32();
        float f = 0.0f;
        std::memcpy(&f, &v, sizeof f);
        return f;
    }
    // LEB128 of at most 64 bits; a longer or overlong one is a fault.
    std::uint64_t varint() {
        std::uint64_t v = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            const unsigned b = u8();
            if (failed) return 0;
            const std::uint64_t part = b & 0x7Fu;
            if (shift == 63 && part > 1) break;
            v |= part << shift;
            if ((b & 0x80u) == 0) return v;
        }
        failed = true;
        return 0;
    }

private:
    const char* p_;
    const char* end_;
};

unsigned bitsOf(const bool* flags) {
    unsigned v = 0;
    for (unsigned i = 0; i < KeyState::kSlots; ++i) {
        if (flags[i]) v |= 1u << i;
    }
    return v;
}

void unpackBits(unsigned v, bool* flags) {
    for (unsigned i = 0; i < KeyState::kSlots; ++i) flags[i] = ((v >> i) & 1u) != 0;
}

std::string setUpPayload(const MatchSetUp& s) {
    Writer w;
    w.u8(s.rules.kind == RulesKind::Full ? 1 : 0);
    w.u8(s.rules.autoSwitch ? 1 : 0);
    w.u16(s.length);
    w.u8(static_cast<unsigned>(s.humanSide));
    for (unsigned c : s.home) w.u8(c);
    for (unsigned c : s.away) w.u8(c);
    w.f32(s.stepSeconds);
    w.u32(s.randomState);
    w.u32(s.simulationMs);
    w.f32(s.switchTimer);
    for (const KeySnapshot* k : {&s.keys, &s.keys2}) {
        w.u16(bitsOf(k->previous));
        w.u16(bitsOf(k->current));
        w.u16(bitsOf(k->locked));
        for (float t : k->heldTime) w.f32(t);
    }
    return w.bytes;
}

std::string keysPayload(unsigned human, const std::vector<KeyChange>& keys) {
    Writer w;
    w.u8(human);
    std::uint64_t at = 0;
    for (const KeyChange& c : keys) {
        w.varint(c.step - at);
        at = c.step;
        w.u8(static_cast<unsigned>(c.slot) | (c.down ? 0x10u : 0u));
    }
    return w.bytes;
}

std::string outcomePayload(const MatchOutcome& o) {
    Writer w;
    w.u64(o.steps);
    w.u8(static_cast<unsigned>(o.end));
    w.u16(static_cast<unsigned>(o.homeScore));
    w.u16(static_cast<unsigned>(o.awayScore));
    w.u64(o.trajectoryHash);
    return w.bytes;
}

bool lineCountsOk(const unsigned (&c)[5], const char* side, std::string& problem) {
    unsigned sum = 0;
    for (unsigned n : c) {
        if (n > 5) {
            problem = "impossible set-up: " + std::to_string(n) + " footballers in one " + side + " line";
            return false;
        }
        sum += n;
    }
    if (sum != 10) {
        problem = std::string("impossible set-up: the ") + side + " lines hold " + std::to_string(sum) +
                  " outfield footballers, not 10";
        return false;
    }
    return true;
}

void readKeySnapshot(Reader& r, KeySnapshot& k) {
    unpackBits(r.u16(), k.previous);
    unpackBits(r.u16(), k.current);
    unpackBits(r.u16(), k.locked);
    for (float& t : k.heldTime) t = r.f32();
}

bool keySnapshotOk(const KeySnapshot& k, std::string& problem) {
    for (float t : k.heldTime) {
        if (!std::isfinite(t) || t < 0.0f || t > kHeldTimeMax) return problem = "impossible set-up: key held time out of range", false;
    }
    if (k.current[SLOT_NONE] || k.previous[SLOT_NONE]) {
        return problem = "impossible set-up: slot 8 has no key and cannot be down", false;
    }
    return true;
}

bool readSetUp(Reader r, unsigned version, MatchSetUp& s, std::string& problem) {
    const unsigned kind = r.u8();
    const unsigned autoSwitch = r.u8();
    s.length = r.u16();
    const unsigned human = r.u8();
    for (unsigned& c : s.home) c = r.u8();
    for (unsigned& c : s.away) c = r.u8();
    s.stepSeconds = r.f32();
    s.randomState = r.u32();
    s.simulationMs = r.u32();
    s.switchTimer = r.f32();
    readKeySnapshot(r, s.keys);
    s.keys2 = KeySnapshot{};
    if (version >= 2) readKeySnapshot(r, s.keys2);

    if (kind > 1) return problem = "impossible set-up: rules kind " + std::to_string(kind), false;
    if (autoSwitch > 1) return problem = "impossible set-up: auto switch " + std::to_string(autoSwitch), false;
    s.rules = kind == 1 ? MatchRules::fullRules(autoSwitch == 1) : MatchRules::classic();
    s.rules.autoSwitch = autoSwitch == 1;
    if (s.length < kLengthMin || s.length > kLengthMax) {
        return problem = "impossible set-up: a match of " + std::to_string(s.length) + " s", false;
    }
    const unsigned lastSide = version >= 2 ? 4 : 2;  // 3 and 4 are the two-player sides
    if (human > lastSide) return problem = "impossible set-up: human side " + std::to_string(human), false;
    s.humanSide = static_cast<int>(human);
    if (!lineCountsOk(s.home, "home", problem) || !lineCountsOk(s.away, "away", problem)) return false;
    if (!(s.stepSeconds >= kStepMin && s.stepSeconds <= kStepMax)) {
        return problem = "impossible set-up: a logic step of " + std::to_string(s.stepSeconds) + " s", false;
    }
    // The simulation clock runs in whole 5-ms steps.
    if (s.simulationMs % 5 != 0) {
        return problem = "impossible set-up: simulation clock " + std::to_string(s.simulationMs) + " ms", false;
    }
    if (!std::isfinite(s.switchTimer) || s.switchTimer < 0.0f || s.switchTimer > 1.0f) {
        return problem = "impossible set-up: switch timer out of range", false;
    }
    return keySnapshotOk(s.keys, problem) && keySnapshotOk(s.keys2, problem);
}

// The changes of a key record after its human byte.
bool readKeys(Reader r, std::vector<KeyChange>& keys, std::string& problem) {
    bool down[KeyState::kSlots] = {};
    std::uint64_t at = 0;
    std::uint64_t lastStep = 0;
    unsigned seenThisStep = 0;
    keys.clear();
    while (r.left() > 0) {
        const std::uint64_t delta = r.varint();
        const unsigned b = r.u8();
        if (r.failed) return problem = "corrupt key record: a change is cut short", false;
        if (delta > kMaxSteps - at) return problem = "impossible key change beyond step " + std::to_string(kMaxSteps), false;
        at += delta;
        if (b > 0x1Fu) return problem = "corrupt key record: change byte " + std::to_string(b), false;
        const int slot = static_cast<int>(b & 0x0Fu);
        const bool isDown = (b & 0x10u) != 0;
        if (slot == SLOT_NONE) return problem = "impossible key change: slot 8 has no key", false;
        if (keys.empty() || at != lastStep) seenThisStep = 0;
        if ((seenThisStep >> slot) & 1u) {
            return problem = "impossible key change: slot " + std::to_string(slot) + " changes twice in step " +
                             std::to_string(at),
                   false;
        }
        if (down[slot] == isDown) {
            return problem = "impossible key change: slot " + std::to_string(slot) + " goes " +
                             (isDown ? "down" : "up") + " at step " + std::to_string(at) + " without going " +
                             (isDown ? "up" : "down") + " first",
                   false;
        }
        seenThisStep |= 1u << slot;
        lastStep = at;
        down[slot] = isDown;
        keys.push_back({at, slot, isDown});
    }
    return true;
}

bool readOutcome(Reader r, MatchOutcome& o, std::string& problem) {
    o.steps = r.u64();
    const unsigned end = r.u8();
    o.homeScore = static_cast<int>(r.u16());
    o.awayScore = static_cast<int>(r.u16());
    o.trajectoryHash = r.u64();
    if (o.steps > kMaxSteps) return problem = "impossible outcome: " + std::to_string(o.steps) + " steps", false;
    if (end > 1) return problem = "impossible outcome: ending " + std::to_string(end), false;
    o.end = static_cast<MatchEnd>(end);
    return true;
}

struct Span {
    std::uint8_t type = 0;
    std::size_t offset = 0;  // of the payload
    std::uint32_t size = 0;
};

}  // namespace

KeySnapshot KeySnapshot::of(const KeyState& k) {
    KeySnapshot s;
    for (int i = 0; i < KeyState::kSlots; ++i) {
        s.previous[i] = k.previous[i];
        s.current[i] = k.current[i];
        s.locked[i] = k.locked[i];
        s.heldTime[i] = k.heldTime[i];
    }
    return s;
}

void KeySnapshot::restore(KeyState& k) const {
    for (int i = 0; i < KeyState::kSlots; ++i) {
        k.previous[i] = previous[i];
        k.current[i] = current[i];
        k.locked[i] = locked[i];
        k.heldTime[i] = heldTime[i];
    }
}

std::string encode(const Replay& r) {
    Writer w;
    w.bytes.append(kMagic, sizeof kMagic);
    w.u16(kFormatVersion);
    w.record(REC_SET_UP, setUpPayload(r.setUp));
    w.record(REC_KEYS, keysPayload(0, r.keys));
    if (humansIn(r.setUp.humanSide) == 2) w.record(REC_KEYS, keysPayload(1, r.keys2));
    w.record(REC_OUTCOME, outcomePayload(r.outcome));
    const std::uint32_t crc = crc32(w.bytes.data(), w.bytes.size());
    Writer end;
    end.u32(crc);
    w.record(REC_END, end.bytes);
    return w.bytes;
}

bool decode(const std::string& bytes, Replay& out, std::string& problem) {
    const std::size_t n = bytes.size();
    if (n == 0) return problem = "empty file", false;
    if (n < sizeof kMagic || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) {
        // A file cut inside the mark itself still starts like one.
        if (n < sizeof kMagic && std::memcmp(bytes.data(), kMagic, n) == 0) {
            return problem = "truncated: " + std::to_string(n) + " bytes, too short for the header", false;
        }
        return problem = "not a replay file (it does not start with FLKR)", false;
    }
    if (n < kHeaderBytes) return problem = "truncated: " + std::to_string(n) + " bytes, too short for the header", false;
    Reader head(bytes.data() + sizeof kMagic, 2);
    const unsigned version = head.u16();
    if (version == 0) return problem = "format version 0 does not exist", false;
    if (version > kFormatVersion) {
        return problem = "made by a newer Flikka (format version " + std::to_string(version) + ", this one reads up to " +
                         std::to_string(kFormatVersion) + ")",
               false;
    }

    // The records' frame first: a file cut short says so before anything else is judged.
    std::vector<Span> spans;
    std::size_t at = kHeaderBytes;
    bool ended = false;
    while (at < n) {
        const std::size_t index = spans.size() + 1;
        if (n - at < kRecordHeadBytes) {
            return problem = "truncated: the file ends inside the head of record " + std::to_string(index), false;
        }
        Reader r(bytes.data() + at, kRecordHeadBytes);
        Span s;
        s.type = static_cast<std::uint8_t>(r.u8());
        s.size = r.u32();
        s.offset = at + kRecordHeadBytes;
        if (s.size > kMaxFileBytes) {
            return problem = "corrupt: record " + std::to_string(index) + " declares " + std::to_string(s.size) +
                             " bytes, more than any replay holds",
                   false;
        }
        if (s.size > n - s.offset) {
            return problem = "truncated: record " + std::to_string(index) + " (" + recordName(s.type) + ") declares " +
                             std::to_string(s.size) + " bytes, only " + std::to_string(n - s.offset) + " remain",
                   false;
        }
        spans.push_back(s);
        at = s.offset + s.size;
        if (s.type == REC_END) {
            ended = true;
            break;
        }
    }
    if (!ended) {
        return problem = "truncated: the file ends after " + std::to_string(spans.size()) +
                         " records, without its end record",
               false;
    }
    if (at != n) return problem = "corrupt: " + std::to_string(n - at) + " bytes after the end record", false;

    const Span& endSpan = spans.back();
    if (endSpan.size != kEndBytes) return problem = "corrupt: the end record is " + std::to_string(endSpan.size) + " bytes", false;
    const std::uint32_t stored = Reader(bytes.data() + endSpan.offset, kEndBytes).u32();
    const std::uint32_t computed = crc32(bytes.data(), endSpan.offset - kRecordHeadBytes);
    if (stored != computed) return problem = "corrupt: the checksum does not match the contents", false;

    Replay r;
    int setUps = 0, outcomes = 0;
    int keyRecords[2] = {0, 0};
    for (std::size_t i = 0; i + 1 < spans.size(); ++i) {
        const Span& s = spans[i];
        const Reader payload(bytes.data() + s.offset, s.size);
        const std::string index = std::to_string(i + 1);
        switch (s.type) {
            case REC_SET_UP:
                if (i != 0 || setUps++ > 0) return problem = "corrupt: set-up record " + index + " is not the only first one", false;
                if (s.size != (version >= 2 ? kSetUpBytes : kSetUpBytesV1)) {
                    return problem = "corrupt: the set-up record is " + std::to_string(s.size) + " bytes, not " +
                                     std::to_string(version >= 2 ? kSetUpBytes : kSetUpBytesV1),
                           false;
                }
                if (!readSetUp(payload, version, r.setUp, problem)) return false;
                break;
            case REC_KEYS: {
                if (s.size == 0) return problem = "corrupt: an empty key record", false;
                const unsigned human = static_cast<unsigned char>(bytes[s.offset]);
                const unsigned humans = version >= 2 ? 2 : 1;
                if (human >= humans) {
                    return problem = "key record for human " + std::to_string(human) + ", this version has " +
                                     (humans == 1 ? "one" : "two"),
                           false;
                }
                if (keyRecords[human]++ > 0) return problem = "corrupt: a second key record", false;
                if (!readKeys(Reader(bytes.data() + s.offset + 1, s.size - 1), human == 0 ? r.keys : r.keys2, problem)) {
                    return false;
                }
                break;
            }
            case REC_OUTCOME:
                if (outcomes++ > 0) return problem = "corrupt: a second outcome record", false;
                if (s.size != kOutcomeBytes) return problem = "corrupt: the outcome record is " + std::to_string(s.size) + " bytes", false;
                if (!readOutcome(payload, r.outcome, problem)) return false;
                break;
            case REC_END:
                return problem = "corrupt: an end record before the last", false;
            default:
                return problem = "corrupt: record " + index + " has unknown type " + std::to_string(s.type), false;
        }
    }
    if (setUps == 0) return problem = "corrupt: no set-up record", false;
    if (keyRecords[0] == 0) return problem = "corrupt: no key record", false;
    const bool twoHumans = humansIn(r.setUp.humanSide) == 2;
    if (twoHumans && keyRecords[1] == 0) return problem = "corrupt: no key record for player 2", false;
    if (!twoHumans && keyRecords[1] > 0) return problem = "corrupt: a key record for player 2, who does not play", false;
    if (!r.keys2.empty() && r.keys2.back().step >= r.outcome.steps) {
        return problem = "impossible key change at step " + std::to_string(r.keys2.back().step) + ", the match has " +
                         std::to_string(r.outcome.steps) + " steps",
               false;
    }
    if (outcomes == 0) return problem = "corrupt: no outcome record", false;
    if (!r.keys.empty() && r.keys.back().step >= r.outcome.steps) {
        return problem = "impossible key change at step " + std::to_string(r.keys.back().step) + ", the match has " +
                         std::to_string(r.outcome.steps) + " steps",
               false;
    }
    out = std::move(r);
    return true;
}

bool loadFile(const std::string& path, Replay& out, std::string& message) {
    std::string bytes;
    switch (safe_file::readSmallFile(path, bytes, kMaxFileBytes)) {
        case safe_file::ReadResult::Missing:
            message = path + ": no such replay file (one is saved when a match ends or is left)";
            return false;
        case safe_file::ReadResult::Unreadable:
            message = path + ": cannot be read, or is larger than any replay";
            return false;
        case safe_file::ReadResult::Ok:
            break;
    }
    std::string problem;
    if (!decode(bytes, out, problem)) {
        message = path + ": " + problem;
        return false;
    }
    return true;
}

}  // namespace flikka::replay
