// Sound synthesis: additive tones with simple envelopes, mixed into 16-bit mono WAV files.
#include "Sounds.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <stdexcept>

namespace datagen {

namespace {

constexpr double kTwoPi = 2 * M_PI;

double midiToHz(int note) {
    return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

int samplesFor(double seconds) {
    return static_cast<int>(seconds * kSampleRate);
}

// A tiny fixed noise source, so every build makes the same bytes.
class Noise {
public:
    double next() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return (m_state & 0xffff) / 32768.0 - 1.0;
    }

private:
    uint32_t m_state = 0x9e3779b9u;
};

// Adds a tone into `out` starting at sample `start`; positions past the end wrap to the start, which makes
// a loop whose seam cannot be heard. `partials` are (frequency ratio, level, decay time constant in s).
struct Partial {
    double ratio, level, decay;
};

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

} // namespace

void normalise(Samples& s, double peak) {
    double most = 0;
    for (double v : s)
        most = std::max(most, std::fabs(v));
    if (most <= 0) return;
    for (double& v : s)
        v *= peak / most;
}

Samples synthClick() {
    Samples s(static_cast<size_t>(samplesFor(0.035)), 0.0);
    Noise noise;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const double env = std::exp(-t / 0.004);
        s[i] = env *
               (0.6 * std::sin(kTwoPi * 2400 * t) + 0.3 * std::sin(kTwoPi * 3700 * t) + 0.25 * noise.next());
    }
    normalise(s, 0.6);
    return s;
}

Samples synthPop() {
    Samples s(static_cast<size_t>(samplesFor(0.14)), 0.0);
    double phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        // A bubble rises in pitch as it bursts.
        const double freq = 320 + 900 * (1 - std::exp(-t / 0.03));
        phase += kTwoPi * freq / kSampleRate;
        const double env = std::min(1.0, t / 0.003) * std::exp(-t / 0.028);
        s[i] = env * (std::sin(phase) + 0.2 * std::sin(2 * phase));
    }
    normalise(s, 0.7);
    return s;
}

Samples synthChime() {
    Samples s(static_cast<size_t>(samplesFor(1.6)), 0.0);
    const std::vector<Partial> bell = {
        {1.0, 1.0, 0.6}, {2.0, 0.5, 0.35}, {2.76, 0.3, 0.2}, {5.4, 0.15, 0.08}};
    addTone(s, 0, midiToHz(81), 0.6, 0.004, 0.0, 1.1, bell, false);
    addTone(s, samplesFor(0.11), midiToHz(88), 0.5, 0.004, 0.0, 1.3, bell, false);
    normalise(s, 0.7);
    return s;
}

Samples synthMusic() {
    constexpr double kBeat = 0.75; // 80 beats a minute
    constexpr int kBeats = 32;     // eight bars of four
    Samples s(static_cast<size_t>(samplesFor(kBeat * kBeats)), 0.0);
    const auto at = [&](double beat) { return samplesFor(beat * kBeat); };

    // One chord a bar, as MIDI notes: root first (the bass plays it), then the pad's voicing.
    const std::vector<std::vector<int>> chords = {
        {36, 55, 59, 62, 64}, // C major nine
        {45, 55, 60, 64, 67}, // A minor seven
        {41, 57, 60, 64, 65}, // F major seven
        {43, 55, 59, 62, 64}, // G six
        {36, 55, 59, 60, 64}, // C major seven
        {40, 55, 59, 62, 67}, // E minor seven
        {41, 57, 60, 64, 69}, // F major seven
        {43, 55, 59, 62, 65}, // G seven
    };
    const std::vector<Partial> pad = {{1.0, 1.0, 50}, {2.0, 0.35, 6}, {3.0, 0.12, 3}, {1.003, 0.8, 50}};
    const std::vector<Partial> bass = {{1.0, 1.0, 1.2}, {2.0, 0.25, 0.4}};
    const std::vector<Partial> pluck = {{1.0, 1.0, 0.35}, {3.0, 0.25, 0.12}, {4.0, 0.1, 0.05}};
    const std::vector<Partial> lead = {{1.0, 1.0, 0.9}, {2.0, 0.18, 0.4}, {3.0, 0.1, 0.25}};

    for (int bar = 0; bar < 8; ++bar) {
        const auto& ch = chords[static_cast<size_t>(bar)];
        const double b0 = bar * 4.0;
        for (size_t k = 1; k < ch.size(); ++k) {
            addTone(s, at(b0), midiToHz(ch[k]), 0.085, 0.9, kBeat * 4 - 0.9, 1.2, pad, true);
        }
        addTone(s, at(b0), midiToHz(ch[0]), 0.30, 0.01, kBeat * 1.5, 0.6, bass, true);
        addTone(s, at(b0 + 2.5), midiToHz(ch[0] + 12), 0.16, 0.01, kBeat * 0.8, 0.5, bass, true);
        // A quiet arpeggio in eighths climbs through the chord's upper notes.
        for (int e = 0; e < 8; ++e) {
            const int note = ch[1 + static_cast<size_t>(e % 4)] + 12;
            addTone(s, at(b0 + e * 0.5), midiToHz(note), 0.05, 0.005, 0.0, 0.45, pluck, true);
        }
    }

    struct Note {
        double beat;
        int midi;
        double length;
    };
    const std::vector<Note> melody = {
        {0, 76, 1},      {1, 79, 0.5}, {1.5, 81, 0.5}, {2, 79, 1.5},    {3.5, 76, 0.5}, {4, 72, 1},
        {5, 76, 1},      {6, 74, 1.5}, {7.5, 72, 0.5}, {8, 69, 1},      {9, 72, 0.5},   {9.5, 74, 0.5},
        {10, 76, 2},     {12, 74, 1},  {13, 71, 1},    {14, 74, 1},     {15, 79, 1},    {16, 76, 1.5},
        {17.5, 79, 0.5}, {18, 84, 1},  {19, 83, 1},    {20, 79, 1},     {21, 76, 1},    {22, 74, 0.5},
        {22.5, 76, 0.5}, {23, 79, 1},  {24, 81, 1.5},  {25.5, 79, 0.5}, {26, 77, 1},    {27, 76, 1},
        {28, 74, 2},     {30, 71, 1},  {31, 74, 1},
    };
    for (const Note& n : melody) {
        const double hold = n.length * kBeat * 0.7;
        addTone(s, at(n.beat), midiToHz(n.midi), 0.19, 0.02, hold, 0.5, lead, true);
        // A soft echo a dotted eighth later.
        addTone(s, at(n.beat + 0.75), midiToHz(n.midi), 0.06, 0.02, hold, 0.5, lead, true);
    }
    normalise(s, 0.7);
    return s;
}

void writeWav(const Samples& s, const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw std::runtime_error("cannot write " + path);
    const uint32_t dataBytes = static_cast<uint32_t>(s.size() * 2);
    std::vector<uint8_t> bytes;
    const auto u32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    const auto u16 = [&](uint16_t v) {
        bytes.push_back(static_cast<uint8_t>(v));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
    };
    const auto tag = [&](const char* t) { bytes.insert(bytes.end(), t, t + 4); };
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
