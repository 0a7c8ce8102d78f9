#pragma once
// The building blocks of the sound generator: a noise source, resonant filters, envelopes,
// mixing and the WAV writer. Mono 16-bit at 44.1 kHz, the device's own rate.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace flikka::soundgen {

constexpr int kRate = 44100;
constexpr float kTau = 6.2831853f;

using Buffer = std::vector<float>;

inline std::size_t samplesOf(float seconds) { return static_cast<std::size_t>(seconds * kRate + 0.5f); }
inline float timeOf(std::size_t i) { return static_cast<float>(i) / kRate; }

// A small generator of its own, so every file comes out the same on every build.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : s_(seed != 0 ? seed : 1u) {}
    std::uint32_t next() {
        s_ ^= s_ << 13;
        s_ ^= s_ >> 17;
        s_ ^= s_ << 5;
        return s_;
    }
    float uniform() { return static_cast<float>(next() >> 8) * (1.0f / 16777216.0f); }  // [0, 1)
    float uniform(float lo, float hi) { return lo + (hi - lo) * uniform(); }
    float white() { return uniform() * 2.0f - 1.0f; }

private:
    std::uint32_t s_;
};

// Second-order filter after the well-known audio cookbook formulas.
class Biquad {
public:
    void lowpass(float freq, float q);
    void highpass(float freq, float q);
    void bandpass(float freq, float q);  // 0 dB at the centre
    float step(float x) {
        const float y = b0_ * x + z1_;
        z1_ = b1_ * x - a1_ * y + z2_;
        z2_ = b2_ * x - a2_ * y;
        return y;
    }

private:
    void set(float b0, float b1, float b2, float a0, float a1, float a2);
    float b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
    float z1_ = 0, z2_ = 0;
};

// A value that glides to its target: the smoothing of every control signal here.
class Glide {
public:
    Glide(float value, float seconds) : v_(value), k_(seconds > 0 ? 1.0f - std::exp(-1.0f / (seconds * kRate)) : 1.0f) {}
    float step(float target) { return v_ += (target - v_) * k_; }
    float value() const { return v_; }

private:
    float v_;
    float k_;
};

// Noise that wanders smoothly between random values at about `rate` changes a second.
class Wander {
public:
    Wander(Noise& n, float rate) : noise_(n), glide_(n.white(), 0.5f / rate), period_(samplesOf(1.0f / rate)) {}
    float step() {
        if (++count_ >= period_) {
            count_ = 0;
            target_ = noise_.white();
        }
        return glide_.step(target_);
    }

private:
    Noise& noise_;
    Glide glide_;
    std::size_t period_;
    std::size_t count_ = 0;
    float target_ = 0.0f;
};

// Decay from 1 with time constant tau; attack: a rise of its own time constant before it.
inline float attackDecay(float t, float attack, float tau) {
    if (t < 0.0f) return 0.0f;
    const float rise = attack > 0.0f ? 1.0f - std::exp(-t / attack) : 1.0f;
    return rise * std::exp(-t / tau);
}
// 0 .. 1 over [0, 1] with zero slope at both ends.
inline float smoothStep(float x) {
    if (x <= 0.0f) return 0.0f;
    if (x >= 1.0f) return 1.0f;
    return x * x * (3.0f - 2.0f * x);
}

float peak(const Buffer& b);
float rms(const Buffer& b);
void scale(Buffer& b, float gain);
void normalise(Buffer& b, float peakLevel);
// Raised-cosine edges, so that no file starts or ends on a step (a click).
// Soft saturation of a take normalised to peak 1: the dense sound of a crowd stands louder for
// the same peak, the way a broadcast limiter makes it.
void saturate(Buffer& b, float drive);
void fadeEdges(Buffer& b, float inSeconds, float outSeconds);
void mixInto(Buffer& dst, const Buffer& src, std::size_t offset, float gain);
// A seamless loop from a take `crossfade` seconds longer than the loop: its tail is faded into
// its head with equal power, so that the last sample runs on into the first.
Buffer makeLoop(const Buffer& take, float crossfadeSeconds);
// A small stadium: parallel combs and allpasses, `wet` parts of the reverberation mixed in.
void reverb(Buffer& b, float wet, float decay);
void highpass(Buffer& b, float freq);
void lowpass(Buffer& b, float freq);

// 16-bit PCM, mono; throws std::runtime_error when the file cannot be written.
void writeWav(const std::string& path, const Buffer& b);

}  // namespace flikka::soundgen
