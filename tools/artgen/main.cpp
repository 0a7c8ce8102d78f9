// flikka-artgen <output-dir>: draws every image of the game and checks that the game's frame
// cutter reads each one as intended. flikka-artgen --icons <dir>: the application icon in the
// sizes of the hicolor theme, as <dir>/<N>x<N>/apps/flikka.png.
#include <algorithm>
#include <filesystem>
#include <unordered_map>
#include <utility>
#include <vector>
#include <iostream>

#include "platform/Platform.h"
#include "tools/artgen/Art.h"

namespace fa = flikka::artgen;
namespace fp = flikka::platform;

namespace {

// Keeps the `limit` most frequent colours and moves every other pixel to the nearest of them.
// The grass grain and the lines' soft edges leave a few hundred colours on the pitch; at 256 it
// is stored as a palette image, which the game decodes several times faster at start-up.
void limitColours(fp::PixelBuffer& img, std::size_t limit) {
    std::unordered_map<fp::Color, std::size_t> count;
    for (fp::Color c : img.pixels) ++count[c];
    if (count.size() <= limit) return;
    std::vector<std::pair<std::size_t, fp::Color>> byCount;
    for (const auto& [c, n] : count) byCount.emplace_back(n, c);
    // Most frequent first; equal counts by colour value so the result never depends on hashing.
    std::sort(byCount.begin(), byCount.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    byCount.resize(limit);
    auto channel = [](fp::Color c, int shift) { return static_cast<int>((c >> shift) & 0xFF); };
    std::unordered_map<fp::Color, fp::Color> nearest;
    for (const auto& [n, c] : byCount) nearest[c] = c;
    for (fp::Color& c : img.pixels) {
        auto it = nearest.find(c);
        if (it == nearest.end()) {
            fp::Color best = byCount.front().second;
            long bestD = -1;
            for (const auto& [n, k] : byCount) {
                long d = 0;
                for (int shift : {24, 16, 8, 0}) {
                    const long e = channel(c, shift) - channel(k, shift);
                    d += e * e;
                }
                if (bestD < 0 || d < bestD) {
                    bestD = d;
                    best = k;
                }
            }
            it = nearest.emplace(c, best).first;
        }
        c = it->second;
    }
}

int writeIcons(const std::filesystem::path& dir) {
    try {
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            const std::string n = std::to_string(size);
            const std::filesystem::path apps = dir / (n + "x" + n) / "apps";
            std::filesystem::create_directories(apps);
            fp::savePng(fa::icon(size), (apps / "flikka.png").string());
        }
    } catch (const std::exception& e) {
        std::cerr << "flikka-artgen: " << e.what() << "\n";
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--icons") return writeIcons(argv[2]);
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
        limitColours(images.back().image, 256);
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
