// Player 2's default keys: none of player 1's, and the usual combinations of both players at
// once (two run keys and an action each) free of ghosting on a membrane keyboard, modelled as
// a matrix whose lines follow the keyboard's physical rows and columns. Three keys down at three
// corners of a rectangle make the fourth read as down (or block the third): that is the fault
// this guards against when somebody changes the defaults.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "settings/ExtraSettings.h"
#include "settings/Settings.h"

namespace flikka {
namespace {

constexpr int kVkUp = 38, kVkDown = 40, kVkLeft = 37, kVkRight = 39, kVkEnter = 13, kVkEscape = 27;

// (row, column) of the keys of a US keyboard; letters and digits by their virtual-key codes.
std::map<int, std::pair<int, int>> keyboardGrid() {
    std::map<int, std::pair<int, int>> at;
    const char* rows[] = {"`1234567890", "\tQWERTYUIOP", "\1ASDFGHJKL", "\2ZXCVBNM"};
    for (int r = 0; r < 4; ++r) {
        const std::string line = rows[r];
        for (int c = 1; c < static_cast<int>(line.size()); ++c) at[line[static_cast<std::size_t>(c)]] = {r, c};
    }
    at[kVkEnter] = {2, 13};
    at[kVkEscape] = {-1, 0};
    at[kVkUp] = {3, 16};
    at[kVkLeft] = {4, 15};
    at[kVkDown] = {4, 16};
    at[kVkRight] = {4, 17};
    return at;
}

// A key that would read as down (or be blocked) with exactly these keys down; 0 when none.
int ghostOf(const std::set<int>& down, const std::map<int, std::pair<int, int>>& grid) {
    std::map<std::pair<int, int>, int> keyAt;
    for (const auto& [vk, rc] : grid) keyAt[rc] = vk;
    for (int a : down) {
        for (int b : down) {
            for (int c : down) {
                if (a == b || a == c || b == c) continue;
                const auto pa = grid.at(a), pb = grid.at(b), pc = grid.at(c);
                if (pa.first != pb.first || pa.second != pc.second) continue;
                const auto corner = keyAt.find({pc.first, pb.second});
                if (corner != keyAt.end() && down.count(corner->second) == 0) return corner->second;
            }
        }
    }
    return 0;
}

// Straight runs and the four diagonals from a left, right, up, down set.
std::vector<std::set<int>> runs(const int* keys) {
    const int l = keys[0], r = keys[1], u = keys[2], d = keys[3];
    return {{l}, {r}, {u}, {d}, {u, l}, {u, r}, {d, l}, {d, r}};
}

TEST(Player2Keys, DefaultsAreTheirOwnAndSurviveBothPlayersAtOnce) {
    Settings one;
    one.resetToDefaults();
    const ExtraSettings two;
    const int actions[] = {4, 5, 6, 7, 9};  // shoot, pass, cross, through pass, switch

    std::set<int> p1Keys = {kVkEnter, kVkEscape};
    for (int slot : {0, 1, 2, 3, 4, 5, 6, 7, 9}) p1Keys.insert(one.keys[slot]);
    std::set<int> p2Keys;
    for (int slot : {0, 1, 2, 3, 4, 5, 6, 7, 9}) {
        const int k = two.player2Keys[slot];
        EXPECT_EQ(p1Keys.count(k), 0u) << "player 2's slot " << slot << " uses player 1's key " << k;
        EXPECT_TRUE(p2Keys.insert(k).second) << "player 2's key " << k << " serves two slots";
    }

    const auto grid = keyboardGrid();
    for (int k : p1Keys) ASSERT_EQ(grid.count(k), 1u) << k;
    for (int k : p2Keys) ASSERT_EQ(grid.count(k), 1u) << k;
    int checked = 0;
    for (const auto& run1 : runs(one.keys)) {
        for (int a1 : actions) {
            for (const auto& run2 : runs(two.player2Keys)) {
                for (int a2 : actions) {
                    std::set<int> down = run1;
                    down.insert(run2.begin(), run2.end());
                    down.insert(one.keys[a1]);
                    down.insert(two.player2Keys[a2]);
                    const int ghost = ghostOf(down, grid);
                    EXPECT_EQ(ghost, 0) << "a ghost " << ghost << " with run " << *run1.begin() << "/" << *run2.begin()
                                        << " and actions " << one.keys[a1] << ", " << two.player2Keys[a2];
                    ++checked;
                }
            }
        }
    }
    EXPECT_EQ(checked, 8 * 5 * 8 * 5);
    // The model does find ghosts: I J K L with O (once the placeholder shoot key) did not pass.
    EXPECT_EQ(ghostOf({'K', 'L', 'O'}, grid), 'I');
}

}  // namespace
}  // namespace flikka
