#pragma once

namespace flikka {

class CMatch;

// The human's control of the selected footballer, run each logic step while one is selected.
namespace user_control {

// The human's part of a logic step, between the key poll and the match step: the four below,
// when a footballer is selected.
void controlSelected(CMatch& m);

int readDirection(CMatch& m);
void loosePressActions(CMatch& m, int aim);
void releaseActions(CMatch& m, int aim);
void switchSelected(CMatch& m);
void rebuildSwitchList(CMatch& m);

}  // namespace user_control
}  // namespace flikka
