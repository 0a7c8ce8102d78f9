#include "sim/Console.h"

#include <iostream>

namespace flikka {

namespace {
std::ostream* g_console = &std::cout;
}

void setConsole(std::ostream* out) { g_console = out; }

std::ostream* console() { return g_console; }

void consolePrint(const char* text) {
    if (g_console != nullptr) {
        *g_console << text;
        g_console->flush();
    }
}

}  // namespace flikka
