#include "settings/SafeFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace flikka::safe_file {

namespace fs = std::filesystem;

namespace {

// As many hops as the kernel follows before it gives up with ELOOP.
constexpr int kMaxLinkHops = 40;
// Temporary names already taken (left by a killed save whose process number came round again).
constexpr int kMaxNameTries = 100;
// A temporary file this old whose process is gone was left by a save that was killed.
constexpr auto kStaleAfter = std::chrono::minutes(1);

// What stands at a path the game is about to replace.
enum class Standing { Absent, NotAFile, Unreadable, WriteProtected, Writable };

struct Found {
    Standing standing = Standing::Absent;
    mode_t mode = 0;
};

// The file a path stands for: the path itself, or the end of its chain of symbolic links, which
// need not exist yet. False for a chain that loops or cannot be read.
bool followLinks(const std::string& path, std::string& target) {
    fs::path p = path;
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat st {};
        if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            target = p.string();
            return true;
        }
        std::error_code ec;
        const fs::path next = fs::read_symlink(p, ec);
        if (ec) return false;
        p = next.is_absolute() ? next : p.parent_path() / next;
    }
    return false;
}

Found examine(const std::string& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0) {
        return {errno == ENOENT ? Standing::Absent : Standing::NotAFile, 0};
    }
    if (!S_ISREG(st.st_mode)) return {Standing::NotAFile, st.st_mode};
    if (::faccessat(AT_FDCWD, target.c_str(), R_OK, AT_EACCESS) != 0) return {Standing::Unreadable, st.st_mode};
    const bool kernelSaysWritable = ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) == 0;
    // Root may write anything; a file its user took every write bit from is still meant to stay.
    const bool markedReadOnly = ::geteuid() == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    if (!kernelSaysWritable || markedReadOnly) return {Standing::WriteProtected, st.st_mode};
    return {Standing::Writable, st.st_mode};
}

bool writeAll(int fd, const std::string& text) {
    const char* p = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

// A new file beside target that no other save can be using: named after this process and a
// running count, and created only if no such file exists yet.
int createTemporary(const std::string& target, std::string& name) {
    static std::atomic<unsigned> counter{0};
    const std::string stem = target + "." + std::to_string(::getpid()) + "-";
    for (int attempt = 0; attempt < kMaxNameTries; ++attempt) {
        name = stem + std::to_string(counter.fetch_add(1)) + ".tmp";
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// The rename is only durable once the folder that holds the name is on disk too.
void syncFolder(const std::string& target) {
    const fs::path folder = fs::path(target).parent_path();
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    // Some file systems cannot sync a folder; the file is in place by now either way.
    [[maybe_unused]] const int ignored = ::fsync(fd);
    ::close(fd);
}

// The process number in a temporary file's name made by createTemporary for target, 0 for any
// other name.
pid_t temporaryOwner(const std::string& target, const std::string& name) {
    const std::string stem = fs::path(target).filename().string() + ".";
    const std::string tail = ".tmp";
    if (name.size() <= stem.size() + tail.size() || name.compare(0, stem.size(), stem) != 0 ||
        name.compare(name.size() - tail.size(), tail.size(), tail) != 0) {
        return 0;
    }
    const std::string middle = name.substr(stem.size(), name.size() - stem.size() - tail.size());
    const std::size_t dash = middle.find('-');
    if (dash == 0 || dash == std::string::npos || dash + 1 == middle.size() || dash > 9) return 0;
    for (std::size_t i = 0; i < middle.size(); ++i) {
        if (i != dash && (middle[i] < '0' || middle[i] > '9')) return 0;
    }
    return static_cast<pid_t>(std::stol(middle.substr(0, dash)));
}

// A save killed between creating its temporary file and renaming it leaves the file behind;
// without this, every crash or power cut would add one to the settings folder for good. Only
// files of processes that no longer exist, and not touched for a while, are taken.
void removeStaleTemporaries(const std::string& target) {
    const fs::path parent = fs::path(target).parent_path();
    const fs::path folder = parent.empty() ? fs::path(".") : parent;
    std::error_code ec;
    const auto now = fs::file_time_type::clock::now();
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const pid_t owner = temporaryOwner(target, it->path().filename().string());
        if (owner <= 0 || owner == ::getpid()) continue;
        if (::kill(owner, 0) == 0 || errno != ESRCH) continue;
        std::error_code fileEc;
        if (!it->is_regular_file(fileEc) || fileEc) continue;
        const auto written = it->last_write_time(fileEc);
        if (fileEc || now - written < kStaleAfter) continue;
        fs::remove(it->path(), fileEc);
    }
}

// Puts text in place of target (no link in the way): temporary, sync, rename. A writable old
// file passes its permissions on to the new one.
bool writeReplacing(const std::string& target, const std::string& text, const Found& old) {
    std::string tmp;
    const int fd = createTemporary(target, tmp);
    if (fd < 0) return false;
    bool ok = writeAll(fd, text);
    if (ok && old.standing == Standing::Writable) ok = ::fchmod(fd, old.mode & 0777) == 0;
    // The new contents must be on disk before the rename makes them the file.
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(tmp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(tmp.c_str());
        return false;
    }
    syncFolder(target);
    removeStaleTemporaries(target);
    return true;
}

}  // namespace

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
    std::string target;
    if (!followLinks(path, target)) return false;
    const Found old = examine(target);
    // Only a readable file can be write-protected: one that cannot even be read is no use to keep.
    if (old.standing == Standing::NotAFile || old.standing == Standing::WriteProtected) return false;
    return writeReplacing(target, text, old);
}

void UnusableFileKeeper::loaded(const std::string& path, bool unusable) {
    unusable_ = unusable;
    kept_ = false;
    path_ = unusable ? path : std::string();
}

bool UnusableFileKeeper::beforeSave(const std::string& path) {
    if (!unusable_ || kept_ || path != path_) return true;
    std::string target;
    if (!followLinks(path, target)) return false;
    const std::string bak = target + ".bak";
    switch (examine(target).standing) {
        case Standing::Absent:
        case Standing::NotAFile:
            break;  // nothing of the user's to keep; the save itself decides
        case Standing::WriteProtected:
            return false;  // the save is refused, so leave no copy behind either
        case Standing::Unreadable:
            // What cannot be read cannot be copied; the file itself moves aside.
            if (::rename(target.c_str(), bak.c_str()) != 0) return false;
            break;
        case Standing::Writable: {
            std::ifstream in(target, std::ios::binary);
            const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            if (!in.is_open() || in.bad()) return false;
            if (!writeReplacing(bak, bytes, examine(bak))) return false;
            break;
        }
    }
    kept_ = true;
    return true;
}

}  // namespace flikka::safe_file
