#include "ui/MenuScreen.h"

#include "platform/Gamepad.h"
#include "platform/Platform.h"
#include "ui/FormationEditor.h"
#include "ui/Graphics.h"
#include "ui/Menu.h"
#include "ui/StatisticsScreen.h"
#include "ui/Colours.h"

namespace flikka {

namespace {

using namespace colours;

constexpr int kFirstLine = 2;

void drawCentred(platform::Font& font, int centreX, int top, const std::string& text, platform::Color color) {
    font.draw(static_cast<float>(centreX - font.textWidth(text) / 2), static_cast<float>(top), text, color);
}

// Draws a background image centred in the window and returns its top edge.
int drawCentredBackground(CGraphics& g, platform::Image& image) {
    const int top = (g.windowHeight() - image.height()) / 2;
    image.draw(static_cast<float>(g.windowWidth() - image.width()) * 0.5f, static_cast<float>(top));
    return top;
}

}  // namespace

std::string menuItemText(const CMenu& menu, const CMenuNode& item, bool selected) {
    if (selected && menu.captureNode() == &item) return "???";
    std::string text = item.label();
    if (selected && item.choices.size() >= 2) text = "< " + text + " >";
    if (item.isKeyItem) {
        text += "(" + (item.isPadButton ? platform::padButtonName(item.keyCode) : platform::keyName(item.keyCode)) + ")";
    }
    return text;
}

int menuItemTop(CGraphics& g, int top, int line) { return top + (g.mainFont().height() + 4) * line + 70; }

void drawMenuScreen(CGraphics& g, bool noMatchBehind) {
    const CMenu* menu = g.menu();
    if (menu == nullptr || menu->current() == nullptr) return;
    const int w = g.windowWidth();
    const int h = g.windowHeight();

    if (noMatchBehind) {
        g.pitch().draw(static_cast<float>(w - g.pitchWidth()) * 0.5f, static_cast<float>(h - g.pitchHeight()) * 0.5f);
    }

    const CMenuNode* page = menu->current();
    if (page->isSpecialPage) {
        const int top = drawCentredBackground(g, g.menuBackgroundLarge());
        switch (page->id) {
            case MENU_HOME_FORMATION:
                drawFormationPage(g, true, top);
                break;
            case MENU_AWAY_FORMATION:
                drawFormationPage(g, false, top);
                break;
            case MENU_STATISTICS:
                drawStatisticsPage(g, top);
                break;
            case MENU_ABOUT:
                drawAboutPage(g, top);
                break;
            default:
                break;
        }
        return;
    }

    const int top = drawCentredBackground(g, g.menuBackground());
    platform::Font& font = g.menuFont();
    int line = kFirstLine;
    for (std::size_t i = 0; i < page->children.size(); ++i) {
        const CMenuNode& item = *page->children[i];
        if (item.isHidden) continue;
        const bool selected = i == page->selectedChild;
        drawCentred(font, w / 2, menuItemTop(g, top, line), menuItemText(*menu, item, selected), selected ? kRed : kWhite);
        ++line;
    }
}

void drawAboutPage(CGraphics& g, int top) {
    platform::Font& font = g.menuFont();
    const int centre = g.windowWidth() / 2;

    struct Credit {
        const char* role;
        const char* name;
    };
    static constexpr Credit kCredits[] = {{"advisor", "The Flikka team"}, {"programming & art", "The Flikka team"}};
    int y = top + 100;
    for (const Credit& c : kCredits) {
        font.draw(static_cast<float>(centre - 5 - font.textWidth(c.role)), static_cast<float>(y), c.role, kWhite);
        font.draw(static_cast<float>(centre + 5), static_cast<float>(y), c.name, kWhite);
        y += 20;
    }

    static constexpr const char* kDescription[] = {
        "A football game for one player",
        "eleven against eleven on a scrolling pitch",
        "with a ball that flies, curls and bounces",
        "made in 2026",
    };
    y = top + 200;
    for (const char* text : kDescription) {
        drawCentred(font, centre, y, text, kWhite);
        y += 20;
    }

    drawCentred(font, centre, top + 300, "questions, ideas and bug reports:", kWhite);
    drawCentred(font, centre, top + 320, "write to the Flikka team", kWhite);
    drawCentred(font, centre, top + 350, "fonts rendered from DejaVu Sans", kLightGrey);
}

}  // namespace flikka
