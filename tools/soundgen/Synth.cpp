#include "tools/soundgen/Synth.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>

namespace flikka::soundgen {

void Biquad::set(float b0, float b1, float b2, float a0, float a1, float a2) {
    b0_ = b0 / a0;
    b1_ = b1 / a0;
    b2_ = b2 / a0;
    a1_ = a1 / a0;
    a2_ = a2 / a0;
}

void Biquad::lowpass(float freq, float q) {
    const float w = kTau * std::min(freq, 0.45f * kRate) / kRate;
    const float c = std::cos(w), alpha = std::sin(w) / (2.0f * q);
    set((1 - c) / 2, 1 - c, (1 - c) / 2, 1 + alpha, -2 * c, 1 - alpha);
}

void Biquad::highpass(float freq, float q) {
    const float w = kTau * std::min(freq, 0.45f * kRate) / kRate;
    const float c = std::cos(w), alpha = std::sin(w) / (2.0f * q);
    set((1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + alpha, -2 * c, 1 - alpha);
}

void Biquad::bandpass(float freq, float q) {
    const float w = kTau * std::min(freq, 0.45f * kRate) / kRate;
    const float c = std::cos(w), alpha = std::sin(w) / (2.0f * q);
    set(alpha, 0, -alpha, 1 + alpha, -2 * c, 1 - alpha);
}

float peak(const Buffer& b) {
    float p = 0.0f;
    for (float x : b) p = std::max(p, std::fabs(x));
    return p;
}

float rms(const Buffer& b) {
    double s = 0.0;
    for (float x : b) s += static_cast<double>(x) * x;
    return b.empty() ? 0.0f : static_cast<float>(std::sqrt(s / static_cast<double>(b.size())));
}

void scale(Buffer& b, float gain) {
    for (float& x : b) x *= gain;
}

void normalise(Buffer& b, float peakLevel) {
    const float p = peak(b);
    if (p > 0.0f) scale(b, peakLevel / p);
}

void saturate(Buffer& b, float drive) {
    normalise(b, 1.0f);
    const float top = std::tanh(drive);
    for (float& x : b) x = std::tanh(drive * x) / top;
}

void fadeEdges(Buffer& b, float inSeconds, float outSeconds) {
    const std::size_t n = b.size();
    const std::size_t in = std::min(n, samplesOf(inSeconds));
    const std::size_t out = std::min(n, samplesOf(outSeconds));
    for (std::size_t i = 0; i < in; ++i) b[i] *= 0.5f - 0.5f * std::cos(3.14159265f * static_cast<float>(i) / in);
    for (std::size_t i = 0; i < out; ++i) b[n - 1 - i] *= 0.5f - 0.5f * std::cos(3.14159265f * static_cast<float>(i) / out);
}

void mixInto(Buffer& dst, const Buffer& src, std::size_t offset, float gain) {
    if (dst.size() < offset + src.size()) dst.resize(offset + src.size(), 0.0f);
    for (std::size_t i = 0; i < src.size(); ++i) dst[offset + i] += gain * src[i];
}

Buffer makeLoop(const Buffer& take, float crossfadeSeconds) {
    const std::size_t c = samplesOf(crossfadeSeconds);
    if (take.size() <= 2 * c) throw std::runtime_error("loop take shorter than two crossfades");
    const std::size_t n = take.size() - c;
    Buffer loop(take.begin(), take.begin() + static_cast<std::ptrdiff_t>(n));
    for (std::size_t i = 0; i < c; ++i) {
        const float a = 1.5707963f * static_cast<float>(i) / c;
        loop[i] = take[i] * std::sin(a) + take[n + i] * std::cos(a);
    }
    return loop;
}

namespace {

class Delay {
public:
    explicit Delay(std::size_t n) : line_(std::max<std::size_t>(n, 1), 0.0f) {}
    float read() const { return line_[pos_]; }
    void write(float x) {
        line_[pos_] = x;
        pos_ = (pos_ + 1) % line_.size();
    }

private:
    std::vector<float> line_;
    std::size_t pos_ = 0;
};

}  // namespace

void reverb(Buffer& b, float wet, float decay) {
    static constexpr float kCombMs[] = {29.7f, 37.1f, 41.1f, 43.7f, 53.3f};
    static constexpr float kAllpassMs[] = {5.0f, 1.7f};
    std::vector<Delay> combs;
    std::vector<Glide> damp;
    for (float ms : kCombMs) {
        combs.emplace_back(samplesOf(ms / 1000.0f));
        damp.emplace_back(0.0f, 0.00012f);  // a darker tail, as a large space has
    }
    std::vector<Delay> allpasses;
    for (float ms : kAllpassMs) allpasses.emplace_back(samplesOf(ms / 1000.0f));
    for (float& x : b) {
        float sum = 0.0f;
        for (std::size_t k = 0; k < combs.size(); ++k) {
            const float y = combs[k].read();
            combs[k].write(x + decay * damp[k].step(y));
            sum += y;
        }
        sum /= static_cast<float>(combs.size());
        for (Delay& a : allpasses) {
            const float d = a.read();
            const float y = -0.6f * sum + d;
            a.write(sum + 0.6f * y);
            sum = y;
        }
        x = x * (1.0f - wet) + sum * wet * 2.0f;
    }
}

void highpass(Buffer& b, float freq) {
    Biquad f;
    f.highpass(freq, 0.707f);
    for (float& x : b) x = f.step(x);
}

void lowpass(Buffer& b, float freq) {
    Biquad f;
    f.lowpass(freq, 0.707f);
    for (float& x : b) x = f.step(x);
}

namespace {
void put16(std::ofstream& out, std::uint16_t v) {
    const char bytes[2] = {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
    out.write(bytes, 2);
}
void put32(std::ofstream& out, std::uint32_t v) {
    put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    put16(out, static_cast<std::uint16_t>(v >> 16));
}
}  // namespace

void writeWav(const std::string& path, const Buffer& b) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot write " + path);
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(b.size() * 2);
    out.write("RIFF", 4);
    put32(out, 36 + dataBytes);
    out.write("WAVEfmt ", 8);
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, 1);  // mono
    put32(out, kRate);
    put32(out, kRate * 2);
    put16(out, 2);
    put16(out, 16);
    out.write("data", 4);
    put32(out, dataBytes);
    for (float x : b) {
        const long v = std::lround(std::clamp(x, -1.0f, 1.0f) * 32767.0f);
        put16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(v)));
    }
    if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace flikka::soundgen
