// Saving settings through the one safe-file mechanism when the file system is not simple:
// two programs saving at once, a linked file, a write-protected one, one nobody can read.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>

#include "settings/ExtraSettings.h"
#include "settings/Settings.h"
#include "sim/FlikkaException.h"

namespace fs = std::filesystem;
using flikka::settings;

namespace {

constexpr uid_t kNobody = 65534;
constexpr gid_t kNogroup = 65534;
constexpr int kSkipped = 77;

std::string readAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeAll(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }

std::set<std::string> entries(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
    return names;
}

fs::perms permsOf(const fs::path& p) { return fs::status(p).permissions() & fs::perms::mask; }

std::string saveError(const std::string& path) {
    try {
        flikka::saveSettings(path);
    } catch (const flikka::CFlikkaException& e) {
        return e.what();
    }
    return "";
}

class SafeSave : public ::testing::Test {
protected:
    fs::path dir;
    std::string path;

    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() / ("flikka-safesave-" + std::to_string(::getpid()) + "-" + info->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        path = (dir / "win32.xml").string();
        settings().resetToDefaults();
        flikka::loadSettings((dir / "absent.xml").string());  // forget any earlier load's findings
    }
    void TearDown() override {
        std::error_code ec;
        for (const auto& e : fs::recursive_directory_iterator(dir, ec)) {
            fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
        fs::remove_all(dir, ec);
    }
};

TEST_F(SafeSave, TwoProgramsSavingAtOnceBothSucceedAndLeaveOneWholeRecord) {
    flikka::Settings a;
    a.hRes = 1024;
    a.keys[3] = 100003;
    flikka::Settings b;
    b.hRes = 640;
    b.radar = false;
    const std::string textA = flikka::settingsFileText(a);
    const std::string textB = flikka::settingsFileText(b);

    constexpr int kRounds = 300;
    int failedSaves = 0;
    int brokenFiles = 0;
    for (int round = 0; round < kRounds; ++round) {
        int gate[2];
        ASSERT_EQ(::pipe(gate), 0);
        pid_t kids[2];
        for (int k = 0; k < 2; ++k) {
            kids[k] = ::fork();
            ASSERT_GE(kids[k], 0);
            if (kids[k] == 0) {
                ::close(gate[1]);
                char c = 0;
                [[maybe_unused]] const ssize_t n = ::read(gate[0], &c, 1);  // both start when the gate closes
                settings() = k == 0 ? a : b;
                try {
                    flikka::saveSettings(path);
                } catch (...) {
                    ::_exit(1);
                }
                ::_exit(0);
            }
        }
        ::close(gate[0]);
        ::close(gate[1]);
        for (pid_t kid : kids) {
            int status = 0;
            ::waitpid(kid, &status, 0);
            if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) ++failedSaves;
        }
        const std::string atRest = readAll(path);
        if (atRest != textA && atRest != textB) ++brokenFiles;
    }
    EXPECT_EQ(failedSaves, 0) << "of " << 2 * kRounds << " saves";
    EXPECT_EQ(brokenFiles, 0) << "of " << kRounds << " rounds";
    EXPECT_EQ(entries(dir), std::set<std::string>{"win32.xml"});
}

// A save killed before its rename leaves its temporary file; the next save clears such files
// away, but never one that may still be in use.
TEST_F(SafeSave, TemporariesOfKilledSavesAreClearedByTheNextSave) {
    const pid_t gone = ::fork();
    ASSERT_GE(gone, 0);
    if (gone == 0) ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::string deadPid = std::to_string(gone);
    const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(5);
    auto leave = [&](const std::string& name, bool aged) {
        writeAll(dir / name, "<config><parameter name=");
        if (aged) fs::last_write_time(dir / name, old);
    };
    leave("win32.xml." + deadPid + "-0.tmp", true);     // killed: cleared
    leave("win32.xml." + deadPid + "-17.tmp", true);    // killed: cleared
    leave("win32.xml." + deadPid + "-1.tmp", false);    // just written: its pid may be reused already
    leave("win32.xml.1-0.tmp", true);                   // a process that still runs
    leave("win32.xml.x" + deadPid + "-0.tmp", true);    // not a name a save makes
    leave("win32.xml." + deadPid + "-.tmp", true);
    leave("flikka.xml." + deadPid + "-0.tmp", true);    // the other file's: its own save clears it
    writeAll(dir / "win32.xml.bak", "kept");

    flikka::saveSettings(path);
    EXPECT_EQ(entries(dir), (std::set<std::string>{"win32.xml", "win32.xml." + deadPid + "-1.tmp", "win32.xml.1-0.tmp",
                                                   "win32.xml.x" + deadPid + "-0.tmp", "win32.xml." + deadPid + "-.tmp",
                                                   "flikka.xml." + deadPid + "-0.tmp", "win32.xml.bak"}));
}

TEST_F(SafeSave, ALinkedFileIsWrittenThroughAndTheLinkStays) {
    fs::create_directory(dir / "real");
    writeAll(dir / "real" / "win32.xml", "old");
    fs::create_symlink("real/win32.xml", path);
    settings().hRes = 1024;
    flikka::saveSettings(path);
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_EQ(fs::read_symlink(path), "real/win32.xml");
    EXPECT_EQ(readAll(dir / "real" / "win32.xml"), flikka::settingsFileText(settings()));

    // A chain of links, relative to where each link lives, ending at a file not there yet.
    fs::create_symlink(dir / "real" / "hop.xml", dir / "chain.xml");
    fs::create_symlink("new.xml", dir / "real" / "hop.xml");
    flikka::saveSettings((dir / "chain.xml").string());
    EXPECT_TRUE(fs::is_symlink(dir / "chain.xml"));
    EXPECT_TRUE(fs::is_symlink(dir / "real" / "hop.xml"));
    EXPECT_EQ(readAll(dir / "real" / "new.xml"), flikka::settingsFileText(settings()));

    // An unusable file behind a link is kept beside itself, and the link still leads to the new one.
    writeAll(dir / "real" / "win32.xml", "not xml");
    EXPECT_FALSE(flikka::loadSettings(path));
    flikka::saveSettings(path);
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_EQ(readAll(dir / "real" / "win32.xml.bak"), "not xml");
    EXPECT_EQ(readAll(path), flikka::settingsFileText(settings()));

    // Links in a loop lead nowhere: the save fails.
    fs::create_symlink("loop2.xml", dir / "loop1.xml");
    fs::create_symlink("loop1.xml", dir / "loop2.xml");
    EXPECT_EQ(saveError((dir / "loop1.xml").string()), "Cannot open configuration file for writing");

    EXPECT_EQ(entries(dir), (std::set<std::string>{"chain.xml", "loop1.xml", "loop2.xml", "real", "win32.xml"}));
    EXPECT_EQ(entries(dir / "real"), (std::set<std::string>{"hop.xml", "new.xml", "win32.xml", "win32.xml.bak"}));
}

// As root, whom the permission bits do not stop, a file without any write bit counts as protected.
TEST_F(SafeSave, AWriteProtectedFileIsLeftAsItIs) {
    const std::string old = "<config><parameter name=\"h_res\" value=\"1024\"/></config>";
    writeAll(path, old);
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    ASSERT_TRUE(flikka::loadSettings(path));
    settings().hRes = 640;
    EXPECT_EQ(saveError(path), "Cannot open configuration file for writing");
    EXPECT_EQ(readAll(path), old);
    EXPECT_EQ(permsOf(path), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

    // Unusable and write-protected: refused as well, without a backup copy left behind.
    writeAll(dir / "bad.xml", "not xml");
    fs::permissions(dir / "bad.xml", fs::perms::owner_read);
    EXPECT_FALSE(flikka::loadSettings((dir / "bad.xml").string()));
    EXPECT_EQ(saveError((dir / "bad.xml").string()), "Cannot open configuration file for writing");
    EXPECT_EQ(readAll(dir / "bad.xml"), "not xml");

    // The other settings file goes the same way.
    writeAll(dir / "flikka.xml", "<config/>");
    fs::permissions(dir / "flikka.xml", fs::perms::owner_read);
    EXPECT_THROW(flikka::saveExtraSettings((dir / "flikka.xml").string()), flikka::CFlikkaException);
    EXPECT_EQ(readAll(dir / "flikka.xml"), "<config/>");

    // A writable file keeps its permissions across the save.
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    flikka::saveSettings(path);
    EXPECT_EQ(readAll(path), flikka::settingsFileText(settings()));
    EXPECT_EQ(permsOf(path), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(entries(dir), (std::set<std::string>{"bad.xml", "flikka.xml", "win32.xml"}));
}

// Runs body in a child process as an unprivileged user (root's own permissions would hide what is
// tested); its exit status tells the result, kSkipped when no such user can be had.
int asUnprivileged(const fs::path& dir, const std::function<bool()>& body) {
    if (::geteuid() == 0 && ::chown(dir.c_str(), kNobody, kNogroup) != 0) return kSkipped;
    const pid_t kid = ::fork();
    if (kid < 0) return kSkipped;
    if (kid == 0) {
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setresgid(kNogroup, kNogroup, kNogroup) != 0 ||
             ::setresuid(kNobody, kNobody, kNobody) != 0)) {
            ::_exit(kSkipped);
        }
        if (::geteuid() == 0 || ::access(dir.c_str(), W_OK | X_OK) != 0) ::_exit(kSkipped);
        ::_exit(body() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(kid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

TEST_F(SafeSave, AFileNobodyCanReadIsRenamedAsideAndTheSaveGoesOn) {
    const std::string mine = "<config><parameter name=\"h_res\" value=\"1024\"/></config>";
    const int result = asUnprivileged(dir, [&] {
        bool ok = true;
        auto check = [&ok](bool cond, const char* what) {
            if (!cond) std::fprintf(stderr, "failed: %s\n", what);
            ok = ok && cond;
        };
        writeAll(path, mine);
        ::chmod(path.c_str(), 0);
        check(!flikka::loadSettings(path), "a file that cannot be read loads as the defaults");
        check(flikka::settingsFileWasUnreadable(), "it is reported as unusable");
        check(saveError(path).empty(), "the save succeeds");
        check(readAll(path) == flikka::settingsFileText(flikka::Settings{}), "the defaults are saved");
        struct stat st {};
        check(::stat((path + ".bak").c_str(), &st) == 0 && (st.st_mode & 0777) == 0, "the file itself is the .bak");
        ::chmod((path + ".bak").c_str(), 0600);
        check(readAll(path + ".bak") == mine, "the .bak holds the user's file");

        // In a folder that cannot be written to, the file can be neither moved nor replaced.
        const fs::path locked = dir / "locked";
        fs::create_directory(locked);
        const std::string lockedPath = (locked / "win32.xml").string();
        writeAll(lockedPath, mine);
        ::chmod(lockedPath.c_str(), 0);
        ::chmod(locked.c_str(), 0555);
        check(!flikka::loadSettings(lockedPath), "the locked file loads as the defaults");
        check(saveError(lockedPath) == "Cannot open configuration file for writing", "the locked save fails");
        check(entries(locked) == std::set<std::string>{"win32.xml"}, "nothing is added to the locked folder");
        ::chmod(locked.c_str(), 0755);
        ::chmod(lockedPath.c_str(), 0600);
        check(readAll(lockedPath) == mine, "the locked file is untouched");

        // Readable but not writable for this user: write-protected, as the kernel sees it.
        writeAll(path, mine);
        ::chmod(path.c_str(), 0444);
        check(flikka::loadSettings(path), "a read-only file loads");
        check(!saveError(path).empty(), "its save fails");
        check(readAll(path) == mine, "and leaves it");
        return ok;
    });
    if (result == kSkipped) GTEST_SKIP() << "skipped: no unprivileged user to run as (setresuid to nobody failed)";
    EXPECT_EQ(result, 0) << "see the failed checks above";
}

}  // namespace
