#include "app/SoundDirector.h"

#include <algorithm>
#include <cmath>
#include <ostream>

#include "platform/Platform.h"
#include "settings/ExtraSettings.h"
#include "settings/Paths.h"
#include "match/Match.h"
#include "sim/PitchGeometry.h"
#include "ui/Menu.h"

namespace flikka {

namespace {

// Levels of each sound at full volume, set by ear and by the levels of the files: the crowd
// roars over everything at a goal, the whistle cuts through, kicks sit under both.
constexpr float kKickGain = 0.55f;
constexpr float kBounceGain = 0.35f;
constexpr float kWoodworkGain = 0.8f;
constexpr float kNetGain = 0.7f;
constexpr float kCatchGain = 0.6f;
constexpr float kWhistleGain = 0.3f;
constexpr float kRoarGain = 1.0f;
constexpr float kGroanGain = 0.75f;
constexpr float kMenuGain = 0.5f;
constexpr float kCalmLoopGain = 0.45f;
constexpr float kExcitedLoopGain = 0.5f;

constexpr float kHardKickSpeed = 15.0f;  // m/s: from here the kick sounds hard
constexpr float kLoudKickSpeed = 30.0f;  // and at full level
constexpr float kQuietBounce = 1.5f;     // a rolling ball's small hops say nothing
constexpr float kLoudBounce = 10.0f;
constexpr float kPitchHalfWidth = pitch::kHalfWidth;
constexpr float kGoalLineY = pitch::kHalfLength;
constexpr float kPostX = pitch::kGoalHalfWidth;
constexpr float kNearMissWidth = 3.0f;    // beyond the post, still "just wide"
constexpr float kNearMissHeight = 4.5f;   // over the bar, still "just over"
constexpr float kShotMemory = 3.0f;       // seconds a shot can still end in a near miss
constexpr float kExcitementFade = 2.5f;   // seconds
constexpr float kRiseSeconds = 0.5f;
constexpr float kFallSeconds = 1.6f;

float clamp01(float x) { return std::clamp(x, 0.0f, 1.0f); }

// Ball sounds lean towards the side of the pitch they happen on, a little.
float panOf(const MatchEvent& e) { return std::clamp(e.where.x / kPitchHalfWidth, -1.0f, 1.0f) * 0.5f; }

}  // namespace

std::unique_ptr<platform::Audio> openAudioOrSilence(std::ostream& err) {
    try {
        return platform::Audio::open();
    } catch (const platform::PlatformError& e) {
        err << "Playing without sound: " << e.what() << std::endl;
        return platform::Audio::silent();
    }
}

SoundDirector::SoundDirector(platform::Audio& audio) : audio_(audio) {
    effects_.fill(platform::Audio::kNoEffect);
}

std::vector<std::string> SoundDirector::loadEffects() {
    std::vector<std::string> missing;
    if (!audio_.active()) return missing;
    for (std::size_t i = 0; i < kSfxCount; ++i) {
        const std::string path = paths::dataFile(std::string("sfx/") + kSfxFiles[i]);
        effects_[i] = audio_.load(path);
        if (effects_[i] == platform::Audio::kNoEffect) missing.push_back(path);
    }
    return missing;
}

void SoundDirector::update(SoundScene scene, const ExtraSettings& s, float dt) {
    effectsVolume_ = s.mute ? 0.0f : clamp01(static_cast<float>(s.effectsVolume) / 100.0f);
    crowdVolume_ = s.mute ? 0.0f : clamp01(static_cast<float>(s.crowdVolume) / 100.0f);

    float target = 0.0f;
    if (scene == SoundScene::Match) {
        target = clamp01(0.5f * pressure_ + excitement_);
    }
    const float k = 1.0f - std::exp(-dt / (target > intensity_ ? kRiseSeconds : kFallSeconds));
    intensity_ += (target - intensity_) * k;

    // The stand murmurs through a pause and falls silent in the menu.
    const float presence = scene == SoundScene::Match ? 1.0f : (scene == SoundScene::MatchPaused ? 0.5f : 0.0f);
    const float want[platform::Audio::kLoopSlots] = {
        crowdVolume_ * kCalmLoopGain * presence * (1.0f - 0.5f * intensity_),
        crowdVolume_ * kExcitedLoopGain * presence * intensity_,
    };
    // Glide so that a jump of the setting or the scene is a fade, not a step.
    const float glide = 1.0f - std::exp(-dt / 0.15f);
    for (int slot = 0; slot < platform::Audio::kLoopSlots; ++slot) {
        loopLevel_[slot] += (want[slot] - loopLevel_[slot]) * glide;
        if (want[slot] == 0.0f && loopLevel_[slot] < 0.002f) loopLevel_[slot] = 0.0f;
    }
    if (!loopsStarted_ && (loopLevel_[0] > 0.0f || loopLevel_[1] > 0.0f)) {
        audio_.loop(0, effects_[static_cast<std::size_t>(Sfx::Crowd)], loopLevel_[0]);
        audio_.loop(1, effects_[static_cast<std::size_t>(Sfx::CrowdExcited)], loopLevel_[1]);
        loopsStarted_ = true;
    } else if (loopsStarted_) {
        for (int slot = 0; slot < platform::Audio::kLoopSlots; ++slot) audio_.setLoopVolume(slot, loopLevel_[slot]);
    }
}

void SoundDirector::afterMatchStep(const CMatch& match) {
    clock_ += kStep;
    for (const MatchEvent& e : match.events) onEvent(e);

    // The crowd leans forward as the ball nears either goal.
    const Vector3& b = match.ball.position;
    const float toGoal = std::hypot(b.x, kGoalLineY - std::fabs(b.y));
    pressure_ = clamp01(1.0f - (toGoal - 8.0f) / 30.0f);
    if (clock_ >= holdUntil_) excitement_ *= std::exp(-kStep / kExcitementFade);
}

void SoundDirector::play(Sfx s, float gain, float pan, bool crowdSound) {
    const float v = gain * (crowdSound ? crowdVolume_ : effectsVolume_);
    if (v <= 0.0f) return;
    audio_.play(effects_[static_cast<std::size_t>(s)], v, pan);
}

void SoundDirector::excite(float level, float holdSeconds) {
    excitement_ = std::max(excitement_, level);
    holdUntil_ = std::max(holdUntil_, clock_ + holdSeconds);
}

void SoundDirector::groan() {
    if (clock_ - lastGroan_ < 2.0f) return;  // one groan for one chance
    lastGroan_ = clock_;
    play(Sfx::Groan, kGroanGain, 0.0f, true);
}

void SoundDirector::onEvent(const MatchEvent& e) {
    switch (e.kind) {
        case MatchEventKind::Kick: {
            if (e.kickKind == KickEventKind::Throw) break;  // hands make no sound worth hearing
            const float loud = clamp01(e.strength / kLoudKickSpeed);
            play(e.strength >= kHardKickSpeed ? Sfx::KickHard : Sfx::KickSoft, kKickGain * (0.3f + 0.7f * loud), panOf(e));
            if (e.kickKind == KickEventKind::Shot) {
                lastShot_ = clock_;
                excite(0.55f);
            }
            break;
        }
        case MatchEventKind::Bounce:
            if (e.strength >= kQuietBounce) play(Sfx::Bounce, kBounceGain * clamp01(e.strength / kLoudBounce), panOf(e));
            break;
        case MatchEventKind::Post:
        case MatchEventKind::Crossbar:
            play(e.kind == MatchEventKind::Post ? Sfx::Post : Sfx::Crossbar,
                 kWoodworkGain * (0.5f + 0.5f * clamp01(e.strength / 20.0f)), panOf(e));
            excite(0.9f);
            groan();
            break;
        case MatchEventKind::Net:
            play(Sfx::Net, kNetGain, panOf(e));
            break;
        case MatchEventKind::Goal:
            play(Sfx::GoalRoar, kRoarGain, 0.0f, true);
            excite(1.0f, 5.0f);
            lastGroan_ = clock_;  // the ball going out behind the net is no near miss
            break;
        case MatchEventKind::KeeperCatch:
            play(Sfx::KeeperCatch, kCatchGain, panOf(e));
            break;
        case MatchEventKind::KeeperParry:
            play(Sfx::KickHard, kKickGain * 0.8f, panOf(e));
            excite(0.7f);
            break;
        case MatchEventKind::Whistle:
            play(e.restartKind == KICK_OFF ? Sfx::WhistleLong : Sfx::WhistleShort, kWhistleGain, 0.0f);
            break;
        case MatchEventKind::HalfTime:
            play(Sfx::WhistleHalfTime, kWhistleGain, 0.0f);
            break;
        case MatchEventKind::FullTime:
            play(Sfx::WhistleFullTime, kWhistleGain, 0.0f);
            break;
        case MatchEventKind::OutOfPlay: {
            // Just wide or just over after a shot: the stand's "oh".
            const bool byTheGoal = std::fabs(e.where.y) >= kGoalLineY - 0.5f &&
                                   std::fabs(e.where.x) <= kPostX + kNearMissWidth && e.where.z <= kNearMissHeight;
            if (byTheGoal && clock_ - lastShot_ <= kShotMemory) {
                excite(0.7f);
                groan();
            }
            break;
        }
        case MatchEventKind::Penalty:
            excite(0.8f);
            break;
        case MatchEventKind::Possession:
        case MatchEventKind::KeeperDive:
        case MatchEventKind::KickOff:
        case MatchEventKind::Foul:
        case MatchEventKind::FreeKick:
        case MatchEventKind::Offside:
            break;
    }
}

void SoundDirector::menuCue(MenuCue cue) {
    play(cue == MenuCue::Move ? Sfx::MenuMove : Sfx::MenuSelect, kMenuGain, 0.0f);
}

}  // namespace flikka
