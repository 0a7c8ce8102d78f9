// Sound output through SDL_mixer.
#include "platform/Audio.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/Platform.h"

namespace flikka::platform {

namespace {

constexpr int kRate = 44100;
constexpr int kChunkFrames = 1024;  // about 23 ms: short enough for a kick to land on time
constexpr int kChannels = 16;
constexpr int kEffectGroup = 1;

int mixVolume(float v) { return static_cast<int>(std::lround(std::clamp(v, 0.0f, 1.0f) * MIX_MAX_VOLUME)); }

class SilentAudio final : public Audio {
public:
    bool active() const override { return false; }
    Effect load(const std::string&) override { return kNoEffect; }
    void play(Effect, float, float) override {}
    void loop(int, Effect, float) override {}
    void setLoopVolume(int, float) override {}
};

class SdlAudio final : public Audio {
public:
    SdlAudio() {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            throw PlatformError(std::string("Cannot start the sound: ") + SDL_GetError());
        }
        if (Mix_OpenAudio(kRate, AUDIO_S16SYS, 2, kChunkFrames) != 0) {
            const std::string why = Mix_GetError();
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            throw PlatformError("Cannot open the sound device: " + why);
        }
        Mix_AllocateChannels(kChannels);
        // The first channels carry the loops; effects take any free one of the rest.
        Mix_ReserveChannels(kLoopSlots);
        Mix_GroupChannels(kLoopSlots, kChannels - 1, kEffectGroup);
    }
    ~SdlAudio() override {
        Mix_HaltChannel(-1);
        for (Mix_Chunk* c : chunks_) Mix_FreeChunk(c);
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    SdlAudio(const SdlAudio&) = delete;
    SdlAudio& operator=(const SdlAudio&) = delete;

    bool active() const override { return true; }

    Effect load(const std::string& path) override {
        Mix_Chunk* c = Mix_LoadWAV(path.c_str());
        if (c == nullptr) return kNoEffect;
        chunks_.push_back(c);
        return static_cast<Effect>(chunks_.size() - 1);
    }

    void play(Effect effect, float volume, float pan) override {
        Mix_Chunk* c = chunk(effect);
        const int v = mixVolume(volume);
        if (c == nullptr || v == 0) return;
        // Volume and balance are set on a channel that is not playing, so no buffer is mixed
        // with the last sound's settings.
        const int ch = Mix_GroupAvailable(kEffectGroup);
        if (ch < 0) return;
        Mix_Volume(ch, v);
        const float p = std::clamp(pan, -1.0f, 1.0f);
        // Balance rather than equal power: the centre stays at full level with no panning effect.
        Mix_SetPanning(ch, static_cast<Uint8>(std::lround(255.0f * std::min(1.0f, 1.0f - p))),
                       static_cast<Uint8>(std::lround(255.0f * std::min(1.0f, 1.0f + p))));
        Mix_PlayChannel(ch, c, 0);
    }

    void loop(int slot, Effect effect, float volume) override {
        Mix_Chunk* c = chunk(effect);
        if (c == nullptr || slot < 0 || slot >= kLoopSlots) return;
        Mix_Volume(slot, mixVolume(volume));
        Mix_PlayChannel(slot, c, -1);
        if (mixVolume(volume) == 0) Mix_Pause(slot);
        loopVolume_[slot] = mixVolume(volume);
    }

    void setLoopVolume(int slot, float volume) override {
        if (slot < 0 || slot >= kLoopSlots) return;
        const int v = mixVolume(volume);
        if (v == loopVolume_[slot]) return;
        Mix_Volume(slot, v);
        // A silent loop costs nothing while paused, and resumes where it stood.
        if (v == 0) Mix_Pause(slot);
        else if (loopVolume_[slot] == 0) Mix_Resume(slot);
        loopVolume_[slot] = v;
    }

private:
    Mix_Chunk* chunk(Effect e) const {
        return e >= 0 && static_cast<std::size_t>(e) < chunks_.size() ? chunks_[static_cast<std::size_t>(e)] : nullptr;
    }

    std::vector<Mix_Chunk*> chunks_;
    int loopVolume_[kLoopSlots] = {};
};

}  // namespace

std::unique_ptr<Audio> Audio::open() { return std::make_unique<SdlAudio>(); }
std::unique_ptr<Audio> Audio::silent() { return std::make_unique<SilentAudio>(); }

}  // namespace flikka::platform
