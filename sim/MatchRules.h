#pragma once
// Every switch and number in which the full rules differ from the classic game. A match takes
// its rules at its new-match set-up and keeps them to the end. Classic is the original game
// exactly: each field's classic value must leave play bit for bit as it was (a switch off, a
// count of 0 meaning never).

namespace flikka {

enum class RulesKind { Classic = 0, Full = 1 };

struct MatchRules {
    RulesKind kind = RulesKind::Classic;

    // The human: control passes to the footballer best placed to win the ball when the
    // opponents gain it, then at most every autoSwitchSteps while they keep it.
    bool autoSwitch = false;
    int autoSwitchSteps = 0;
    // A restart the human's side leaves untaken this many steps is taken by the computer.
    int idleRestartSteps = 0;

    // Defending: the nearest footballer closes the carrier down, a second covers his lane to goal.
    bool closeDown = false;
    float coverDistance = 0.0f;  // metres goal-side of the carrier
    // Kick-offs: the defending side stands in a compact block; the receiver plays it back.
    bool compactKickOff = false;
    bool kickOffBackPass = false;

    // Shooting: aimed at the open part of the goal, with an error that grows with distance,
    // pressure and the body's angle to the goal; only clear chances are taken.
    bool aimedShots = false;
    // A chance worth this much is taken, or this much with an opponent on him; from within
    // longShotRange, with at most one man in the way, he also tries his luck this often a decision.
    float shotValue = 0.0f;
    float pressedShotValue = 0.0f;
    float longShotRange = 0.0f;
    float longShotChance = 0.0f;
    // A shot's spread (rad): a base, per metre to the goal, per radian of body to goal.
    float shotSpread = 0.0f;
    float shotSpreadPerMetre = 0.0f;
    float shotBodySpread = 0.0f;
    // Keepers: a dive starts this late (s) and covers at most this many metres a second of the
    // time left, so a hard, placed shot beats them; 0 keeps the classic reach.
    float keeperReaction = 0.0f;
    float keeperDiveSpeed = 0.0f;
    // A diving keeper's reach (m) from his body point; 0 keeps the classic arm's length.
    float keeperReach = 0.0f;
    // A loose ball faster than this (m/s) is stopped only close to the body: 1 m at this speed,
    // 6 cm less for every m/s more, never under 0.3 m. 0: a footballer always reaches 1 m.
    float controlSpeed = 0.0f;
    // The AI looks at the lane to a receiver as it is when it passes.
    bool freshPassLanes = false;
    // Passes go astray by a spread (rad, doubled under pressure), and lengths by a tenth of that
    // per 0.01 rad; 0: a pass goes where it is aimed.
    float passSpread = 0.0f;
    // Of the standing tackles that would win the ball, the share that does (0: all, as classic).
    float tackleSuccess = 0.0f;
    // A won standing tackle knocks the ball loose this often instead of taking it cleanly.
    float looseTackleChance = 0.0f;
    // A footballer closed down with no safe pass clears the ball towards touch.
    bool clearances = false;
    // Where such clearances start, in metres from the centre line into his own half (negative:
    // into the opponents' half); 0: his own third.
    float clearFrom = 0.0f;
    // A pass worth less than this is no safe pass (0: 3), and an opponent this near (m) is
    // closing him down (0: 2.5). Wider, the ball goes out of play more often, as in real football.
    float safePass = 0.0f;
    float clearMarking = 0.0f;
    // A keeper's kick and a corner aimed at a team-mate count as passes to him (for completion).
    bool countAimedKicks = false;
    // A clearance is no pass in the statistics.
    bool clearanceNoPass = false;

    // Fouls, free kicks with a wall, penalties and offside by the Law.
    bool fouls = false;
    // How likely a challenge is to be whistled, as a multiple of the base chances (0: 1).
    float foulScale = 0.0f;
    bool slidingTackles = false;
    // In his own area a defender slides this share of the chance elsewhere.
    float areaSlideShare = 0.0f;
    bool offside = false;
    float wallDistance = 0.0f;
    // A receiver up to this far (m) past the offside line looks level to the passer.
    float offsideMisjudge = 0.0f;
    // A footballer sees that he stands offside only every this many ms (0: every 250 ms).
    int offsideLookMs = 0;

    bool full() const { return kind == RulesKind::Full; }

    static MatchRules classic() { return MatchRules{}; }
    static MatchRules fullRules(bool autoSwitchOn = true) {
        MatchRules r;
        r.kind = RulesKind::Full;
        r.autoSwitch = autoSwitchOn;
        r.autoSwitchSteps = 100;    // 0.5 s
        r.idleRestartSteps = 2000;  // 10 s
        r.closeDown = true;
        r.coverDistance = 7.0f;
        r.compactKickOff = true;
        r.kickOffBackPass = true;
        r.aimedShots = true;
        r.shotValue = 5.0f;
        r.pressedShotValue = 3.5f;
        r.longShotRange = 30.0f;
        r.longShotChance = 0.3f;
        r.shotSpread = 0.03f;
        r.shotSpreadPerMetre = 0.003f;
        r.shotBodySpread = 0.05f;
        r.keeperReaction = 0.35f;
        r.keeperDiveSpeed = 1.5f;
        r.keeperReach = 1.2f;
        r.countAimedKicks = true;
        r.clearanceNoPass = true;
        r.controlSpeed = 10.0f;
        r.passSpread = 0.0f;
        r.freshPassLanes = false;
        r.looseTackleChance = 0.0f;
        r.tackleSuccess = 0.0f;
        r.clearances = true;
        r.clearFrom = -10.0f;
        r.safePass = 16.0f;
        r.clearMarking = 4.0f;
        r.fouls = true;
        r.foulScale = 1.5f;
        r.slidingTackles = true;
        r.areaSlideShare = 1.0f;
        r.offside = true;
        r.wallDistance = 9.15f;
        r.offsideMisjudge = 5.0f;
        r.offsideLookMs = 2000;
        return r;
    }
    // The rules a match starts with from the settings' two choices (0 classic, 1 full).
    static MatchRules fromChoice(int rulesChoice, bool autoSwitchOn) {
        return rulesChoice == 1 ? fullRules(autoSwitchOn) : classic();
    }
};

inline const char* rulesName(RulesKind k) { return k == RulesKind::Full ? "full" : "classic"; }

}  // namespace flikka
