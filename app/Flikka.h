#pragma once
// The program: start-up, the fixed-step main loop through its modes (app/Modes.h),
// shutdown, and the reporting of the errors that end a run.

#include "sim/Vector3.h"

namespace flikka {

class CFlikka {
public:
    static constexpr unsigned kLogicStepMs = 5;
    static constexpr unsigned kFramePeriodMs = 25;
    // The runner's step: the game and flikka-sim play the same match from the same keys.
    static constexpr float kLogicStepSeconds = kStep;

    virtual ~CFlikka() = default;
    // Runs the game. Returns the exit status: 0, or 1 when an error ended the run.
    virtual int main(int argc, char** argv);

private:
    void run();
};

// Writes the close prompt and waits for a key, only when standard input is a terminal
// (nobody can answer a pipe or /dev/null, and a script must not hang).
void closePrompt();

}  // namespace flikka
