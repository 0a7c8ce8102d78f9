#include "settings/SafeFile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#if __has_include(<unistd.h>)
#include <unistd.h>
#define FLIKKA_HAVE_FSYNC 1
#endif

namespace flikka::safe_file {

namespace fs = std::filesystem;

ReadResult readSmallFile(const std::string& path, std::string& bytes, std::uintmax_t maxBytes) {
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (ec || !fs::exists(st)) return ReadResult::Missing;
    if (!fs::is_regular_file(st)) return ReadResult::Missing;
    const std::uintmax_t size = fs::file_size(path, ec);
    if (ec || size > maxBytes) return ReadResult::Unreadable;
    std::ifstream in(path, std::ios::binary);
    if (!in) return ReadResult::Unreadable;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) return ReadResult::Unreadable;
    return ReadResult::Ok;
}

bool replaceFile(const std::string& path, const std::string& text) {
    const std::string tmp = path + ".tmp";
    std::FILE* f = std::fopen(tmp.c_str(), "wb");
    if (f == nullptr) return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = std::fflush(f) == 0 && ok;
#ifdef FLIKKA_HAVE_FSYNC
    // The new contents must be on disk before the rename makes them the file.
    ok = ::fsync(::fileno(f)) == 0 && ok;
#endif
    ok = std::fclose(f) == 0 && ok;
    std::error_code ec;
    if (ok) {
        fs::rename(tmp, path, ec);
        ok = !ec;
    }
    if (!ok) fs::remove(tmp, ec);
    return ok;
}

void UnusableFileKeeper::loaded(const std::string& path, bool unusable) {
    unusable_ = unusable;
    kept_ = false;
    path_ = unusable ? path : std::string();
}

bool UnusableFileKeeper::beforeSave(const std::string& path) {
    if (!unusable_ || kept_ || path != path_) return true;
    std::error_code ec;
    if (fs::is_regular_file(path, ec)) {
        fs::copy_file(path, path + ".bak", fs::copy_options::overwrite_existing, ec);
        if (ec) return false;
    }
    kept_ = true;
    return true;
}

}  // namespace flikka::safe_file
