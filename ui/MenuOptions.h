#pragma once
// The menu's choice options, declared once: each names its item and page, its labels, the choice
// a fresh settings record shows, the settings file and parameters that keep it, and how a choice
// is read from and written to the settings. CMenu builds the options' items and applies them
// from this table alone, so a new option is one entry in MenuOptions.cpp (and, to be named
// elsewhere, an id in MenuId).
#include <functional>
#include <string>
#include <vector>

namespace flikka {

class CMenu;

// Which file keeps an option from one run to the next.
enum class SettingsFile { None, Win32, Flikka };

struct MenuOption {
    int id = 0;    // its item's MenuId
    int page = 0;  // the page it is on; options keep their table order there
    std::vector<std::string> labels;  // one per choice
    int defaultChoice = 0;            // what fresh settings show; the start for one kept by nothing
    SettingsFile file = SettingsFile::None;
    std::vector<std::string> keys;  // its parameters in that file (the picture size has two)
    // The choice the settings hold, and the settings a choice makes; both null for an option the
    // menu alone keeps (the new game's), whose item is read when it is needed.
    std::function<int(const CMenu&)> read;
    std::function<void(const CMenu&, int choice)> write;
    bool display = false;  // puts the display settings into effect; shown again after them
    // Labels that depend on the menu (the picture sizes it offers), instead of `labels`.
    std::function<std::vector<std::string>(const CMenu&)> labelsOf;
};

// Every choice option, pages in menu order.
const std::vector<MenuOption>& menuOptions();
// The option of an item; null for items that are no choice option.
const MenuOption* menuOption(int id);

}  // namespace flikka
