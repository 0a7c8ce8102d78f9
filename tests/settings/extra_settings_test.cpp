// config/flikka.xml: every field survives a round trip, a bad value costs only itself, and a
// file that cannot be used is kept aside before the first save replaces it.
#include "settings/ExtraSettings.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;
using flikka::ExtraSettings;
using flikka::extraSettings;

namespace {

std::string readAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ExtraSettingsFile : public ::testing::Test {
protected:
    fs::path dir;
    std::string path;

    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() / ("flikka-extra-" + std::to_string(::getpid()) + "-" + info->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        path = (dir / "flikka.xml").string();
        flikka::loadExtraSettings((dir / "absent.xml").string());
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    bool load(const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
        return flikka::loadExtraSettings(path);
    }
};

TEST_F(ExtraSettingsFile, EveryFieldRoundTrips) {
    ExtraSettings& s = extraSettings();
    s.rules = 1;
    s.autoSwitch = false;
    s.effectsVolume = 0;
    s.crowdVolume = 100;
    s.mute = true;
    s.padPass = 5;
    s.padShoot = 20;
    s.padCross = 7;
    s.padSwitch = 8;
    s.padThru = 10;
    s.rumble = false;
    s.scaling = 1;
    s.windowWidth = 1234;
    s.windowHeight = 777;
    s.goalReplays = false;
    s.player2Keys[0] = 100;
    s.player2Keys[9] = 255;
    const ExtraSettings written = s;
    flikka::saveExtraSettings(path);
    s.resetToDefaults();
    ASSERT_TRUE(flikka::loadExtraSettings(path));
    EXPECT_EQ(flikka::extraSettingsFileText(s), flikka::extraSettingsFileText(written));
    EXPECT_EQ(readAll(path), flikka::extraSettingsFileText(written));
    EXPECT_NE(readAll(path).find("<parameter name=\"rules\" value=\"full\"/>"), std::string::npos);
}

TEST_F(ExtraSettingsFile, BadValuesFallBackOneByOne) {
    ASSERT_TRUE(load("<?xml version=\"1.0\"?>\n<config>\n"
                     "<parameter name=\"rules\" value=\"fancy\"/>\n"
                     "<parameter name=\"effects_volume\" value=\"101\"/>\n"
                     "<parameter name=\"crowd_volume\" value=\"7\"/>\n"
                     "<parameter name=\"mute\" value=\"yes\"/>\n"
                     "<parameter name=\"scaling\" value=\"sharp\"/>\n"
                     "<parameter name=\"pad_pass\" value=\"-1\"/>\n"
                     "<parameter name=\"p2_key_left\" value=\"0\"/>\n"
                     "<parameter name=\"p2_key_up\" value=\"80\"/>\n"
                     "<parameter name=\"no_such_thing\" value=\"1\"/>\n"
                     "</config>"));
    const ExtraSettings& s = extraSettings();
    const ExtraSettings d;
    EXPECT_EQ(s.rules, d.rules);
    EXPECT_EQ(s.effectsVolume, d.effectsVolume);
    EXPECT_EQ(s.crowdVolume, 7);
    EXPECT_EQ(s.mute, d.mute);
    EXPECT_EQ(s.scaling, 1);
    EXPECT_EQ(s.padPass, d.padPass);
    EXPECT_EQ(s.player2Keys[0], d.player2Keys[0]);
    EXPECT_EQ(s.player2Keys[2], 80);
}

TEST_F(ExtraSettingsFile, UnusableFileGivesDefaultsAndIsKeptAtTheFirstSave) {
    extraSettings().crowdVolume = 3;
    EXPECT_FALSE(load("not xml at all <"));
    EXPECT_EQ(extraSettings().crowdVolume, ExtraSettings{}.crowdVolume);
    flikka::saveExtraSettings(path);
    EXPECT_EQ(readAll(path + ".bak"), "not xml at all <");
    EXPECT_EQ(readAll(path), flikka::extraSettingsFileText(ExtraSettings{}));
    // The second save of the run must not replace the kept copy with our own file.
    flikka::saveExtraSettings(path);
    EXPECT_EQ(readAll(path + ".bak"), "not xml at all <");
}

}  // namespace
