#include "ui/FormationEditor.h"

#include "match/Match.h"
#include "team/Formation.h"
#include "ui/Graphics.h"
#include "ui/Menu.h"
#include "ui/Colours.h"

namespace flikka {

namespace {

using namespace colours;

constexpr int kLines = 5;
constexpr int kConfirmIndex = 5;
constexpr int kSymbolGap = 20;
constexpr int kRowPitch = 40;

float px(int v) { return static_cast<float>(v); }

}  // namespace

FormationVerdict judgeFormation(const unsigned counts[5]) {
    const unsigned st = counts[0], m = counts[2], d = counts[4];
    const unsigned n = counts[0] + counts[1] + counts[2] + counts[3] + counts[4];
    FormationVerdict v;
    if (n < 10) {
        v.confirmVisible = false;
        v.color = kYellow;
        if (n == 0) v.message = "No players";
        else if (n == 1) v.message = "1 player ";
        else v.message = std::to_string(n) + " players ";
        v.message += " selected. Select a formation with at least 10 outfield players!";
        return v;
    }
    if (n > 10) {
        v.confirmVisible = false;
        v.color = kYellow;
        v.message = n < 16 ? std::to_string(n) + " players selected. Only 10 outfield players allowed!"
                           : "Waaay too many players selected.";
        return v;
    }
    if (st < 1) v.message += "It is advisable to choose at least one striker. ";
    if (st > 3) v.message += "Is this the Verdun offensive? ";
    if (m < 3) v.message += "Three midfielders are a reasonable minimum. ";
    if (d < 3) v.message += "Your defence could use more players, you are likely to concede a lot of goals. ";
    if (v.message.empty()) {
        v.color = kGreen;
        v.message = "This formation seems reasonable. Good luck! ";
    } else {
        v.message += "Nontheless, your formation is valid and you are free to play...";
    }
    return v;
}

platform::Color nextLabelColor(bool confirmVisible, bool confirmSelected) {
    if (!confirmVisible) return kDarkGrey;
    return confirmSelected ? kRed : kWhite;
}

std::string formationHeader(const std::string& teamName, bool home, int controlChoice) {
    switch (controlChoice) {
        case HUMAN_BOTH: return teamName + (home ? " (player 1)" : " (player 2)");
        case HUMAN_HOME_TWO: return teamName + (home ? " (players 1 and 2)" : " (computer)");
        default: break;
    }
    const bool user = home ? controlChoice == HUMAN_HOME : controlChoice == HUMAN_AWAY;
    return teamName + " (" + (user ? "user controlled" : "computer") + ")";
}

void drawFormationPage(CGraphics& g, bool home, int top) {
    const CMenu* menu = g.menu();
    if (menu == nullptr) return;
    const CMenuNode* page = menu->findNode(home ? MENU_HOME_FORMATION : MENU_AWAY_FORMATION);
    if (page == nullptr || page->children.size() <= static_cast<std::size_t>(kConfirmIndex)) return;

    unsigned counts[kLines];
    for (int i = 0; i < kLines; ++i) counts[i] = static_cast<unsigned>(page->children[static_cast<std::size_t>(i)]->choice);

    const int w = g.windowWidth();
    platform::Image& mini = g.miniPitch();
    const int left = w / 2 - 260;
    mini.draw(px(left), px(top + 85));
    const int cx = left + mini.width() / 2;

    // Rows from the front, each centred on the minipitch's centre line with 20-pixel gaps.
    platform::Sprite& symbol = g.setSprite(home ? SET_HOME_STANDING : SET_AWAY_STANDING, 5);
    const int sw = symbol.width();
    for (int line = 0; line < kLines; ++line) {
        const int n = static_cast<int>(counts[line]);
        const int rowTop = top + 125 + kRowPitch * line;
        for (int i = 0; i < n; ++i) {
            symbol.draw(px(cx + i * (sw + kSymbolGap) - (n * sw + kSymbolGap * n - kSymbolGap) / 2), px(rowTop));
        }
    }
    platform::Sprite& keeper = g.miniGoalkeeper();
    keeper.draw(px(cx) - static_cast<float>(keeper.width()) * 0.5f, px(top + 325));

    platform::Font& font = g.menuFont();
    if (page->selectedChild < static_cast<unsigned>(kLines)) {
        const std::string bracket = "<                   >";
        font.draw(px(cx - font.textWidth(bracket) / 2 + 1), px(top + 133 + kRowPitch * static_cast<int>(page->selectedChild)),
                  bracket, kRed);
    }

    int control = 0;
    if (const CMenuNode* c = menu->findNode(MENU_CONTROL)) control = c->choice;
    std::string teamName;
    if (const CMatch* m = g.match()) teamName = home ? m->home.name : m->away.name;

    const int x0 = w / 2 - 40;
    const int y0 = top + 100;
    font.draw(px(x0), px(y0), formationHeader(teamName, home, control), kWhite);
    font.draw(px(x0), px(y0 + 30), formationText(counts[0], counts[1], counts[2], counts[3], counts[4]), kWhite);

    // The confirm item hides by itself while the lines do not add up (see CMenu::build).
    const CMenuNode& confirm = *page->children[kConfirmIndex];
    const FormationVerdict verdict = judgeFormation(counts);
    font.drawWrapped(x0, y0 + 70, x0 + 290, y0 + 250, verdict.message, verdict.color);

    const std::string next = "next";
    const bool confirmSelected = page->selectedChild == static_cast<unsigned>(kConfirmIndex);
    font.draw(px(x0 + 145 - font.textWidth(next) / 2), px(y0 + 230), next,
              nextLabelColor(!static_cast<bool>(confirm.isHidden), confirmSelected));

    platform::Font& miniFont = g.miniFont();
    miniFont.draw(px(x0), px(y0 + 190), "use up and down arrow keys to select a formation line ", kGrey);
    miniFont.draw(px(x0), px(y0 + 200), "or the next button and left and right arrow keys to ", kGrey);
    miniFont.draw(px(x0), px(y0 + 210), "decrease the number of players in a line", kGrey);
}

}  // namespace flikka
