#include "team/Formation.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "sim/FlikkaException.h"
#include "sim/PitchGeometry.h"
#include "players/Rebind.h"
#include "sim/Random.h"

namespace flikka {

namespace {

using pitch::kHalfLength;
using pitch::kHalfWidth;

const char* sideCode(unsigned lateral) {
    if (lateral <= 1) return "L";
    if (lateral >= 7) return "R";
    return "C";
}

}  // namespace

void CFormation::reset() {
    for (unsigned s = 0; s < kLateral; ++s) {
        for (unsigned line = 0; line < kLines; ++line) {
            occupied[s][line] = false;
            occupant[s][line] = nullptr;
        }
    }
    for (unsigned& c : lineCounts) c = 0;
    direction = 1.0f;
    slotOfPlayer.clear();
    offsetOfPlayer.clear();
}

void CFormation::build(unsigned st, unsigned am, unsigned m, unsigned dm, unsigned d) {
    const unsigned counts[kLines] = {st, am, m, dm, d};
    const LineCountsCheck check = checkLineCounts(counts);
    reset();
    // A line wider than five has no slots to stand in; refuse it rather than write outside the grid.
    if (check.tooWide >= 0) throw CFlikkaException("11 players needed");
    for (unsigned line = 0; line < kLines; ++line) {
        const unsigned n = counts[line];
        for (unsigned s = kMaxPerLine - n; n > 0 && s <= 3 + n; s += 2) occupied[s][line] = true;
    }
    for (unsigned line = 0; line < kLines; ++line) {
        unsigned n = 0;
        for (unsigned s = 0; s < kLateral; ++s) n += occupied[s][line] ? 1u : 0u;
        lineCounts[line] = n;
    }
    if (!check.playable()) throw CFlikkaException("11 players needed");
}

LineCountsCheck checkLineCounts(const unsigned (&counts)[CFormation::kLines]) {
    LineCountsCheck check;
    for (int line = 0; line < CFormation::kLines; ++line) {
        if (counts[line] > CFormation::kMaxPerLine && check.tooWide < 0) check.tooWide = line;
        check.total += counts[line];
    }
    return check;
}

void CFormation::assignPlayer(unsigned line, unsigned ordinal, CPlayer* p) {
    offsetOfPlayer[p] = kZeroVector;
    if (line == LINE_GK) {
        goalkeeper = p;
        return;
    }
    // Ordinal 0 or an unknown line would find no slot; treat them like an ordinal past the line's end.
    if (line >= kLines || ordinal == 0 || lineCounts[line] < ordinal)
        throw CFlikkaException("not enought players in the formation line");
    unsigned seen = 0;
    for (unsigned s = 0; s < kLateral; ++s) {
        if (!occupied[s][line]) continue;
        if (++seen == ordinal) {
            occupant[s][line] = p;
            slotOfPlayer[p] = {s, line};
            return;
        }
    }
}

Vector3 CFormation::basePosition(const CPlayer* p, float width, float length) const {
    int lateral = -1;
    return basePosition(p, width, length, lateral);
}

Vector3 CFormation::basePosition(const CPlayer* p, float width, float length, int& lateralSlotOut) const {
    const auto slot = slotOfPlayer.find(p);
    lateralSlotOut = slot == slotOfPlayer.end() ? -1 : static_cast<int>(slot->second.first);
    // An unassigned footballer stands where the goalkeeper would, as slotLabel also calls him "GK";
    // the goal line bounds him like everyone else (at the open-play depth 73.5 he would be behind the goal).
    if (p == goalkeeper || slot == slotOfPlayer.end())
        return {0.0f, std::clamp(direction * length, -kHalfLength, kHalfLength), 0.0f};

    const auto off = offsetOfPlayer.find(p);
    const Vector3 o = off != offsetOfPlayer.end() ? off->second : kZeroVector;
    const unsigned lateral = slot->second.first;
    const unsigned line = slot->second.second;
    const auto across = [width](unsigned k) { return (static_cast<float>(k) + 1.0f) * width / 10.0f - width / 2.0f; };
    const auto along = [this, length](unsigned k) {
        return (static_cast<float>(k) + 1.0f) * length / 6.0f * direction;
    };
    // A slot's place before its offset depends only on the slot, the width, the length and the
    // direction, which mostly stay the same from step to step: the places for the last of
    // those asked are kept.
    const std::uint32_t widthBits = std::bit_cast<std::uint32_t>(width);
    const std::uint32_t lengthBits = std::bit_cast<std::uint32_t>(length);
    const std::uint32_t directionBits = std::bit_cast<std::uint32_t>(direction);
    if (!grid.known || grid.width != widthBits || grid.length != lengthBits || grid.direction != directionBits) {
        for (unsigned k = 0; k < kLateral; ++k) grid.x[k] = across(k);
        for (unsigned k = 0; k < kLines; ++k) grid.y[k] = along(k);
        grid.width = widthBits;
        grid.length = lengthBits;
        grid.direction = directionBits;
        grid.known = true;
    }
    Vector3 v;
    v.x = (lateral < kLateral ? grid.x[lateral] : across(lateral)) + o.x;
    v.y = (line < kLines ? grid.y[line] : along(line)) + o.y;
    v.z = o.z;
    v.x = std::clamp(v.x, -kHalfWidth, kHalfWidth);
    v.y = std::clamp(v.y, -kHalfLength, kHalfLength);
    return v;
}

bool CFormation::keptHolds(const CPlayer* const* players, std::size_t n, float width, float length) const {
    // Byte comparisons stand for comparing the members: a slot entry is a pointer and two
    // unsigned without padding, an offset three floats (compared as bits).
    using SlotEntry = std::pair<const CPlayer*, std::pair<unsigned, unsigned>>;
    static_assert(sizeof(SlotEntry) == sizeof(const CPlayer*) + 2 * sizeof(unsigned));
    static_assert(sizeof(Vector3) == 3 * sizeof(float));
    const std::size_t slots = slotOfPlayer.size();
    if (!kept.known || kept.width != std::bit_cast<std::uint32_t>(width) ||
        kept.length != std::bit_cast<std::uint32_t>(length) ||
        kept.direction != std::bit_cast<std::uint32_t>(direction) || kept.goalkeeper != goalkeeper ||
        kept.players.size() != n || kept.slots.size() != slots || kept.offsetKeys.size() != offsetOfPlayer.size())
        return false;
    if (n > 0 && std::memcmp(kept.players.data(), players, n * sizeof(const CPlayer*)) != 0) return false;
    if (slots > 0 && std::memcmp(kept.slots.data(), &*slotOfPlayer.begin(), slots * sizeof(SlotEntry)) != 0)
        return false;
    const CPlayer* const* key = kept.offsetKeys.data();
    const Vector3* offset = kept.offsets.data();
    for (const auto& [p, o] : offsetOfPlayer) {
        if (*key++ != p || std::memcmp(offset++, &o, sizeof(Vector3)) != 0) return false;
    }
    return true;
}

CFormation::Places CFormation::basePositions(const CPlayer* const* players, std::size_t n, float width,
                                             float length) const {
    // basePosition depends on nothing but the footballer, width, length, direction, goalkeeper
    // and the two maps; between offset draws none of them changes, so the last answer stands.
    // Comparing them all costs a fraction of the look-ups it saves.
    if (!keptHolds(players, n, width, length)) {
        kept.known = false;
        kept.places.resize(n);
        kept.lateral.resize(n);
        for (std::size_t i = 0; i < n; ++i) kept.places[i] = basePosition(players[i], width, length, kept.lateral[i]);
        kept.width = std::bit_cast<std::uint32_t>(width);
        kept.length = std::bit_cast<std::uint32_t>(length);
        kept.direction = std::bit_cast<std::uint32_t>(direction);
        kept.goalkeeper = goalkeeper;
        kept.players.assign(players, players + n);
        kept.slots.assign(slotOfPlayer.begin(), slotOfPlayer.end());
        kept.offsetKeys.clear();
        kept.offsets.clear();
        for (const auto& [p, o] : offsetOfPlayer) {
            kept.offsetKeys.push_back(p);
            kept.offsets.push_back(o);
        }
        kept.known = true;
    }
    return {kept.places.data(), kept.lateral.data()};
}

void CFormation::rebind(const Rebind& r) {
    const auto to = [&r](const CPlayer* p) -> const CPlayer* { return r(p); };
    slotOfPlayer.rebindKeys(to);
    offsetOfPlayer.rebindKeys(to);
    for (auto& column : occupant) {
        for (CPlayer*& p : column) r.in(p);
    }
    r.in(goalkeeper);
    // The kept answer stays good: it was made for the footballers these now are.
    kept.goalkeeper = r(kept.goalkeeper);
    for (const CPlayer*& p : kept.players) p = r(p);
    for (auto& [p, slot] : kept.slots) p = r(p);
    for (const CPlayer*& p : kept.offsetKeys) p = r(p);
}

void CFormation::randomiseOffsets(Random& random) {
    for (auto& [player, offset] : offsetOfPlayer) {
        const int r1 = random.nextInt();
        const int r2 = random.nextInt();
        offset = {static_cast<float>(r2) / 32767.0f * 13.0f - 6.5f, static_cast<float>(r1) / 32767.0f * 7.0f - 3.5f,
                  0.0f};
    }
}

std::string CFormation::slotLabel(const CPlayer* p) const {
    const auto it = slotOfPlayer.find(p);
    if (it == slotOfPlayer.end()) return "GK";
    const auto [s, line] = it->second;
    const char* stem = "D";
    switch (line) {
        case LINE_ST:
            if (s >= 2 && s <= 6) return "ST";
            stem = "FW";
            break;
        case LINE_AM: stem = "AM"; break;
        case LINE_M: stem = "M"; break;
        case LINE_DM: stem = "DM"; break;
        default: stem = "D"; break;
    }
    return std::string(stem) + " " + sideCode(s);
}

int CFormation::lateralSlot(const CPlayer* p) const {
    const auto it = slotOfPlayer.find(p);
    return it == slotOfPlayer.end() ? -1 : static_cast<int>(it->second.first);
}

std::string formationText(unsigned st, unsigned am, unsigned m, unsigned dm, unsigned d) {
    std::string text;
    for (unsigned c : {d, dm, m, am, st}) {
        if (c == 0) continue;
        if (!text.empty()) text += '-';
        text += std::to_string(c);
    }
    return text;
}

}  // namespace flikka
