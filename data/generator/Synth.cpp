// Sound synthesis building blocks and the WAV writer.
#include "Synth.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace datagen {

double midiToHz(double note) {
    return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

int samplesFor(double seconds) {
    return static_cast<int>(seconds * kSampleRate);
}

double Noise::next() {
    m_state ^= m_state << 13;
    m_state ^= m_state >> 17;
    m_state ^= m_state << 5;
    return (m_state & 0xffff) / 32768.0 - 1.0;
}

void addTone(Samples& out, int start, double freq, double level, double attack, double hold, double release,
             const std::vector<Partial>& partials, bool wrap) {
    const int length = samplesFor(attack + hold + release);
    const int n = static_cast<int>(out.size());
    for (int i = 0; i < length; ++i) {
        int at = start + i;
        if (at >= n) {
            if (!wrap) break;
            at %= n;
        }
        const double t = static_cast<double>(i) / kSampleRate;
        double env;
        if (t < attack)
            env = t / attack;
        else if (t < attack + hold)
            env = 1.0;
        else
            env = std::max(0.0, 1.0 - (t - attack - hold) / release);
        env = env * env * (3 - 2 * env); // smooth the corners of the envelope
        double v = 0;
        for (const Partial& p : partials)
            v += p.level * std::exp(-t / p.decay) * std::sin(kTwoPi * freq * p.ratio * t);
        out[static_cast<size_t>(at)] += level * env * v;
    }
}

void addGlide(Samples& out, int start, double f0, double f1, double length, double level, double decay,
              const std::vector<Partial>& partials) {
    const int count = samplesFor(length);
    std::vector<double> phase(partials.size(), 0.0);
    for (int i = 0; i < count && start + i < static_cast<int>(out.size()); ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const double f = f0 * std::pow(f1 / f0, t / length);
        const double env =
            std::min(1.0, t / 0.004) * std::exp(-t / decay) * std::min(1.0, (length - t) / 0.01);
        double v = 0;
        for (size_t k = 0; k < partials.size(); ++k) {
            phase[k] += kTwoPi * f * partials[k].ratio / kSampleRate;
            v += partials[k].level * std::exp(-t / partials[k].decay) * std::sin(phase[k]);
        }
        out[static_cast<size_t>(start + i)] += level * env * v;
    }
}

void addNoise(Samples& out, int start, double length, double level, double attack, double decay, double f0,
              double f1, double q, uint32_t seed, bool wrap) {
    Noise noise(seed);
    const int count = samplesFor(length);
    const int n = static_cast<int>(out.size());
    double low = 0, band = 0; // a state-variable filter
    for (int i = 0; i < count; ++i) {
        int at = start + i;
        if (at >= n) {
            if (!wrap) break;
            at %= n;
        }
        const double t = static_cast<double>(i) / kSampleRate;
        const double fc = f0 * std::pow(f1 / f0, t / length);
        const double f = 2 * std::sin(M_PI * std::min(fc, kSampleRate * 0.2) / kSampleRate);
        const double high = noise.next() - low - q * band;
        band += f * high;
        low += f * band;
        const double env =
            std::min(1.0, t / attack) * std::exp(-t / decay) * std::min(1.0, (length - t) / 0.01);
        out[static_cast<size_t>(at)] += level * env * band;
    }
}

void normalise(Samples& s, double peak) {
    double most = 0;
    for (double v : s)
        most = std::max(most, std::fabs(v));
    if (most <= 0) return;
    for (double& v : s)
        v *= peak / most;
}

void writeWav(const Samples& s, const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw std::runtime_error("cannot write " + path);
    const uint32_t dataBytes = static_cast<uint32_t>(s.size() * 2);
    std::vector<uint8_t> bytes;
    bytes.reserve(44 + dataBytes);
    const auto u32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    const auto u16 = [&](uint16_t v) {
        bytes.push_back(static_cast<uint8_t>(v));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
    };
    const auto tag = [&](const char* t) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<uint8_t>(t[i]));
    };
    tag("RIFF");
    u32(36 + dataBytes);
    tag("WAVE");
    tag("fmt ");
    u32(16);
    u16(1); // PCM
    u16(1); // mono
    u32(kSampleRate);
    u32(kSampleRate * 2);
    u16(2);
    u16(16);
    tag("data");
    u32(dataBytes);
    for (double v : s) {
        const long q = std::lround(std::clamp(v, -1.0, 1.0) * 32767.0);
        u16(static_cast<uint16_t>(static_cast<int16_t>(q)));
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !ok) throw std::runtime_error("cannot write " + path);
}

} // namespace datagen
