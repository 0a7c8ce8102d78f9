// The options table: each option is one item on its page as the table says, and each stored
// choice lives in its own parameters of its file.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "menu_fixture.h"
#include "settings/ExtraSettings.h"
#include "settings/Settings.h"
#include "ui/Menu.h"
#include "ui/MenuOptions.h"

namespace flikka {
namespace {

class MenuOptionsTest : public ::testing::Test {
protected:
    void SetUp() override { resetRecords(); }
    void TearDown() override { resetRecords(); }
    static void resetRecords() {
        settings().resetToDefaults();
        extraSettings().resetToDefaults();
    }
    CMenu& menu() {
        if (!menu_) menu_ = std::make_unique<CMenu>(nullptr, &keys);
        return *menu_;
    }

    testing::ScriptedKeyboard keys;
    std::unique_ptr<CMenu> menu_;
};

int countIds(const CMenuNode& node, int id) {
    int n = node.id == id ? 1 : 0;
    for (const auto& c : node.children) n += countIds(*c, id);
    return n;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

std::string fileText(SettingsFile file) {
    return file == SettingsFile::Win32 ? settingsFileText(settings()) : extraSettingsFileText(extraSettings());
}

bool parseFile(SettingsFile file, const std::string& text) {
    return file == SettingsFile::Win32 ? parseSettings(text, settings()) : parseExtraSettings(text, extraSettings());
}

TEST_F(MenuOptionsTest, EveryOptionIsOneItemOnItsPageWithTheTablesLabelsAndDefault) {
    ASSERT_GE(menuOptions().size(), 14u);
    for (const MenuOption& o : menuOptions()) {
        SCOPED_TRACE(o.id);
        const CMenuNode* item = menu().findNode(o.id);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(countIds(*menu().root(), o.id), 1);  // no other item, and no second entry, shares it
        ASSERT_NE(item->parent, nullptr);
        EXPECT_EQ(item->parent->id, o.page);
        EXPECT_EQ(item->choices, o.labelsOf ? o.labelsOf(menu()) : o.labels);
        EXPECT_GE(item->choices.size(), 2u);
        EXPECT_EQ(item->choice, o.defaultChoice);
        EXPECT_EQ(menuOption(o.id), &o);
        // Stored in a file or kept by the menu alone, never half of it.
        const bool stored = o.file != SettingsFile::None;
        EXPECT_EQ(!o.keys.empty(), stored);
        EXPECT_EQ(static_cast<bool>(o.read), stored);
        EXPECT_EQ(static_cast<bool>(o.write), stored);
    }
    EXPECT_EQ(menuOption(MENU_KEY_SHOOT), nullptr);
    EXPECT_EQ(menuOption(MENU_GAMEPAD), nullptr);
}

TEST_F(MenuOptionsTest, EveryStoredChoiceRoundTripsThroughItsOwnParameters) {
    const CMenu& m = menu();  // built on fresh records: the sizes offered are the standard ones
    for (const MenuOption& o : menuOptions()) {
        if (o.file == SettingsFile::None) continue;
        resetRecords();
        const std::vector<std::string> defaults = lines(fileText(o.file));
        const std::size_t count = (o.labelsOf ? o.labelsOf(m) : o.labels).size();
        for (int c = 0; c < static_cast<int>(count); ++c) {
            SCOPED_TRACE(o.keys.front() + " choice " + std::to_string(c));
            resetRecords();
            o.write(m, c);
            EXPECT_EQ(o.read(m), c);
            const std::string text = fileText(o.file);
            // Only the option's own parameters change, and only away from the default.
            const std::vector<std::string> written = lines(text);
            ASSERT_EQ(written.size(), defaults.size());
            int changed = 0;
            for (std::size_t i = 0; i < written.size(); ++i) {
                if (written[i] == defaults[i]) continue;
                ++changed;
                bool named = false;
                for (const std::string& k : o.keys) named |= written[i].find("name=\"" + k + "\"") != std::string::npos;
                EXPECT_TRUE(named) << written[i];
            }
            EXPECT_EQ(changed > 0, c != o.defaultChoice);
            // The next run reads the same choice back.
            resetRecords();
            ASSERT_TRUE(parseFile(o.file, text));
            EXPECT_EQ(o.read(m), c);
        }
    }
}

}  // namespace
}  // namespace flikka
