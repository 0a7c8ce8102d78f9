#pragma once
// The diagnostic text stream: the referee's lines and the ball's notes. Standard output in
// the game; the headless runner can silence it.
#include <ostream>

namespace flikka {

void setConsole(std::ostream* out);  // null silences
std::ostream* console();             // the stream now in use, to put it back after silencing
void consolePrint(const char* text);

}  // namespace flikka
