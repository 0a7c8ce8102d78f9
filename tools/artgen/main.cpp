// flikka-artgen <output-dir>: draws every image of the game and checks that the game's frame
// cutter reads each one as intended.
#include <filesystem>
#include <iostream>

#include "platform/Platform.h"
#include "tools/artgen/Art.h"

namespace fa = flikka::artgen;
namespace fp = flikka::platform;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: flikka-artgen <output-dir>\n";
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    // The fonts are rendered from DejaVu, as Debian installs it.
    const std::string fontDir = "/usr/share/fonts/truetype/dejavu";
    if (!std::filesystem::exists(fontDir + "/DejaVuSans-Bold.ttf")) {
        std::cerr << "flikka-artgen: no DejaVu fonts in " << fontDir << " (install the package fonts-dejavu-core)\n";
        return 1;
    }
    try {
        std::filesystem::create_directories(dir);
        std::vector<fa::NamedImage> images;
        images.push_back({"pitch.png", fa::pitch(), 0});
        images.push_back({"minipitch.png", fa::miniPitch(), 0});
        for (auto* group : {&fa::goals, &fa::footballers, &fa::ballImages, &fa::markersAndArrows}) {
            for (auto& img : (*group)()) images.push_back(std::move(img));
        }
        for (auto& img : fa::panels(fontDir)) images.push_back(std::move(img));
        for (auto& img : fa::fonts(fontDir)) images.push_back(std::move(img));

        int failures = 0;
        for (const auto& img : images) {
            if (img.expectedFrames > 0) {
                const auto frames = fp::cutFrames(img.image);
                if (static_cast<int>(frames.size()) != img.expectedFrames) {
                    std::cerr << "flikka-artgen: " << img.file << " cuts into " << frames.size() << " frames, not "
                              << img.expectedFrames << "\n";
                    ++failures;
                }
            }
            fp::savePng(img.image, (dir / img.file).string());
        }
        if (failures > 0) return 1;
        std::cout << "flikka-artgen: " << images.size() << " images in " << dir.string() << "\n";
    } catch (const std::exception& e) {
        std::cerr << "flikka-artgen: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
