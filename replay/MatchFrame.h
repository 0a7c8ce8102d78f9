#pragma once
// What the match view needs of one step, and nothing more: where everyone stands, which way they
// face, whether they run or dive, the ball, the score and the clock. A ring of these is the
// instant replay of a goal: it is drawn, never simulated.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace flikka {
class CMatch;
}

namespace flikka::replay {

inline constexpr int kSquad = 11;

struct FootballerPose {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    float diveAngle = 0.0f;
    std::int8_t direction = 0;
    std::int8_t travelDirection = 0;
    std::uint8_t flags = 0;  // kRunning, kDiving
    static constexpr std::uint8_t kRunning = 1;
    static constexpr std::uint8_t kDiving = 2;
};

struct MatchFrame {
    FootballerPose footballers[2][kSquad];  // home, away; squad order
    float ballX = 0.0f, ballY = 0.0f, ballZ = 0.0f;
    float elapsed = 0.0f;
    std::int8_t holder = -1;    // side * 11 + squad index, -1 for none
    std::int8_t selected = -1;
    std::uint8_t homeScore = 0;
    std::uint8_t awayScore = 0;
    bool secondHalf = false;
    bool homeAttacksUp = true;

    static MatchFrame of(const CMatch& m);
    // Poses a display-only match (set up with squads of 11) as the frame shows it.
    void pose(CMatch& display) const;
};

// The last `capacity` frames, oldest first when read back.
class FrameRing {
public:
    explicit FrameRing(std::size_t capacity);
    void push(const MatchFrame& f);
    void clear();
    std::size_t size() const { return count_; }
    std::size_t capacity() const { return frames_.size(); }
    const MatchFrame& at(std::size_t i) const;  // 0 the oldest kept
    std::size_t bytes() const { return frames_.size() * sizeof(MatchFrame); }

private:
    std::vector<MatchFrame> frames_;
    std::size_t next_ = 0;
    std::size_t count_ = 0;
};

}  // namespace flikka::replay
