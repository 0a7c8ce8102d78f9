// flikka-sim: plays whole matches without a window, as the game would, and prints the
// referee's lines and the statistics of each match. Seeded like the game, so a run is
// reproducible; a scripted keyboard lets a "human" side play from a file.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "sim/KeyState.h"
#include "players/UserControl.h"
#include "sim/FlikkaException.h"
#include "match/Match.h"
#include "sim/MatchEvents.h"
#include "players/Player.h"
#include "sim/ScriptedKeyboard.h"
#include "match/TrajectoryHash.h"
#include "replay/Playback.h"
#include "replay/Recorder.h"
#include "replay/ReplayFile.h"
#include "settings/SafeFile.h"
#include "team/Formation.h"
#include "tools/sim/Bot.h"
#include "tools/sim/Summary.h"

namespace {

using namespace flikka;

constexpr float kDt = 0.005f;

#ifndef FLIKKA_VERSION
#define FLIKKA_VERSION "unknown"
#endif

const char* const kUsage =
    "usage: flikka-sim [options]\n"
    "  --length 300|600|900|1200   match length in real seconds (default 300)\n"
    "  --home ST,AM,M,DM,D         home line counts, 0 to 5 a line, adding up to 10\n"
    "                              (default 2,0,4,0,4)\n"
    "  --away ST,AM,M,DM,D         away line counts (default 2,0,4,0,4)\n"
    "  --human home|away|none|both|home2\n"
    "                              side played from the key script (default none); both: player 1\n"
    "                              home and player 2 away, home2: players 1 and 2 at home\n"
    "  --keys FILE                 player 1's key script: lines \"STEP SLOT down|up\"; STEP counts\n"
    "                              match steps from the start of the run, SLOT is 0..15\n"
    "  --keys2 FILE                player 2's key script, the same form\n"
    "  --matches N                 consecutive matches on one match object (default 1)\n"
    "  --json                      one JSON object per match on one line\n"
    "  --quiet                     no referee lines\n"
    "  --profile                   median and maximum CPU time of one match step\n"
    "  --hash                      a hash of each match's whole trajectory (ball and footballers)\n"
    "  --events                    the match events as JSON lines, after the step that made them\n"
    "  --record FILE               writes the (last) match played as a replay file\n"
    "  --replay FILE               plays a recorded match (replays/last.flr) and prints its score,\n"
    "                              referee lines and trajectory hash; takes the set-up from the file\n"
    "  --rules classic|full        the rules every match is played by (default classic)\n"
    "  --auto-switch on|off        full rules: control follows the ball (default on)\n"
    "  --bot                       a simple bot plays the human side instead of a key script\n"
    "  --summary                   football figures over all matches instead of each match's\n"
    "  --help                      this text\n"
    "  --version                   the version\n";

struct Options {
    int length = 300;
    unsigned home[5] = {2, 0, 4, 0, 4};
    unsigned away[5] = {2, 0, 4, 0, 4};
    int human = HUMAN_NONE;
    std::string keysFile;
    std::string keys2File;
    long matches = 1;
    bool json = false;
    bool quiet = false;
    bool profile = false;
    bool hash = false;
    bool events = false;
    bool help = false;
    MatchRules rules = MatchRules::classic();
    bool autoSwitch = true;
    bool bot = false;
    bool summary = false;
    bool version = false;
    std::string replayFile;
    std::string recordFile;
    // Set-up options given on the command line, which a replay takes from its file instead.
    std::vector<std::string> setUpFlags;
};

struct UsageError {
    std::string message;
};

bool parseWhole(const std::string& text, long long lo, long long hi, long long& out) {
    if (text.empty() || text.size() > 18) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    out = std::stoll(text);
    return out >= lo && out <= hi;
}

void parseCounts(const std::string& flag, const std::string& text, unsigned counts[5]) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, ',')) parts.push_back(part);
    if (!text.empty() && text.back() == ',') parts.push_back("");
    if (parts.size() != 5) throw UsageError{flag + " needs five counts ST,AM,M,DM,D, got \"" + text + "\""};
    unsigned parsed[CFormation::kLines] = {};
    for (int i = 0; i < 5; ++i) {
        long long v = 0;
        if (!parseWhole(parts[i], 0, 1000000, v)) throw UsageError{flag + ": bad count \"" + parts[i] + "\""};
        parsed[i] = static_cast<unsigned>(v);
    }
    // Refused here by the formation's own rules, rather than by the match once it is set up.
    static constexpr const char* kLineNames[CFormation::kLines] = {"ST", "AM", "M", "DM", "D"};
    const LineCountsCheck check = checkLineCounts(parsed);
    if (check.total != CFormation::kOutfieldPlayers) {
        throw UsageError{flag + ": the counts must add up to 10 outfield players, got " + std::to_string(check.total)};
    }
    if (!check.playable()) {
        throw UsageError{flag + ": at most " + std::to_string(CFormation::kMaxPerLine) + " players fit in a line, got " +
                         std::to_string(parsed[check.tooWide]) + " in " + kLineNames[check.tooWide]};
    }
    std::copy(std::begin(parsed), std::end(parsed), counts);
}

Options parseArguments(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) throw UsageError{arg + " needs a value"};
            return argv[++i];
        };
        if (arg == "--length" || arg == "--home" || arg == "--away" || arg == "--human" || arg == "--keys" || arg == "--keys2" ||
            arg == "--matches" || arg == "--profile" || arg == "--rules" || arg == "--auto-switch" || arg == "--bot" ||
            arg == "--summary") {
            o.setUpFlags.push_back(arg);
        }
        if (arg == "--help" || arg == "-h") {
            o.help = true;
        } else if (arg == "--version") {
            o.version = true;
        } else if (arg == "--length") {
            const std::string v = value();
            long long n = 0;
            if (!parseWhole(v, 0, 100000, n) || (n != 300 && n != 600 && n != 900 && n != 1200)) {
                throw UsageError{"--length must be 300, 600, 900 or 1200, got \"" + v + "\""};
            }
            o.length = static_cast<int>(n);
        } else if (arg == "--home") {
            parseCounts(arg, value(), o.home);
        } else if (arg == "--away") {
            parseCounts(arg, value(), o.away);
        } else if (arg == "--human") {
            const std::string v = value();
            if (v == "home") {
                o.human = HUMAN_HOME;
            } else if (v == "away") {
                o.human = HUMAN_AWAY;
            } else if (v == "none") {
                o.human = HUMAN_NONE;
            } else if (v == "both") {
                o.human = HUMAN_BOTH;
            } else if (v == "home2") {
                o.human = HUMAN_HOME_TWO;
            } else {
                throw UsageError{"--human must be home, away, none, both or home2, got \"" + v + "\""};
            }
        } else if (arg == "--keys") {
            o.keysFile = value();
        } else if (arg == "--keys2") {
            o.keys2File = value();
        } else if (arg == "--matches") {
            const std::string v = value();
            long long n = 0;
            if (!parseWhole(v, 1, 100000, n)) throw UsageError{"--matches must be a whole number from 1, got \"" + v + "\""};
            o.matches = static_cast<long>(n);
        } else if (arg == "--json") {
            o.json = true;
        } else if (arg == "--quiet") {
            o.quiet = true;
        } else if (arg == "--profile") {
            o.profile = true;
        } else if (arg == "--hash") {
            o.hash = true;
        } else if (arg == "--events") {
            o.events = true;
        } else if (arg == "--record") {
            o.recordFile = value();
        } else if (arg == "--replay") {
            o.replayFile = value();
        } else if (arg == "--rules") {
            const std::string v = value();
            if (v == "classic") {
                o.rules = MatchRules::classic();
            } else if (v == "full") {
                o.rules = MatchRules::fullRules();
            } else {
                throw UsageError{"--rules must be classic or full, got \"" + v + "\""};
            }
        } else if (arg == "--auto-switch") {
            const std::string v = value();
            if (v != "on" && v != "off") throw UsageError{"--auto-switch must be on or off, got \"" + v + "\""};
            o.autoSwitch = v == "on";
        } else if (arg == "--bot") {
            o.bot = true;
        } else if (arg == "--summary") {
            o.summary = true;
        } else {
            throw UsageError{"unknown argument \"" + arg + "\""};
        }
    }
    if (o.rules.full()) o.rules.autoSwitch = o.autoSwitch;
    if (o.bot && o.human == HUMAN_NONE) throw UsageError{"--bot needs --human home or away"};
    if (!o.keys2File.empty() && humansIn(o.human) < 2) throw UsageError{"--keys2 needs --human both or home2"};
    if (o.bot && !o.keysFile.empty()) throw UsageError{"--bot and --keys cannot be used together"};
    if (!o.replayFile.empty() && !o.recordFile.empty()) throw UsageError{"--replay cannot be combined with --record"};
    if (!o.replayFile.empty() && !o.setUpFlags.empty()) {
        throw UsageError{"--replay takes the match from its file; it cannot be combined with " + o.setUpFlags.front()};
    }
    return o;
}

std::vector<KeyChange> readKeyScript(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw UsageError{"cannot read the key script \"" + path + "\""};
    std::vector<KeyChange> events;
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        const std::size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#') continue;
        std::istringstream fields(line);
        std::string step, slot, action, extra;
        fields >> step >> slot >> action;
        long long s = 0, k = 0;
        const bool ok = parseWhole(step, 0, 1000000000000LL, s) && parseWhole(slot, 0, KeyState::kSlots - 1, k) &&
                        (action == "down" || action == "up") && !(fields >> extra);
        if (!ok) {
            throw UsageError{"key script \"" + path + "\" line " + std::to_string(lineNumber) +
                             ": expected \"STEP SLOT down|up\""};
        }
        events.push_back({static_cast<std::uint64_t>(s), static_cast<int>(k), action == "down"});
    }
    if (in.bad()) throw UsageError{"cannot read the key script \"" + path + "\""};
    std::stable_sort(events.begin(), events.end(), [](const KeyChange& a, const KeyChange& b) { return a.step < b.step; });
    return events;
}

std::string jsonString(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c));
            out += buf;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string teamJson(const CTeam& t, bool fullRules) {
    char buf[320];
    std::snprintf(buf, sizeof buf,
                  "{\"shots\":%d,\"shotsOnGoal\":%d,\"passes\":%d,\"successfulPasses\":%d,\"possession\":%.3f,"
                  "\"corners\":%d,\"throwIns\":%d",
                  t.shots, t.shotsOnGoal, t.passes, t.successfulPasses, static_cast<double>(t.possessionTime),
                  t.cornersFor, t.throwInsFor);
    std::string out = buf;
    if (fullRules) {
        std::snprintf(buf, sizeof buf, ",\"fouls\":%d,\"offsides\":%d,\"freeKicks\":%d,\"penalties\":%d", t.fouls,
                      t.offsides, t.freeKicks, t.penalties);
        out += buf;
    }
    return out + "}";
}

std::string jsonNumber(float v) {
    if (!std::isfinite(v)) return "null";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3f", static_cast<double>(v));
    return buf;
}

const char* restartName(int kind) {
    switch (kind) {
        case KICK_OFF: return "kick_off";
        case THROW_IN: return "throw_in";
        case CORNER: return "corner";
        case GOAL_KICK: return "goal_kick";
        case FREE_KICK: return "free_kick";
        case PENALTY: return "penalty";
        case INDIRECT_FREE_KICK: return "indirect_free_kick";
        default: return "none";
    }
}

// One event as a JSON object: step, minute and kind first, then the fields the kind uses.
std::string eventJson(const MatchEvent& e) {
    std::string s = "{\"step\":" + std::to_string(e.step) + ",\"minute\":" + std::to_string(e.minute) +
                    ",\"kind\":\"" + eventKindName(e.kind) + "\"";
    if (e.side != SIDE_NONE) s += std::string(",\"side\":\"") + (e.side == SIDE_HOME ? "home" : "away") + "\"";
    if (e.player != nullptr) {
        s += ",\"player\":" + std::to_string(e.playerIndex) + ",\"name\":" + jsonString(e.player->name);
    }
    auto at = [&](bool withY) {
        s += ",\"x\":" + jsonNumber(e.where.x);
        if (withY) s += ",\"y\":" + jsonNumber(e.where.y);
        s += ",\"z\":" + jsonNumber(e.where.z);
    };
    switch (e.kind) {
        case MatchEventKind::Kick:
            s += std::string(",\"kick\":\"") + kickEventKindName(e.kickKind) + "\",\"strength\":" + jsonNumber(e.strength);
            at(true);
            break;
        case MatchEventKind::Bounce:
        case MatchEventKind::Post:
        case MatchEventKind::Crossbar:
        case MatchEventKind::Net:
        case MatchEventKind::KeeperCatch:
        case MatchEventKind::KeeperParry:
        case MatchEventKind::KeeperDive:
            s += ",\"strength\":" + jsonNumber(e.strength);
            at(true);
            break;
        case MatchEventKind::Goal:
            s += std::string(",\"own_goal\":") + (e.ownGoal ? "true" : "false");
            at(false);
            break;
        case MatchEventKind::Whistle:
        case MatchEventKind::OutOfPlay:
            s += std::string(",\"restart\":\"") + restartName(e.restartKind) + "\"";
            at(true);
            break;
        case MatchEventKind::Possession:
        case MatchEventKind::KickOff:
            at(true);
            break;
        default: break;
    }
    return s + "}";
}

// "M:SS (P.P%)" as the statistics screen shows it; whole seconds are rounded before the shares.
std::string possessionText(float own, float other) {
    const long p1 = static_cast<long>(std::floor(own + 0.5f));
    const long p2 = static_cast<long>(std::floor(other + 0.5f));
    const float share = p1 + p2 == 0 ? 0.0f : static_cast<float>(p1) / static_cast<float>(p1 + p2);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%ld:%02ld (%.1f%%)", p1 / 60, p1 % 60, static_cast<double>(share * 100.0f));
    return buf;
}

void printStatistics(const CMatch& m) {
    std::printf("%s %d - %d %s\n", m.home.name.c_str(), m.homeScore, m.awayScore, m.away.name.c_str());
    auto row = [](const char* label, const std::string& h, const std::string& a) {
        std::printf("%-18s %16s %16s\n", label, h.c_str(), a.c_str());
    };
    auto num = [](int v) { return std::to_string(v); };
    row("", "HOME", "AWAY");
    row("goals scored", num(m.homeScore), num(m.awayScore));
    row("shots", num(m.home.shots), num(m.away.shots));
    row("shots on goal", num(m.home.shotsOnGoal), num(m.away.shotsOnGoal));
    row("passes", num(m.home.passes), num(m.away.passes));
    row("successful passes", num(m.home.successfulPasses), num(m.away.successfulPasses));
    row("possesion", possessionText(m.home.possessionTime, m.away.possessionTime),
        possessionText(m.away.possessionTime, m.home.possessionTime));
    row("corners for", num(m.home.cornersFor), num(m.away.cornersFor));
    row("throw ins for", num(m.home.throwInsFor), num(m.away.throwInsFor));
    if (m.rules.full()) {
        row("fouls", num(m.home.fouls), num(m.away.fouls));
        row("offsides", num(m.home.offsides), num(m.away.offsides));
        row("free kicks", num(m.home.freeKicks), num(m.away.freeKicks));
        row("penalties", num(m.home.penalties), num(m.away.penalties));
    }
}

// Thread CPU time: on a shared machine the wall clock would also count other programs' turns.
double cpuMicros() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e6 + static_cast<double>(ts.tv_nsec) * 1e-3;
}

struct StepTimes {
    double medianUs = 0.0;
    double maxUs = 0.0;
};

StepTimes summarise(std::vector<double>& us) {
    StepTimes t;
    if (us.empty()) return t;
    t.maxUs = *std::max_element(us.begin(), us.end());
    const std::size_t mid = us.size() / 2;
    std::nth_element(us.begin(), us.begin() + static_cast<std::ptrdiff_t>(mid), us.end());
    t.medianUs = us[mid];
    return t;
}

// Plays a replay file back as the game recorded it; status 3 when it does not come out as it did.
int runReplay(const Options& o) {
    replay::Replay recorded;
    std::string message;
    if (!replay::loadFile(o.replayFile, recorded, message)) {
        std::cerr << "flikka-sim: " << message << "\n";
        return 1;
    }
    replay::Playback playback(std::move(recorded));
    if (o.quiet) playback.match().console = nullptr;
    playback.start();
    while (!playback.finished()) playback.step();

    const CMatch& m = playback.match();
    if (o.json) {
        std::printf("{\"home\":%s,\"away\":%s,\"homeScore\":%d,\"awayScore\":%d,\"steps\":%llu,\"home_stats\":%s,"
                    "\"away_stats\":%s,\"hash\":\"%016llx\"}\n",
                    jsonString(m.home.name).c_str(), jsonString(m.away.name).c_str(), m.homeScore, m.awayScore,
                    static_cast<unsigned long long>(m.steps), teamJson(m.home, m.rules.full()).c_str(), teamJson(m.away, m.rules.full()).c_str(),
                    static_cast<unsigned long long>(playback.trajectoryHash()));
    } else {
        printStatistics(m);
        std::printf("trajectory hash %016llx\n", static_cast<unsigned long long>(playback.trajectoryHash()));
    }
    std::fflush(stdout);

    const replay::MatchOutcome& want = playback.replay().outcome;
    if (m.steps != want.steps || m.homeScore != want.homeScore || m.awayScore != want.awayScore ||
        playback.trajectoryHash() != want.trajectoryHash) {
        std::fprintf(stderr,
                     "flikka-sim: %s does not play back as recorded (recorded %d - %d in %llu steps, hash %016llx): "
                     "this build simulates differently from the one that made the file\n",
                     o.replayFile.c_str(), want.homeScore, want.awayScore, static_cast<unsigned long long>(want.steps),
                     static_cast<unsigned long long>(want.trajectoryHash));
        return 3;
    }
    return 0;
}

int run(const Options& o) {
    if (!o.replayFile.empty()) return runReplay(o);
    std::vector<KeyChange> script, script2;
    if (!o.keysFile.empty()) script = readKeyScript(o.keysFile);
    if (!o.keys2File.empty()) script2 = readKeyScript(o.keys2File);
    const bool twoHumans = humansIn(o.human) == 2;

    ScriptedKeyboard keyboard(std::move(script));
    BotKeyboard bot;
    const KeySampler keys{o.bot ? static_cast<const IKeyboardDevice*>(&bot) : &keyboard, ScriptedKeyboard::kKeyTable};
    ScriptedKeyboard keyboard2(std::move(script2));
    const KeySampler keys2{&keyboard2, ScriptedKeyboard::kKeyTable};
    CMatch m;
    if (o.quiet || o.summary) m.console = nullptr;
    const bool recording = !o.recordFile.empty();
    replay::MatchRecorder recorder;

    unsigned long long runStep = 0;
    // Stoppages stop the clock, so play can take longer than the length; far beyond that is a hang.
    const unsigned long long stepLimit = static_cast<unsigned long long>(o.length) * 2000ULL;
    std::vector<double> stepUs;
    MatchSummary summary;

    for (long match = 0; match < o.matches; ++match) {
        if (recording) recorder.beforeSetUp(m, o.home, o.away, static_cast<float>(o.length), o.human, kDt);
        m.newMatch(o.home, o.away, static_cast<float>(o.length), o.human, o.rules);
        if (recording) recorder.afterSetUp(m);
        unsigned long long steps = 0;
        stepUs.clear();
        TrajectoryHash trajectory;
        for (;;) {
            StepInput in;
            if (o.human != HUMAN_NONE) {
                keyboard.advanceTo(runStep);
                if (o.bot) bot.decide(m);
                in.slots[0] = keys.sample();
                if (twoHumans) {
                    keyboard2.advanceTo(runStep);
                    in.slots[1] = keys2.sample();
                }
                if (recording) recorder.beforeStep(m, in);
            }
            int result = 0;
            if (o.profile) {
                const double t0 = cpuMicros();
                result = m.step(in, kDt);
                stepUs.push_back(cpuMicros() - t0);
            } else {
                result = m.step(in, kDt);
            }
            if (o.hash) trajectory.add(m);
            if (o.events) {
                for (const MatchEvent& e : m.events) std::printf("%s\n", eventJson(e).c_str());
            }
            if (recording) recorder.afterStep(m, result);
            if (o.summary) summary.observe(m);
            ++runStep;
            ++steps;
            if (result == 2) break;  // full time; half time (1) just plays on
            if (steps > stepLimit) {
                std::cerr << "flikka-sim: match " << match + 1 << " did not reach full time in " << steps
                          << " steps\n";
                return 1;
            }
        }

        if (recording && match + 1 == o.matches &&
            !safe_file::replaceFile(o.recordFile, replay::encode(recorder.finish(m)))) {
            std::cerr << "flikka-sim: cannot write the replay \"" << o.recordFile << "\"\n";
            return 1;
        }
        const StepTimes times = summarise(stepUs);
        if (o.summary) {
            summary.endMatch(m);
            continue;
        }
        if (o.json) {
            std::string line = "{\"home\":" + jsonString(m.home.name) + ",\"away\":" + jsonString(m.away.name) +
                               ",\"homeScore\":" + std::to_string(m.homeScore) +
                               ",\"awayScore\":" + std::to_string(m.awayScore) + ",\"steps\":" + std::to_string(steps) +
                               ",\"home_stats\":" + teamJson(m.home, m.rules.full()) +
                               ",\"away_stats\":" + teamJson(m.away, m.rules.full());
            if (o.profile) {
                char buf[96];
                std::snprintf(buf, sizeof buf, ",\"stepMedianUs\":%.2f,\"stepMaxUs\":%.2f", times.medianUs, times.maxUs);
                line += buf;
            }
            std::printf("%s}\n", line.c_str());
        } else {
            printStatistics(m);
            if (o.profile) std::printf("match step (CPU time): median %.2f us, max %.2f us\n", times.medianUs, times.maxUs);
        }
        if (o.hash) std::printf("trajectory hash %016llx\n", static_cast<unsigned long long>(trajectory.value()));
        std::fflush(stdout);
    }
    if (o.summary) summary.print(stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    try {
        options = parseArguments(argc, argv);
        if (options.help) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (options.version) {
            std::printf("flikka-sim %s\n", FLIKKA_VERSION);
            return 0;
        }
        return run(options);
    } catch (const UsageError& e) {
        std::cerr << "flikka-sim: " << e.message << " (see --help)\n";
        return 2;
    } catch (const CFlikkaException& e) {
        std::cerr << "flikka-sim: " << e.what() << "\n";
        return 1;
    }
}
