#pragma once
// What the player hears: reads each match step's events and plays them, keeps the crowd's
// loops moving with the play, and clicks for the menu. Sound follows the match and never
// changes it; everything goes through the platform's audio interface, so a test can fake it.
#include <array>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "app/SoundEffects.h"
#include "platform/Audio.h"

namespace flikka {

class CMatch;
struct ExtraSettings;
struct MatchEvent;
enum class MenuCue;

enum class SoundScene { Menu, MatchPaused, Match };

// The device, or a silent stand-in and one line on `err` when there is none.
std::unique_ptr<platform::Audio> openAudioOrSilence(std::ostream& err);

class SoundDirector {
public:
    explicit SoundDirector(platform::Audio& audio);

    // Loads every effect from sfx/; returns the files that could not be read (none without a device).
    std::vector<std::string> loadEffects();

    // Every logic tick: the settings' volumes take effect at once, and the crowd follows the scene.
    void update(SoundScene scene, const ExtraSettings& settings, float dt);
    // After each match step: what the step did, and where the ball is for the crowd.
    void afterMatchStep(const CMatch& match);
    void menuCue(MenuCue cue);

    // 0 calm .. 1 on its feet.
    float crowdIntensity() const { return intensity_; }

private:
    void onEvent(const MatchEvent& e);
    void play(Sfx s, float gain, float pan, bool crowdSound = false);
    void excite(float level, float holdSeconds = 0.0f);
    void groan();

    platform::Audio& audio_;
    std::array<platform::Audio::Effect, kSfxCount> effects_{};
    float effectsVolume_ = 0.0f;
    float crowdVolume_ = 0.0f;
    bool loopsStarted_ = false;

    float clock_ = 0.0f;          // match seconds heard so far
    float pressure_ = 0.0f;       // the ball near a goal
    float excitement_ = 0.0f;     // after shots, woodwork and goals; fades
    float holdUntil_ = 0.0f;      // excitement kept up until then (after a goal)
    float intensity_ = 0.0f;      // what the loops play, smoothed
    float lastShot_ = -100.0f;
    float lastGroan_ = -100.0f;
    float loopLevel_[platform::Audio::kLoopSlots] = {};
};

}  // namespace flikka
