// The music: 32 bars at 100 beats a minute in four sections (theme, development, theme again, bridge),
// with pad, bass, marimba arpeggios, a lead tune and light drums. Every note's tail wraps round to the
// start, so the piece loops without a seam.
#include "Synth.h"

#include <cmath>

namespace datagen {

namespace {

constexpr double kBeat = 0.6;
constexpr int kBars = 32;

struct Note {
    double beat;
    int midi;
    double length;
    double level = 1.0;
};

// One chord a bar, as MIDI notes: the root first (the bass plays it), then the pad's voicing.
const std::vector<std::vector<int>>& chords() {
    static const std::vector<std::vector<int>> list = {
        // Theme.
        {36, 55, 59, 62, 64},
        {45, 55, 60, 64, 67},
        {41, 57, 60, 64, 65},
        {43, 55, 59, 62, 64},
        {36, 55, 59, 60, 64},
        {40, 55, 59, 62, 67},
        {41, 57, 60, 64, 69},
        {43, 55, 59, 62, 65},
        // Development.
        {38, 57, 60, 62, 65},
        {43, 55, 59, 62, 65},
        {40, 55, 59, 62, 67},
        {45, 55, 60, 64, 67},
        {38, 57, 60, 62, 65},
        {41, 57, 60, 65, 69},
        {43, 55, 60, 62, 67},
        {43, 55, 59, 62, 67},
        // Theme again.
        {36, 55, 59, 62, 64},
        {45, 55, 60, 64, 67},
        {41, 57, 60, 64, 65},
        {43, 55, 59, 62, 64},
        {36, 55, 59, 60, 64},
        {40, 55, 59, 62, 67},
        {41, 57, 60, 64, 69},
        {43, 55, 59, 62, 65},
        // Bridge, back to the theme's first chord.
        {45, 57, 60, 64, 69},
        {41, 57, 60, 65, 69},
        {36, 55, 60, 64, 67},
        {43, 55, 59, 62, 67},
        {45, 57, 60, 64, 69},
        {41, 57, 60, 65, 69},
        {38, 57, 60, 62, 65},
        {43, 55, 59, 62, 65},
    };
    return list;
}

// The note a third below in C major (two steps of the scale down).
int thirdBelow(int midi) {
    static const int down[12] = {3, 0, 3, 0, 4, 3, 0, 3, 0, 4, 0, 4};
    const int pc = midi % 12;
    return midi - (down[pc] != 0 ? down[pc] : 3);
}

std::vector<Note> melody() {
    const std::vector<Note> theme = {
        {0, 76, 1},      {1, 79, 0.5}, {1.5, 81, 0.5}, {2, 79, 1.5},    {3.5, 76, 0.5}, {4, 72, 1},
        {5, 76, 1},      {6, 74, 1.5}, {7.5, 72, 0.5}, {8, 69, 1},      {9, 72, 0.5},   {9.5, 74, 0.5},
        {10, 76, 2},     {12, 74, 1},  {13, 71, 1},    {14, 74, 1},     {15, 79, 1},    {16, 76, 1.5},
        {17.5, 79, 0.5}, {18, 84, 1},  {19, 83, 1},    {20, 79, 1},     {21, 76, 1},    {22, 74, 0.5},
        {22.5, 76, 0.5}, {23, 79, 1},  {24, 81, 1.5},  {25.5, 79, 0.5}, {26, 77, 1},    {27, 76, 1},
        {28, 74, 2},     {30, 71, 1},  {31, 74, 1},
    };
    const std::vector<Note> development = {
        {0, 77, 1},      {1, 76, 0.5}, {1.5, 74, 0.5}, {2, 72, 1},   {3, 74, 1},     {4, 71, 1.5},
        {5.5, 74, 0.5},  {6, 79, 2},   {8, 79, 1},     {9, 77, 0.5}, {9.5, 76, 0.5}, {10, 74, 1},
        {11, 76, 1},     {12, 72, 3},  {15, 69, 1},    {16, 74, 1},  {17, 77, 1},    {18, 81, 1.5},
        {19.5, 79, 0.5}, {20, 77, 1},  {21, 76, 1},    {22, 77, 1},  {23, 81, 1},    {24, 79, 2},
        {26, 74, 1},     {27, 72, 1},  {28, 74, 3},    {31, 71, 1},
    };
    // The theme again, now with a second voice a third below it in the key of C.
    std::vector<Note> again = theme;
    for (const Note& n : theme)
        again.push_back({n.beat, thirdBelow(n.midi), n.length, 0.55});
    const std::vector<Note> bridge = {
        {0, 69, 2},  {2, 72, 2},  {4, 77, 3},  {7, 76, 1},  {8, 72, 2},  {10, 76, 2},
        {12, 74, 4}, {16, 69, 1}, {17, 72, 1}, {18, 76, 2}, {20, 77, 1}, {21, 76, 1},
        {22, 72, 2}, {24, 74, 2}, {26, 77, 2}, {28, 79, 2}, {30, 74, 1}, {31, 71, 1},
    };
    std::vector<Note> all;
    const std::vector<Note>* sections[4] = {&theme, &development, &again, &bridge};
    for (int s = 0; s < 4; ++s) {
        for (Note n : *sections[s]) {
            n.beat += s * 32;
            all.push_back(n);
        }
    }
    return all;
}

void drums(Samples& s, int bar, bool bridge) {
    const auto at = [&](double beat) { return samplesFor((bar * 4 + beat) * kBeat); };
    const uint32_t seed = static_cast<uint32_t>(bar * 16);
    if (!bridge) {
        for (const double b : {0.0, 2.0})
            addGlide(s, at(b), 120, 45, 0.28, 0.5, 0.12, {{1, 1, 10}});
        if (bar % 8 >= 4) addGlide(s, at(2.5), 110, 45, 0.2, 0.3, 0.09, {{1, 1, 10}});
        for (const double b : {1.0, 3.0}) {
            addNoise(s, at(b), 0.18, 0.22, 0.002, 0.05, 1800, 1200, 0.7, seed + static_cast<uint32_t>(b),
                     true);
            addTone(s, at(b), 190, 0.06, 0.001, 0, 0.08, {{1, 1, 0.04}}, true);
        }
    }
    for (int e = 0; e < 8; ++e) {
        const double level = bridge ? 0.03 : (e % 2 == 1 ? 0.06 : 0.035);
        addNoise(s, at(e * 0.5), 0.05, level, 0.001, 0.018, 8000, 8000, 0.5,
                 seed + 8 + static_cast<uint32_t>(e), true);
    }
    if (bar == kBars - 1) {
        // A little fill leading back to the theme.
        for (int e = 4; e < 8; ++e) {
            addNoise(s, at(e * 0.5), 0.12, 0.08 + 0.03 * (e - 4), 0.002, 0.04, 1800, 1300, 0.7,
                     seed + 40 + static_cast<uint32_t>(e), true);
        }
    }
}

} // namespace

Samples synthMusic() {
    Samples s(static_cast<size_t>(samplesFor(kBeat * 4 * kBars)), 0.0);
    const auto at = [&](double beat) { return samplesFor(beat * kBeat); };
    const std::vector<Partial> pad = {{1.0, 1.0, 50}, {2.0, 0.35, 6}, {3.0, 0.12, 3}, {1.003, 0.8, 50}};
    const std::vector<Partial> bass = {{1.0, 1.0, 1.2}, {2.0, 0.3, 0.4}, {3.0, 0.1, 0.2}};
    const std::vector<Partial> marimba = {{1.0, 1.0, 0.3}, {4.0, 0.3, 0.05}, {10.0, 0.06, 0.02}};
    const std::vector<Partial> lead = {{1.0, 1.0, 0.9}, {2.0, 0.18, 0.4}, {3.0, 0.12, 0.25}};
    const std::vector<Partial> flute = {{1.0, 1.0, 3}, {2.0, 0.08, 1}, {3.0, 0.05, 1}};

    for (int bar = 0; bar < kBars; ++bar) {
        const auto& ch = chords()[static_cast<size_t>(bar)];
        const double b0 = bar * 4.0;
        const bool bridge = bar >= 24;
        for (size_t k = 1; k < ch.size(); ++k)
            addTone(s, at(b0), midiToHz(ch[k]), bridge ? 0.095 : 0.075, 0.8, kBeat * 4 - 0.8, 1.2, pad, true);
        // Bass: root, octave, root, fifth.
        const int root = ch[0];
        addTone(s, at(b0), midiToHz(root), 0.3, 0.01, kBeat * 1.1, 0.3, bass, true);
        addTone(s, at(b0 + 1.5), midiToHz(root + 12), 0.16, 0.01, kBeat * 0.3, 0.2, bass, true);
        addTone(s, at(b0 + 2), midiToHz(root), 0.24, 0.01, kBeat * 0.8, 0.3, bass, true);
        addTone(s, at(b0 + 3.5), midiToHz(root + 7), 0.16, 0.01, kBeat * 0.3, 0.2, bass, true);
        // Marimba arpeggios: climbing in the theme, falling in the development and the bridge.
        for (int e = 0; e < 8; ++e) {
            const bool climb = bar < 8 || (bar >= 16 && bar < 24);
            const size_t idx = 1 + static_cast<size_t>(climb ? e % 4 : 3 - e % 4);
            const int note = ch[idx] + 12 + (e >= 4 && !climb ? 12 : 0);
            addTone(s, at(b0 + e * 0.5), midiToHz(note), e % 2 == 0 ? 0.05 : 0.038, 0.003, 0.0, 0.4, marimba,
                    true);
        }
        drums(s, bar, bridge);
    }
    for (const Note& n : melody()) {
        const bool bridge = n.beat >= 96;
        const double hold = n.length * kBeat * 0.75;
        addTone(s, at(n.beat), midiToHz(n.midi), (bridge ? 0.16 : 0.18) * n.level, bridge ? 0.06 : 0.02, hold,
                0.45, bridge ? flute : lead, true);
        // A soft echo a dotted eighth later.
        addTone(s, at(n.beat + 0.75), midiToHz(n.midi), 0.05 * n.level, 0.02, hold, 0.45,
                bridge ? flute : lead, true);
    }
    normalise(s, 0.8);
    return s;
}

} // namespace datagen
