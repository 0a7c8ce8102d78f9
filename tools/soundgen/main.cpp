// flikka-soundgen <output-dir>: synthesises every sound effect of the game as a WAV file and
// checks each one: not silent, not clipped, starting and ending without a click.
#include <cmath>
#include <filesystem>
#include <iostream>

#include "tools/soundgen/Effects.h"

namespace fs = flikka::soundgen;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: flikka-soundgen <output-dir>\n";
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    try {
        std::filesystem::create_directories(dir);
        for (std::size_t i = 0; i < flikka::kSfxCount; ++i) {
            const auto which = static_cast<flikka::Sfx>(i);
            const fs::Buffer b = fs::makeEffect(which);
            const float p = fs::peak(b);
            if (b.empty() || p < 0.1f || p > 0.95f) {
                std::cerr << "flikka-soundgen: " << flikka::kSfxFiles[i] << " has peak " << p << "\n";
                return 1;
            }
            // A one-shot must start and end near zero; a loop must run from its end into its start.
            const float edge = fs::isLoop(which) ? std::fabs(b.back() - b.front()) : std::fabs(b.front()) + std::fabs(b.back());
            if (edge > 0.05f) {
                std::cerr << "flikka-soundgen: " << flikka::kSfxFiles[i] << " would click at its edges (" << edge << ")\n";
                return 1;
            }
            fs::writeWav((dir / flikka::kSfxFiles[i]).string(), b);
        }
    } catch (const std::exception& e) {
        std::cerr << "flikka-soundgen: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
