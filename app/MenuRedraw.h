#pragma once
// The menu stands still between key presses, and drawing it forty times a second costs a
// software-rendered desktop a fifth of a core. Its frame is drawn again only when something
// may have changed, and at least every kRefreshMs so that a window uncovered by another heals.
#include <cstdint>

namespace flikka {

class MenuRedraw {
public:
    static constexpr std::uint32_t kRefreshMs = 500;

    void invalidate() { dirty_ = true; }
    bool needed(std::uint32_t now) const { return dirty_ || static_cast<std::uint32_t>(now - last_) >= kRefreshMs; }
    void drawn(std::uint32_t now) {
        dirty_ = false;
        last_ = now;
    }

private:
    bool dirty_ = true;
    std::uint32_t last_ = 0;
};

}  // namespace flikka
