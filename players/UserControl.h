#pragma once

namespace flikka {

class CPlay;
struct HumanControl;

// A human's control of his selected footballer, run each logic step while he has one. Every
// operation works on one human; the forms without one are player 1's.
namespace user_control {

// The humans' part of a logic step, between the key poll and the match step: the four below,
// for each human who has a footballer selected, player 1 first.
void controlSelected(CPlay& m);
void controlSelected(CPlay& m, HumanControl& h);

int readDirection(CPlay& m, HumanControl& h);
void loosePressActions(CPlay& m, HumanControl& h, int aim);
void releaseActions(CPlay& m, HumanControl& h, int aim);
void switchSelected(CPlay& m, HumanControl& h);
void rebuildSwitchList(CPlay& m, HumanControl& h);

int readDirection(CPlay& m);
void loosePressActions(CPlay& m, int aim);
void releaseActions(CPlay& m, int aim);
void switchSelected(CPlay& m);
void rebuildSwitchList(CPlay& m);

}  // namespace user_control
}  // namespace flikka
