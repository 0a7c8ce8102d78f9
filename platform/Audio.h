#pragma once
// The game's speakers: short effects on free channels, and a few looping channels (the crowd)
// whose volume follows the play. No SDL in this header, so the sound director and its tests
// see only this interface; a test fakes it to record what was played.
#include <memory>
#include <string>

namespace flikka::platform {

class Audio {
public:
    using Effect = int;
    static constexpr Effect kNoEffect = -1;
    static constexpr int kLoopSlots = 2;

    virtual ~Audio() = default;

    // The default output device (SDL_AUDIODRIVER chooses it); throws PlatformError when there is
    // none or it cannot be opened.
    static std::unique_ptr<Audio> open();
    // Plays nothing and loads nothing: the game without a device.
    static std::unique_ptr<Audio> silent();

    virtual bool active() const = 0;
    // A WAV file; kNoEffect when it cannot be read.
    virtual Effect load(const std::string& path) = 0;
    // Plays once, volume 0..1, pan -1 (left) .. +1 (right). Dropped when every channel is busy.
    virtual void play(Effect effect, float volume, float pan) = 0;
    // Loops the effect on a slot (0 .. kLoopSlots-1) at a volume; volume 0 pauses the slot.
    virtual void loop(int slot, Effect effect, float volume) = 0;
    virtual void setLoopVolume(int slot, float volume) = 0;
};

}  // namespace flikka::platform
