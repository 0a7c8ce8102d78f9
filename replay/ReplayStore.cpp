#include "replay/ReplayStore.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "settings/SafeFile.h"

namespace flikka::replay {

namespace fs = std::filesystem;

namespace {

constexpr const char* kExtension = ".flr";

void pruneDatedCopies(const fs::path& folder) {
    std::error_code ec;
    std::vector<std::string> dated;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& p = it->path();
        if (p.extension() != kExtension || p.filename() == kLastName) continue;
        if (!it->is_regular_file(ec)) continue;
        dated.push_back(p.filename().string());
    }
    if (dated.size() <= static_cast<std::size_t>(kKeep)) return;
    std::sort(dated.begin(), dated.end());
    const std::size_t surplus = dated.size() - static_cast<std::size_t>(kKeep);
    for (std::size_t i = 0; i < surplus; ++i) fs::remove(folder / dated[i], ec);
}

}  // namespace

std::string datedName(int year, int month, int day, int hour, int minute, int second) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d_%02d-%02d-%02d", year, month, day, hour, minute, second);
    return buf;
}

bool save(const Replay& r, const std::string& folder, const std::string& dated, std::string& problem) {
    const fs::path dir(folder.empty() ? "." : folder);
    std::error_code ec;
    fs::create_directories(dir, ec);
    const std::string bytes = encode(r);
    const fs::path last = dir / kLastName;
    if (!safe_file::replaceFile(last.string(), bytes)) {
        problem = "cannot write " + last.string();
        return false;
    }
    fs::path copy = dir / (dated + kExtension);
    for (int n = 2; fs::exists(copy, ec) && n < 1000; ++n) copy = dir / (dated + "_" + std::to_string(n) + kExtension);
    if (!safe_file::replaceFile(copy.string(), bytes)) {
        problem = "cannot write " + copy.string();
        return false;
    }
    pruneDatedCopies(dir);
    return true;
}

}  // namespace flikka::replay
