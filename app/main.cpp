#include <iostream>
#include <string>

#include "app/Flikka.h"
#include "settings/Paths.h"

#ifndef FLIKKA_VERSION
#define FLIKKA_VERSION "unknown"
#endif

namespace {

namespace paths = flikka::paths;

const char* const kHelp =
    "usage: flikka [--help] [--version]\n"
    "A top-down football game: one side against the computer, or two computer sides.\n"
    "\n"
    "  --help      this text, with the folders this copy uses\n"
    "  --version   the version\n"
    "\n"
    "Started where gfx/ lies (the build folder, an unpacked copy) the game keeps everything there,\n"
    "its settings in config/. Otherwise it reads its data from $FLIKKA_DATA or from ../share/flikka\n"
    "beside the program, keeps its settings in $XDG_CONFIG_HOME/flikka (~/.config/flikka) and\n"
    "what it writes in $XDG_DATA_HOME/flikka (~/.local/share/flikka).\n";

void printLocations(const paths::Search& search) {
    std::cout << "\n";
    if (!search.found) {
        std::cout << search.message << "\n";
        return;
    }
    const paths::Locations& l = *search.found;
    const bool portable = l.layout == paths::Layout::Portable;
    std::cout << (portable ? "This copy runs portable, from the working directory.\n" : "")
              << "data:     " << (portable ? "." : l.dataDir) << "\n"
              << "settings: " << l.settingsDir << "\n"
              << "files:    " << (portable ? "." : l.userDataDir) << "\n";
}

}  // namespace

int main(int argc, char** argv) {
    const paths::Search search = paths::locate(paths::processEnvironment(argc > 0 ? argv[0] : nullptr));
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kHelp;
            printLocations(search);
            return 0;
        }
        if (arg == "--version") {
            std::cout << "flikka " << FLIKKA_VERSION << "\n";
            return 0;
        }
        std::cerr << "flikka: unknown option \"" << arg << "\" (see flikka --help)\n";
        return 2;
    }
    if (!search.found) {
        std::cerr << search.message << std::endl;
        flikka::closePrompt();
        return 1;
    }
    paths::use(*search.found);
    flikka::CFlikka game;
    return game.main(argc, argv);
}
