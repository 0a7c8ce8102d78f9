#pragma once
// Every effect of the game, synthesised from nothing.
#include "app/SoundEffects.h"
#include "tools/soundgen/Synth.h"

namespace flikka::soundgen {

Buffer makeEffect(Sfx which);
// Whether the effect plays as a loop (its end must run into its start).
bool isLoop(Sfx which);

}  // namespace flikka::soundgen
