#include "tools/soundgen/Effects.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

namespace flikka::soundgen {

namespace {

constexpr float kPeak = 0.89f;  // -1 dBFS: never clipped, room for the mixer

// ---- Ball sounds ----

// A thump whose pitch falls as the ball leaves the foot, a leather slap over it.
struct Thump {
    float startHz, endHz, sweep;  // pitch glide and its time constant
    float bodyTau, bodyGain;
    float slapHz, slapTau, slapGain;
    float seconds;
};

Buffer thump(const Thump& k, std::uint32_t seed) {
    Noise noise(seed);
    Biquad slap;
    slap.bandpass(k.slapHz, 0.9f);
    Buffer b(samplesOf(k.seconds));
    float phase = 0.0f;
    for (std::size_t i = 0; i < b.size(); ++i) {
        const float t = timeOf(i);
        const float hz = k.endHz + (k.startHz - k.endHz) * std::exp(-t / k.sweep);
        phase += kTau * hz / kRate;
        const float body = std::sin(phase) * attackDecay(t, 0.0008f, k.bodyTau) * k.bodyGain;
        const float s = slap.step(noise.white()) * attackDecay(t, 0.0002f, k.slapTau) * k.slapGain;
        b[i] = body + s;
    }
    lowpass(b, 7000.0f);
    fadeEdges(b, 0.0005f, 0.02f);
    return b;
}

Buffer kick(bool hard) {
    Thump k = hard ? Thump{190, 58, 0.018f, 0.060f, 1.0f, 1700, 0.010f, 2.6f, 0.30f}
                   : Thump{160, 80, 0.020f, 0.035f, 0.6f, 2400, 0.006f, 2.0f, 0.20f};
    Buffer b = thump(k, hard ? 11 : 12);
    normalise(b, kPeak);
    return b;
}

Buffer bounce() {
    Buffer b = thump({120, 62, 0.025f, 0.045f, 1.0f, 900, 0.008f, 1.2f, 0.25f}, 13);
    lowpass(b, 2500.0f);
    normalise(b, kPeak);
    return b;
}

// Struck metal: the inharmonic partials of a free bar, each ringing down at its own rate,
// every partial doubled a little out of tune so that it beats like a real post.
Buffer clang(float baseHz, float seconds, std::uint32_t seed) {
    static constexpr std::array<float, 5> kRatio = {1.0f, 2.756f, 5.404f, 8.933f, 13.34f};
    static constexpr std::array<float, 5> kGain = {1.0f, 0.7f, 0.45f, 0.28f, 0.16f};
    static constexpr std::array<float, 5> kRing = {0.55f, 0.32f, 0.18f, 0.10f, 0.06f};
    Buffer b(samplesOf(seconds));
    for (std::size_t p = 0; p < kRatio.size(); ++p) {
        const float f = baseHz * kRatio[p];
        if (f > 16000.0f) continue;
        for (float detune : {1.0f, 1.0035f}) {
            const float w = kTau * f * detune / kRate;
            for (std::size_t i = 0; i < b.size(); ++i) {
                b[i] += 0.5f * kGain[p] * std::sin(w * static_cast<float>(i)) * attackDecay(timeOf(i), 0.0004f, kRing[p]);
            }
        }
    }
    normalise(b, 1.0f);
    // The ball's own thud at the moment of the hit.
    mixInto(b, thump({170, 70, 0.015f, 0.05f, 1.0f, 3000, 0.004f, 2.0f, 0.2f}, seed), 0, 0.8f);
    reverb(b, 0.18f, 0.72f);
    fadeEdges(b, 0.0005f, 0.15f);
    normalise(b, kPeak);
    return b;
}

// The ball into the net: a rush of noise whose brightness falls as the mesh stretches, with
// the mesh's rustle over it.
Buffer netSwish() {
    Noise noise(21);
    Wander rustle(noise, 45.0f);
    Biquad sweep, body;
    body.lowpass(500.0f, 0.7f);
    Buffer b(samplesOf(0.75f));
    for (std::size_t i = 0; i < b.size(); ++i) {
        const float t = timeOf(i);
        if (i % 32 == 0) sweep.bandpass(1400.0f + 3200.0f * std::exp(-t / 0.12f), 0.8f);
        const float n = noise.white();
        const float hiss = sweep.step(n) * (0.75f + 0.5f * rustle.step());
        const float env = attackDecay(t, 0.02f, 0.16f);
        b[i] = hiss * env + body.step(n) * attackDecay(t, 0.004f, 0.05f) * 0.8f;
    }
    fadeEdges(b, 0.002f, 0.1f);
    normalise(b, kPeak);
    return b;
}

Buffer keeperCatch() {
    Buffer b = thump({110, 60, 0.02f, 0.04f, 1.0f, 1100, 0.02f, 1.6f, 0.22f}, 31);
    // The gloves closing on the ball: a short second slap.
    mixInto(b, thump({90, 60, 0.02f, 0.02f, 0.3f, 1600, 0.01f, 1.0f, 0.08f}, 32), samplesOf(0.035f), 0.5f);
    lowpass(b, 4000.0f);
    normalise(b, kPeak);
    return b;
}

// ---- The referee's whistle ----

// A pea whistle: a tone near 3 kHz that the pea warbles in pitch and level some 30 times a
// second, over the breath. Each blast rises into its pitch and drops a little at its end.
constexpr float kWhistleHz = 3000.0f;

void blast(Buffer& b, float start, float seconds, std::uint32_t seed) {
    Noise noise(seed);
    Biquad breath;
    breath.bandpass(kWhistleHz, 4.0f);
    Biquad air;
    air.highpass(2000.0f, 0.7f);
    Wander jitter(noise, 8.0f);
    const std::size_t first = samplesOf(start);
    const std::size_t n = samplesOf(seconds);
    if (b.size() < first + n) b.resize(first + n, 0.0f);
    float phase = 0.0f, pea = 0.0f;
    for (std::size_t i = 0; i < n; ++i) {
        const float t = timeOf(i);
        const float fromEnd = seconds - t;
        pea += kTau * (29.0f + 3.0f * jitter.step()) / kRate;
        const float onset = 0.93f + 0.07f * smoothStep(t / 0.04f);
        const float release = 1.0f - 0.04f * smoothStep(1.0f - fromEnd / 0.05f);
        const float hz = kWhistleHz * onset * release * (1.0f + 0.022f * std::sin(pea));
        phase += kTau * hz / kRate;
        const float level = 1.0f - 0.32f * (0.5f + 0.5f * std::sin(pea + 0.6f));
        const float env = smoothStep(t / 0.015f) * smoothStep(fromEnd / 0.035f);
        const float tone = std::sin(phase) + 0.14f * std::sin(2.0f * phase) + 0.04f * std::sin(3.0f * phase);
        const float n0 = noise.white();
        b[first + i] += env * (level * tone * 0.8f + breath.step(n0) * 0.35f + air.step(n0) * 0.012f);
    }
}

Buffer whistle(std::initializer_list<std::pair<float, float>> blasts) {
    Buffer b;
    std::uint32_t seed = 41;
    for (auto [start, seconds] : blasts) blast(b, start, seconds, seed++);
    b.resize(b.size() + samplesOf(0.25f), 0.0f);
    reverb(b, 0.12f, 0.7f);  // the stadium answers
    fadeEdges(b, 0.0f, 0.05f);
    normalise(b, kPeak);
    return b;
}

// ---- The crowd ----

struct Vowel {
    float f1, f2;
};
constexpr Vowel kVowels[] = {{730, 1090}, {530, 1840}, {300, 2200}, {570, 840},
                             {320, 900},  {660, 1720}, {640, 1190}};
constexpr Vowel kCheer[] = {{750, 1150}, {700, 1250}, {660, 1700}, {600, 1000}};
constexpr Vowel kOh[] = {{480, 820}, {420, 780}, {520, 900}};

struct CrowdShape {
    int voices = 40;
    float pitchLo = 100.0f, pitchHi = 240.0f;
    // Babble: syllables and pauses; otherwise each voice holds one long cry.
    bool babble = true;
    float talk = 0.5f;      // share of time a babbling voice is sounding
    float onsetSpread = 0;  // cries: when they start
    float cryLo = 0, cryHi = 0;
    const Vowel* vowels = kVowels;
    std::size_t vowelCount = std::size(kVowels);
    float brightness = 3500.0f;  // lowpass of the whole: distance
    float wash = 0.3f;           // the unvoiced rumble of the stand
    float edge = 0.2f;           // the third formant: a shout's bite
    std::function<float(float)> level = [](float) { return 1.0f; };
    std::function<float(float)> pitch = [](float) { return 1.0f; };
};

// A band-limited sawtooth (a voice's glottal buzz): the step is smoothed by a polynomial.
float polyBlep(float t, float dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0f;
    }
    if (t > 1.0f - dt) {
        t = (t - 1.0f) / dt;
        return t * t + t + t + 1.0f;
    }
    return 0.0f;
}

struct Voice {
    float basePitch = 150.0f, gain = 1.0f, phase = 0.0f;
    Biquad f1, f2, f3;
    Glide formant1{600.0f, 0.04f}, formant2{1200.0f, 0.04f};
    Vowel target{600, 1200};
    Glide amp{0.0f, 0.03f};
    float ampTarget = 0.0f;
    std::size_t nextChange = 0;
    float cryStart = 0.0f, cryEnd = 0.0f;
};

Buffer crowd(const CrowdShape& shape, float seconds, std::uint32_t seed) {
    Noise noise(seed);
    const std::size_t n = samplesOf(seconds);
    Buffer b(n, 0.0f);
    std::vector<Voice> voices(static_cast<std::size_t>(shape.voices));
    for (Voice& v : voices) {
        v.basePitch = noise.uniform(shape.pitchLo, shape.pitchHi);
        v.gain = noise.uniform(0.25f, 1.0f);
        v.phase = noise.uniform();
        v.target = shape.vowels[noise.next() % shape.vowelCount];
        v.cryStart = noise.uniform(0.0f, shape.onsetSpread);
        v.cryEnd = v.cryStart + noise.uniform(shape.cryLo, shape.cryHi);
        v.nextChange = static_cast<std::size_t>(noise.uniform(0.0f, 0.3f) * kRate);
    }
    Wander vibrato(noise, 5.0f);
    for (Voice& v : voices) {
        for (std::size_t i = 0; i < n; ++i) {
            const float t = timeOf(i);
            if (shape.babble && i >= v.nextChange) {
                // Next syllable or pause: a new vowel, a new level.
                const bool sounding = noise.uniform() < shape.talk;
                v.ampTarget = sounding ? noise.uniform(0.4f, 1.0f) : 0.0f;
                v.target = shape.vowels[noise.next() % shape.vowelCount];
                v.nextChange = i + samplesOf(sounding ? noise.uniform(0.10f, 0.32f) : noise.uniform(0.05f, 0.5f));
            } else if (!shape.babble) {
                v.ampTarget = smoothStep((t - v.cryStart) / 0.12f) * smoothStep((v.cryEnd - t) / 0.3f);
            }
            const float a = v.amp.step(v.ampTarget);
            if (i % 64 == 0) {
                v.f1.bandpass(v.formant1.value(), 5.0f);
                v.f2.bandpass(v.formant2.value(), 7.0f);
                v.f3.bandpass(2600.0f + 0.3f * v.formant2.value(), 6.0f);
            }
            // Formant glides run at 1/64 of the rate: their time constants are set for it.
            if (i % 64 == 0) {
                for (int k = 0; k < 64; ++k) {
                    v.formant1.step(v.target.f1);
                    v.formant2.step(v.target.f2);
                }
            }
            const float hz = v.basePitch * shape.pitch(t) * (1.0f + 0.015f * vibrato.step());
            const float dt = hz / kRate;
            v.phase += dt;
            if (v.phase >= 1.0f) v.phase -= 1.0f;
            const float buzz = (2.0f * v.phase - 1.0f) - polyBlep(v.phase, dt);
            const float src = buzz + 0.15f * noise.white();
            b[i] += a * v.gain * (v.f1.step(src) + 0.6f * v.f2.step(src) + shape.edge * v.f3.step(src));
        }
    }
    // The stand's unvoiced rumble: feet, clothes, a hundred far-away voices.
    Biquad washLow, washBand;
    washLow.lowpass(900.0f, 0.7f);
    washBand.bandpass(450.0f, 0.8f);
    Wander swell(noise, 0.7f);
    const float washGain = shape.wash * static_cast<float>(shape.voices) * 0.06f;
    for (std::size_t i = 0; i < n; ++i) {
        const float w = noise.white();
        b[i] += washGain * (0.8f + 0.2f * swell.step()) * (washLow.step(w) + washBand.step(w));
    }
    for (std::size_t i = 0; i < n; ++i) b[i] *= shape.level(timeOf(i));
    highpass(b, 90.0f);
    lowpass(b, shape.brightness);
    reverb(b, 0.3f, 0.78f);
    return b;
}

Buffer crowdLoop(bool excited) {
    CrowdShape s;
    if (excited) {
        s.voices = 56;
        s.pitchLo = 160.0f;
        s.pitchHi = 330.0f;
        s.talk = 0.75f;
        s.vowels = kCheer;
        s.vowelCount = std::size(kCheer);
        s.brightness = 4500.0f;
        s.wash = 0.35f;
        s.edge = 0.35f;
    } else {
        s.voices = 44;
        s.talk = 0.45f;
        s.brightness = 2800.0f;
        s.wash = 0.45f;
    }
    constexpr float kLoopSeconds = 8.0f, kCrossfade = 1.0f, kWarmUp = 0.5f;
    Buffer take = crowd(s, kLoopSeconds + kCrossfade + kWarmUp, excited ? 52 : 51);
    // The first half second has no reverberation yet: not part of the loop.
    take.erase(take.begin(), take.begin() + static_cast<std::ptrdiff_t>(samplesOf(kWarmUp)));
    Buffer loop = makeLoop(take, kCrossfade);
    normalise(loop, kPeak);
    return loop;
}

// Everyone up at once: the cry swells for about three seconds, pitch rising as it builds,
// then dies away into applause.
Buffer goalRoar() {
    CrowdShape s;
    s.voices = 70;
    s.babble = false;
    s.pitchLo = 170.0f;
    s.pitchHi = 360.0f;
    s.onsetSpread = 0.6f;
    s.cryLo = 2.2f;
    s.cryHi = 3.6f;
    s.vowels = kCheer;
    s.vowelCount = std::size(kCheer);
    s.brightness = 5000.0f;
    s.wash = 0.5f;
    s.edge = 0.45f;
    s.level = [](float t) { return (0.25f + 0.75f * smoothStep(t / 1.6f)) * (1.0f - 0.85f * smoothStep((t - 3.0f) / 2.2f)); };
    s.pitch = [](float t) { return 1.0f + 0.2f * smoothStep(t / 1.4f) - 0.08f * smoothStep((t - 2.6f) / 1.0f); };
    Buffer b = crowd(s, 5.5f, 61);
    // Applause: many short hand claps, thickening as the cry fades.
    Noise noise(62);
    Biquad clap;
    clap.bandpass(1500.0f, 1.2f);
    Buffer claps(b.size(), 0.0f);
    for (int k = 0; k < 900; ++k) {
        const float at = noise.uniform(0.8f, 5.2f);
        const float g = noise.uniform(0.2f, 1.0f) * smoothStep((at - 0.8f) / 1.5f) * (1.0f - smoothStep((at - 4.2f) / 1.0f));
        const std::size_t first = samplesOf(at);
        for (std::size_t i = 0; i < samplesOf(0.012f) && first + i < claps.size(); ++i) {
            claps[first + i] += g * noise.white() * std::exp(-timeOf(i) / 0.003f);
        }
    }
    for (float& x : claps) x = clap.step(x);
    mixInto(b, claps, 0, 0.25f * peak(b) / std::max(peak(claps), 1e-6f));
    saturate(b, 2.0f);
    fadeEdges(b, 0.05f, 0.4f);
    normalise(b, kPeak);
    return b;
}

// A shot just wide: the held breath goes out of the stand as a falling "oh".
Buffer groan() {
    CrowdShape s;
    s.voices = 56;
    s.babble = false;
    s.pitchLo = 150.0f;
    s.pitchHi = 300.0f;
    s.onsetSpread = 0.15f;
    s.cryLo = 0.8f;
    s.cryHi = 1.5f;
    s.vowels = kOh;
    s.vowelCount = std::size(kOh);
    s.brightness = 2600.0f;
    s.wash = 0.35f;
    s.level = [](float t) { return smoothStep(t / 0.2f) * (1.0f - smoothStep((t - 0.5f) / 1.3f)); };
    s.pitch = [](float t) { return 1.25f - 0.45f * smoothStep(t / 1.4f); };
    Buffer b = crowd(s, 2.2f, 71);
    saturate(b, 1.5f);
    fadeEdges(b, 0.01f, 0.3f);
    normalise(b, kPeak);
    return b;
}

// ---- The menu ----

Buffer tick(float hz, float seconds, float tau) {
    Buffer b(samplesOf(seconds));
    for (std::size_t i = 0; i < b.size(); ++i) {
        const float t = timeOf(i);
        const float w = kTau * hz * t;
        b[i] = (std::sin(w) + 0.3f * std::sin(2.0f * w)) * attackDecay(t, 0.0006f, tau);
    }
    fadeEdges(b, 0.0f, 0.004f);
    return b;
}

Buffer menuMove() {
    Buffer b = tick(1900.0f, 0.035f, 0.006f);
    normalise(b, 0.6f);
    return b;
}

Buffer menuSelect() {
    Buffer b = tick(880.0f, 0.06f, 0.02f);
    mixInto(b, tick(1320.0f, 0.09f, 0.03f), samplesOf(0.045f), 1.0f);
    fadeEdges(b, 0.0f, 0.01f);
    normalise(b, 0.7f);
    return b;
}

}  // namespace

bool isLoop(Sfx which) { return which == Sfx::Crowd || which == Sfx::CrowdExcited; }

Buffer makeEffect(Sfx which) {
    switch (which) {
        case Sfx::KickSoft: return kick(false);
        case Sfx::KickHard: return kick(true);
        case Sfx::Bounce: return bounce();
        case Sfx::Post: return clang(640.0f, 1.4f, 81);
        case Sfx::Crossbar: return clang(500.0f, 1.6f, 82);
        case Sfx::Net: return netSwish();
        case Sfx::KeeperCatch: return keeperCatch();
        case Sfx::WhistleShort: return whistle({{0.0f, 0.3f}});
        case Sfx::WhistleLong: return whistle({{0.0f, 0.95f}});
        case Sfx::WhistleHalfTime: return whistle({{0.0f, 0.8f}, {1.05f, 0.95f}});
        case Sfx::WhistleFullTime: return whistle({{0.0f, 0.55f}, {0.75f, 0.55f}, {1.5f, 1.3f}});
        case Sfx::Crowd: return crowdLoop(false);
        case Sfx::CrowdExcited: return crowdLoop(true);
        case Sfx::GoalRoar: return goalRoar();
        case Sfx::Groan: return groan();
        case Sfx::MenuMove: return menuMove();
        case Sfx::MenuSelect: return menuSelect();
        case Sfx::Count: break;
    }
    return {};
}

}  // namespace flikka::soundgen
