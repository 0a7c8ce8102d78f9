#pragma once

namespace flikka {

class CMatch;
struct HumanControl;

// A human's control of his selected footballer, run each logic step while he has one. Every
// operation works on one human; the forms without one are player 1's.
namespace user_control {

// The humans' part of a logic step, between the key poll and the match step: the four below,
// for each human who has a footballer selected, player 1 first.
void controlSelected(CMatch& m);
void controlSelected(CMatch& m, HumanControl& h);

int readDirection(CMatch& m, HumanControl& h);
void loosePressActions(CMatch& m, HumanControl& h, int aim);
void releaseActions(CMatch& m, HumanControl& h, int aim);
void switchSelected(CMatch& m, HumanControl& h);
void rebuildSwitchList(CMatch& m, HumanControl& h);

int readDirection(CMatch& m);
void loosePressActions(CMatch& m, int aim);
void releaseActions(CMatch& m, int aim);
void switchSelected(CMatch& m);
void rebuildSwitchList(CMatch& m);

}  // namespace user_control
}  // namespace flikka
