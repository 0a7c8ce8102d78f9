#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <algorithm>

#include "sim/FlikkaException.h"

namespace fs = std::filesystem;
using flikka::Settings;
using flikka::settings;

namespace {

const char* const kDefaultFile =
    "<?xml version=\"1.0\"?>\n"
    "\n"
    "<config>\n"
    "\t<parameter name=\"h_res\" value=\"800\"/>\n"
    "\t<parameter name=\"v_res\" value=\"600\"/>\n"
    "\t<parameter name=\"fullscreen\" value=\"false\"/>\n"
    "\t<parameter name=\"radar\" value=\"true\"/>\n"
    "\t<parameter name=\"debug_info\" value=\"true\"/>\n"
    "\t<parameter name=\"color_depth\" value=\"32\"/>\n"
    "\n"
    "\t<parameter name=\"key_shoot\" value=\"68\"/>\n"
    "\t<parameter name=\"key_pass\" value=\"83\"/>\n"
    "\t<parameter name=\"key_thru\" value=\"81\"/>\n"
    "\t<parameter name=\"key_switch\" value=\"69\"/>\n"
    "\t<parameter name=\"key_cross\" value=\"65\"/>\n"
    "\t<parameter name=\"key_left\" value=\"37\"/>\n"
    "\t<parameter name=\"key_right\" value=\"39\"/>\n"
    "\t<parameter name=\"key_up\" value=\"38\"/>\n"
    "\t<parameter name=\"key_down\" value=\"40\"/>\n"
    "</config>";

std::string readAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeAll(const fs::path& p, const std::string& text) {
    std::ofstream out(p, std::ios::binary);
    out << text;
}

std::string config(const std::string& body) { return "<?xml version=\"1.0\"?>\n<config>\n" + body + "</config>"; }

void expectDefaults(const Settings& s) {
    const Settings d;
    EXPECT_EQ(s.vRes, d.vRes);
    EXPECT_EQ(s.hRes, d.hRes);
    EXPECT_EQ(s.colorDepth, d.colorDepth);
    EXPECT_EQ(s.fullscreen, d.fullscreen);
    EXPECT_EQ(s.radar, d.radar);
    EXPECT_EQ(s.debugInfo, d.debugInfo);
    for (int i = 0; i < Settings::kKeySlots; ++i) EXPECT_EQ(s.keys[i], d.keys[i]) << "slot " << i;
}

class SettingsFile : public ::testing::Test {
protected:
    fs::path dir;
    std::string path;

    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() / ("flikka-settings-" + std::to_string(::getpid()) + "-" + info->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        path = (dir / "win32.xml").string();
        settings().resetToDefaults();
        flikka::loadSettings((dir / "absent.xml").string());  // forget any earlier load's findings
        settings().resetToDefaults();
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    bool load(const std::string& text) {
        writeAll(path, text);
        return flikka::loadSettings(path);
    }
};

TEST_F(SettingsFile, DefaultsAreWrittenAsTheTwentyLineFile) {
    EXPECT_EQ(flikka::settingsFileText(Settings{}), kDefaultFile);
    flikka::saveSettings(path);
    const std::string written = readAll(path);
    EXPECT_EQ(written, kDefaultFile);
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 19);  // 20 lines, none after </config>
}

TEST_F(SettingsFile, WriteThenReadGivesBackEveryStoredField) {
    Settings& s = settings();
    s.vRes = 1080;
    s.hRes = 1920;
    s.colorDepth = 24;
    s.fullscreen = true;
    s.radar = false;
    s.debugInfo = false;
    for (int i = 0; i < Settings::kKeySlots; ++i) s.keys[i] = 100 + i;
    const Settings saved = s;
    flikka::saveSettings(path);

    s.resetToDefaults();
    ASSERT_TRUE(flikka::loadSettings(path));
    EXPECT_EQ(s.vRes, 1080);
    EXPECT_EQ(s.hRes, 1920);
    EXPECT_EQ(s.colorDepth, 24);
    EXPECT_TRUE(s.fullscreen);
    EXPECT_FALSE(s.radar);
    EXPECT_FALSE(s.debugInfo);
    const Settings defaults;
    for (int i = 0; i < Settings::kKeySlots; ++i) {
        const bool stored = i <= 7 || i == 9;
        EXPECT_EQ(s.keys[i], stored ? saved.keys[i] : defaults.keys[i]) << "slot " << i;
    }
}

TEST_F(SettingsFile, EmptyConfigKeepsTheRecordAndSucceeds) {
    EXPECT_TRUE(load("<config/>"));
    expectDefaults(settings());

    // The record is not reset before a successful read: absent settings keep what they had.
    settings().radar = false;
    settings().keys[4] = 90;
    EXPECT_TRUE(load(config("<parameter name=\"h_res\" value=\"1024\"/>")));
    EXPECT_EQ(settings().hRes, 1024);
    EXPECT_FALSE(settings().radar);
    EXPECT_EQ(settings().keys[4], 90);
}

TEST_F(SettingsFile, BadFullscreenValueResetsEverything) {
    EXPECT_FALSE(load(config("<parameter name=\"h_res\" value=\"1024\"/>\n"
                             "<parameter name=\"key_shoot\" value=\"70\"/>\n"
                             "<parameter name=\"radar\" value=\"false\"/>\n"
                             "<parameter name=\"fullscreen\" value=\"yes\"/>\n"
                             "<parameter name=\"v_res\" value=\"700\"/>\n")));
    expectDefaults(settings());

    EXPECT_TRUE(load(config("<parameter name=\"fullscreen\" value=\"true\"/>")));
    EXPECT_TRUE(settings().fullscreen);
    EXPECT_TRUE(load(config("<parameter name=\"fullscreen\" value=\"false\"/>")));
    EXPECT_FALSE(settings().fullscreen);
}

TEST_F(SettingsFile, FlagsAreTrueOnlyForExactTrue) {
    EXPECT_TRUE(load(config("<parameter name=\"radar\" value=\"TRUE\"/>\n"
                            "<parameter name=\"debug_info\" value=\"1\"/>\n")));
    EXPECT_FALSE(settings().radar);
    EXPECT_FALSE(settings().debugInfo);
    EXPECT_TRUE(load(config("<parameter name=\"radar\" value=\"true\"/>\n"
                            "<parameter name=\"debug_info\" value=\"true\"/>\n")));
    EXPECT_TRUE(settings().radar);
    EXPECT_TRUE(settings().debugInfo);
}

TEST_F(SettingsFile, UnsupportedColourDepthBecomesSixteen) {
    EXPECT_TRUE(load(config("<parameter name=\"color_depth\" value=\"15\"/>")));
    EXPECT_EQ(settings().colorDepth, 16);
    EXPECT_TRUE(load(config("<parameter name=\"color_depth\" value=\"24\"/>")));
    EXPECT_EQ(settings().colorDepth, 24);
    // Not an integer at all: the whole file is discarded instead.
    settings().colorDepth = 24;
    EXPECT_FALSE(load(config("<parameter name=\"h_res\" value=\"1024\"/><parameter name=\"color_depth\" value=\"deep\"/>")));
    expectDefaults(settings());
}

TEST_F(SettingsFile, ParameterElementsAndAttributesAreMatchedExactly) {
    EXPECT_TRUE(load(config(
        "<parameter value=\"1024\"/>\n"                                  // no name: ignored
        "<parameter name=\"h_res\"/>\n"                                   // no value: ignored
        "<param name=\"v_res\" value=\"abc\"/>\n"                         // not a parameter element
        "<parameter name=\"H_RES\" value=\"abc\"/>\n"                     // names are case-sensitive
        "<parameter name=\"sound\" value=\"loud\"/>\n"                    // unknown setting
        "<parameter value=\"768\" name=\"v_res\"/>\n"                   // attribute order does not matter
        "<parameter><parameter name=\"h_res\" value=\"abc\"/></parameter>\n"      // only the root's children
        )));
    EXPECT_EQ(settings().hRes, 800);
    EXPECT_EQ(settings().vRes, 768);
    EXPECT_TRUE(settings().radar);

    // tinyxml2 rejects a repeated attribute as malformed, so such a file gives the defaults.
    EXPECT_FALSE(load(config("<parameter name=\"radar\" name=\"v_res\" value=\"x\" value=\"768\"/>")));
    expectDefaults(settings());
    EXPECT_FALSE(load("<Config><parameter name=\"h_res\" value=\"1024\"/></Config>"));
    expectDefaults(settings());
    EXPECT_FALSE(load("<?xml version=\"1.0\"?>\n<!-- nothing -->\n"));
    expectDefaults(settings());
}

TEST_F(SettingsFile, IntegersMustBeWholeDecimalNumbers) {
    EXPECT_TRUE(load(config("<parameter name=\"h_res\" value=\" 1024 \"/><parameter name=\"v_res\" value=\"+768\"/>")));
    EXPECT_EQ(settings().hRes, 1024);
    EXPECT_EQ(settings().vRes, 768);

    for (const char* bad : {"12abc", "", " ", "abc", "0x400", "1024.0", "1e3", "--5", "+-5", "99999999999"}) {
        settings().resetToDefaults();
        EXPECT_FALSE(load(config(std::string("<parameter name=\"key_up\" value=\"50\"/><parameter name=\"v_res\" value=\"") +
                                 bad + "\"/>")))
            << bad;
        expectDefaults(settings());
    }

    // A bad key code is skipped; the slot keeps what it had and the rest of the file is read.
    settings().keys[0] = 90;
    EXPECT_TRUE(load(config("<parameter name=\"key_left\" value=\"12abc\"/>\n"
                            "<parameter name=\"key_right\" value=\"left\"/>\n"
                            "<parameter name=\"key_up\" value=\"87\"/>\n")));
    EXPECT_EQ(settings().keys[0], 90);
    EXPECT_EQ(settings().keys[1], 39);
    EXPECT_EQ(settings().keys[2], 87);
}

TEST_F(SettingsFile, ResolutionNoWindowCanHaveResetsEverything) {
    for (const char* bad : {"0", "-600", "16385", "2147483647"}) {
        for (const char* name : {"v_res", "h_res"}) {
            settings().resetToDefaults();
            EXPECT_FALSE(load(config(std::string("<parameter name=\"key_shoot\" value=\"70\"/><parameter name=\"") +
                                     name + "\" value=\"" + bad + "\"/>")))
                << name << "=" << bad;
            expectDefaults(settings());
        }
    }
    EXPECT_TRUE(load(config("<parameter name=\"h_res\" value=\"16384\"/><parameter name=\"v_res\" value=\"1\"/>")));
    EXPECT_EQ(settings().hRes, 16384);
    EXPECT_EQ(settings().vRes, 1);
}

TEST_F(SettingsFile, JunkFilesGiveTheDefaults) {
    EXPECT_FALSE(flikka::loadSettings(path));  // no file
    EXPECT_FALSE(flikka::settingsFileWasUnreadable());
    expectDefaults(settings());

    EXPECT_FALSE(load(""));
    EXPECT_TRUE(flikka::settingsFileWasUnreadable());
    EXPECT_FALSE(load("this is not xml"));

    std::string binary;
    for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 7919 + 13) & 0xFF);
    settings().hRes = 1;
    EXPECT_FALSE(load(binary));
    expectDefaults(settings());

    // 100000 levels of nesting must neither recurse the stack away nor be accepted.
    std::string deep = "<config>";
    for (int i = 0; i < 100000; ++i) deep += "<a>";
    for (int i = 0; i < 100000; ++i) deep += "</a>";
    deep += "</config>";
    EXPECT_FALSE(load(deep));
    std::string unclosed(100000, '<');
    EXPECT_FALSE(load("<config>" + unclosed));

    // A directory where the file should be is no file.
    fs::create_directory(dir / "sub.xml");
    EXPECT_FALSE(flikka::loadSettings((dir / "sub.xml").string()));
    expectDefaults(settings());
}

TEST_F(SettingsFile, LargeFilesLoadOrFailCleanly) {
    // 10 MB of valid parameters: read through, the last value wins.
    std::string body;
    const std::string line = "<parameter name=\"h_res\" value=\"1000\"/>\n";
    while (body.size() < 10u * 1024u * 1024u) body += line;
    body += "<parameter name=\"h_res\" value=\"1280\"/>\n";
    EXPECT_TRUE(load(config(body)));
    EXPECT_EQ(settings().hRes, 1280);

    // Beyond any sensible size the file is not even parsed.
    std::string huge(17u * 1024u * 1024u, ' ');
    EXPECT_FALSE(load(config(huge)));
    EXPECT_TRUE(flikka::settingsFileWasUnreadable());
    expectDefaults(settings());
}

TEST_F(SettingsFile, FailedSaveThrowsAndKeepsTheOldFile) {
    const std::string old = config("<parameter name=\"h_res\" value=\"1024\"/>");
    writeAll(path, old);
    settings().hRes = 640;

    // The configuration directory is missing.
    try {
        flikka::saveSettings((dir / "nodir" / "win32.xml").string());
        ADD_FAILURE() << "save did not throw";
    } catch (const flikka::CFlikkaException& e) {
        EXPECT_STREQ(e.what(), "Cannot open configuration file for writing");
    }
    EXPECT_FALSE(fs::exists(dir / "nodir"));
    EXPECT_EQ(readAll(path), old);

    // What stands at the path is no file to replace; the temporary file goes away again.
    fs::create_directories(dir / "occupied.xml" / "inside");
    EXPECT_THROW(flikka::saveSettings((dir / "occupied.xml").string()), flikka::CFlikkaException);
    EXPECT_EQ(readAll(path), old);

    // Each save has a temporary file of its own, so one left behind (here one a save was killed
    // in the middle of) is not in the way.
    fs::create_directory(path + ".tmp");
    flikka::saveSettings(path);
    fs::remove(path + ".tmp");

    // A successful save replaces the file and leaves nothing beside it.
    EXPECT_EQ(readAll(path), flikka::settingsFileText(settings()));
    int entries = 0;
    for (const auto& e : fs::directory_iterator(dir)) {
        EXPECT_TRUE(e.path().filename() == "win32.xml" || e.path().filename() == "occupied.xml") << e.path();
        ++entries;
    }
    EXPECT_EQ(entries, 2);
}

TEST_F(SettingsFile, UnreadableFileIsKeptAsBackupBeforeTheSave) {
    const std::string typo = config("<parameter name=\"key_shoot\" value=\"70\"/>\n"
                                    "<parameter name=\"fullscreen\" value=\"ture\"/>\n");
    EXPECT_FALSE(load(typo));
    EXPECT_TRUE(flikka::settingsFileWasUnreadable());
    flikka::saveSettings(path);
    EXPECT_EQ(readAll(path + ".bak"), typo);
    EXPECT_EQ(readAll(path), kDefaultFile);

    // A second save in the same run must not copy the defaults over the backup.
    settings().radar = false;
    flikka::saveSettings(path);
    EXPECT_EQ(readAll(path + ".bak"), typo);

    // Readable or missing files are not backed up.
    fs::remove(path + ".bak");
    EXPECT_TRUE(load(kDefaultFile));
    EXPECT_FALSE(flikka::settingsFileWasUnreadable());
    flikka::saveSettings(path);
    fs::remove(path);
    EXPECT_FALSE(flikka::loadSettings(path));
    flikka::saveSettings(path);
    EXPECT_FALSE(fs::exists(path + ".bak"));

    // If the backup cannot be made, the unreadable file is not overwritten.
    EXPECT_FALSE(load(typo));
    fs::create_directories(path + ".bak/inside");
    EXPECT_THROW(flikka::saveSettings(path), flikka::CFlikkaException);
    EXPECT_EQ(readAll(path), typo);
}

}  // namespace
