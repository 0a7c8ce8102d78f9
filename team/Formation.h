#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "players/Player.h"
#include "players/SerialMap.h"
#include "sim/Vector3.h"

namespace flikka {

class Random;
class Rebind;

// Lines from attack to defence; the goalkeeper is addressed as line 5.
enum FormationLine { LINE_ST = 0, LINE_AM = 1, LINE_M = 2, LINE_DM = 3, LINE_D = 4, LINE_GK = 5 };

class CFormation {
public:
    static constexpr int kLateral = 9;
    static constexpr int kLines = 5;
    static constexpr unsigned kMaxPerLine = 5;  // every second slot of nine, centred on slot 4
    static constexpr unsigned kOutfieldPlayers = 10;

    float direction = 1.0f;
    unsigned lineCounts[kLines] = {};
    SerialMap<CPlayer, std::pair<unsigned, unsigned>> slotOfPlayer;  // (lateral, line)
    SerialMap<CPlayer, Vector3> offsetOfPlayer;
    bool occupied[kLateral][kLines] = {};
    CPlayer* occupant[kLateral][kLines] = {};
    CPlayer* goalkeeper = nullptr;

    CFormation() { reset(); }

    void reset();
    void build(unsigned st, unsigned am, unsigned m, unsigned dm, unsigned d);  // throws "11 players needed"
    void assignPlayer(unsigned line, unsigned ordinal, CPlayer* p);  // throws "not enought players in the formation line"
    Vector3 basePosition(const CPlayer* p, float width, float length) const;
    // The same, with the footballer's lateralSlot from the same look-up.
    Vector3 basePosition(const CPlayer* p, float width, float length, int& lateralSlotOut) const;
    // basePosition of each of the n footballers, with his lateral slot; both lists stay valid
    // until the next call.
    struct Places {
        const Vector3* place;
        const int* lateralSlot;
    };
    Places basePositions(const CPlayer* const* players, std::size_t n, float width, float length) const;
    void randomiseOffsets(Random& random);  // draws from the match's generator
    void rebind(const Rebind& r);  // after a copy of the match
    std::string slotLabel(const CPlayer* p) const;
    // Lateral slot of an outfield footballer, -1 when he has none.
    int lateralSlot(const CPlayer* p) const;

private:
    // basePosition's places of the slots for the last width, length and direction (their bits).
    struct Grid {
        std::uint32_t width = 0, length = 0, direction = 0;
        bool known = false;
        float x[kLateral] = {};
        float y[kLines] = {};
    };
    mutable Grid grid;
    // basePositions' last answer and everything it was made from: the footballers asked for,
    // the width, length and direction (bits), the goalkeeper and both maps entry by entry
    // (compared byte for byte, so the offsets by their bits).
    struct Kept {
        bool known = false;
        std::uint32_t width = 0, length = 0, direction = 0;
        const CPlayer* goalkeeper = nullptr;
        std::vector<const CPlayer*> players;
        std::vector<std::pair<const CPlayer*, std::pair<unsigned, unsigned>>> slots;
        std::vector<const CPlayer*> offsetKeys;
        std::vector<Vector3> offsets;
        std::vector<Vector3> places;
        std::vector<int> lateral;
    };
    mutable Kept kept;
    bool keptHolds(const CPlayer* const* players, std::size_t n, float width, float length) const;
};

// What five line counts (forwards first) amount to; build refuses exactly the counts that are not
// playable: a line wider than kMaxPerLine, or other than ten outfield players in all.
struct LineCountsCheck {
    int tooWide = -1;  // the first line wider than kMaxPerLine, -1 for none
    unsigned total = 0;
    bool playable() const { return tooWide < 0 && total == CFormation::kOutfieldPlayers; }
};
LineCountsCheck checkLineCounts(const unsigned (&counts)[CFormation::kLines]);

// Counts forwards first; text defence first, zero lines left out ("4-4-2").
std::string formationText(unsigned st, unsigned am, unsigned m, unsigned dm, unsigned d);

}  // namespace flikka
