#pragma once
// Every switch and number in which the full rules differ from the classic game. A match takes
// its rules at its new-match set-up and keeps them to the end. Classic is the original game
// exactly: each field's classic value must leave play bit for bit as it was.

namespace flikka {

enum class RulesKind { Classic = 0, Full = 1 };

struct MatchRules {
    RulesKind kind = RulesKind::Classic;
    // Control passes to the footballer best placed to win the ball (full rules only).
    bool autoSwitch = false;

    bool full() const { return kind == RulesKind::Full; }

    static MatchRules classic() { return MatchRules{}; }
    static MatchRules fullRules(bool autoSwitchOn = true) {
        MatchRules r;
        r.kind = RulesKind::Full;
        r.autoSwitch = autoSwitchOn;
        return r;
    }
    // The rules a match starts with from the settings' two choices (0 classic, 1 full).
    static MatchRules fromChoice(int rulesChoice, bool autoSwitchOn) {
        return rulesChoice == 1 ? fullRules(autoSwitchOn) : classic();
    }
};

inline const char* rulesName(RulesKind k) { return k == RulesKind::Full ? "full" : "classic"; }

}  // namespace flikka
