// The twenty-four sound effects, in the order the game plays them by index.
#include "Synth.h"

#include <cmath>

namespace datagen {

namespace {

const std::vector<Partial> kBell = {{1.0, 1.0, 0.6}, {2.0, 0.45, 0.3}, {2.76, 0.3, 0.18}, {5.4, 0.12, 0.07}};
const std::vector<Partial> kSine = {{1.0, 1.0, 10}};
const std::vector<Partial> kWarm = {{1.0, 1.0, 10}, {2.0, 0.3, 0.2}, {3.0, 0.12, 0.1}};
const std::vector<Partial> kBrass = {{1, 1.0, 3}, {2, 0.7, 2},   {3, 0.5, 1.5},
                                     {4, 0.3, 1}, {5, 0.2, 0.8}, {6, 0.12, 0.6}};

Samples silence(double seconds) {
    return Samples(static_cast<size_t>(samplesFor(seconds)), 0.0);
}

Samples finish(Samples s, double peak) {
    normalise(s, peak);
    return s;
}

// A run of bell notes, one every gap seconds.
Samples bells(const std::vector<int>& notes, double gap, double tail, double level) {
    Samples s = silence(gap * notes.size() + tail);
    for (size_t i = 0; i < notes.size(); ++i) {
        addTone(s, samplesFor(gap * i), midiToHz(notes[i]), level * (0.8 + 0.2 * i / notes.size()), 0.003, 0,
                tail, kBell, false);
    }
    return s;
}

Samples pickUp() {
    Samples s = silence(0.12);
    addGlide(s, 0, 380, 820, 0.11, 0.8, 0.05, kWarm);
    addNoise(s, 0, 0.012, 0.3, 0.001, 0.004, 3500, 3500, 0.6, 1);
    return finish(s, 0.55);
}

Samples place() {
    Samples s = silence(0.16);
    addGlide(s, 0, 210, 140, 0.15, 1.0, 0.045, kWarm);
    addNoise(s, 0, 0.03, 0.7, 0.001, 0.008, 900, 500, 0.5, 2);
    addTone(s, 0, 2600, 0.12, 0.001, 0, 0.012, kSine, false);
    return finish(s, 0.7);
}

Samples trash() {
    Samples s = silence(0.55);
    addNoise(s, 0, 0.26, 0.9, 0.03, 0.12, 3500, 500, 0.35, 3);
    const std::vector<Partial> clank = {{1.0, 1.0, 0.12}, {2.69, 0.6, 0.08}, {4.45, 0.4, 0.05}};
    addTone(s, samplesFor(0.2), 420, 0.45, 0.001, 0, 0.3, clank, false);
    addTone(s, samplesFor(0.26), 510, 0.3, 0.001, 0, 0.25, clank, false);
    return finish(s, 0.6);
}

Samples miss() {
    Samples s = silence(0.2);
    const std::vector<Partial> buzz = {{1, 1.0, 1}, {3, 0.35, 1}, {5, 0.18, 1}};
    addGlide(s, 0, 160, 105, 0.19, 1.0, 0.07, buzz);
    return finish(s, 0.55);
}

Samples ready() {
    return finish(bells({76, 81, 88}, 0.11, 0.9, 0.6), 0.6);
}

Samples gameOver() {
    Samples s = silence(2.6);
    const double notes[] = {67, 66, 65};
    for (int i = 0; i < 3; ++i)
        addTone(s, samplesFor(0.42 * i), midiToHz(notes[i]), 0.5, 0.03, 0.28, 0.12, kBrass, false);
    // The last note sags and wobbles.
    const int start = samplesFor(1.26);
    double phase = 0;
    for (int i = 0; start + i < static_cast<int>(s.size()); ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const double f = midiToHz(64) * (1 + 0.02 * std::sin(kTwoPi * 6 * t)) * std::pow(0.94, t);
        phase += kTwoPi * f / kSampleRate;
        const double env = std::min(1.0, t / 0.04) * std::max(0.0, 1 - t / 1.3);
        double v = 0;
        for (const Partial& p : kBrass)
            v += p.level * std::sin(phase * p.ratio);
        s[static_cast<size_t>(start + i)] += 0.5 * env * v;
    }
    return finish(s, 0.65);
}

Samples warning() {
    Samples s = silence(0.2);
    const std::vector<Partial> beep = {{1, 1.0, 1}, {3, 0.25, 1}};
    addTone(s, 0, 1760, 0.6, 0.002, 0.035, 0.01, beep, false);
    addTone(s, samplesFor(0.09), 1760, 0.6, 0.002, 0.035, 0.01, beep, false);
    return finish(s, 0.5);
}

Samples powerUp() {
    Samples s = bells({72, 76, 79, 84, 88, 91}, 0.055, 0.7, 0.6);
    addNoise(s, 0, 0.7, 0.25, 0.2, 0.3, 7000, 9000, 0.3, 4);
    return finish(s, 0.65);
}

Samples melt() {
    Samples s = silence(0.95);
    addNoise(s, 0, 0.9, 0.8, 0.05, 0.35, 3200, 500, 0.25, 5);
    const std::vector<Partial> wobble = {{1, 1.0, 1}, {1.5, 0.3, 0.5}};
    addGlide(s, 0, 900, 260, 0.8, 0.35, 0.4, wobble);
    return finish(s, 0.6);
}

Samples tick() {
    Samples s = silence(0.06);
    addTone(s, 0, 950, 0.7, 0.001, 0, 0.03, {{1, 1, 0.01}, {2.3, 0.4, 0.006}}, false);
    addNoise(s, 0, 0.01, 0.3, 0.001, 0.003, 4000, 4000, 0.7, 6);
    return finish(s, 0.28);
}

Samples wildcard() {
    Samples s = bells({84, 86, 88, 91, 93, 96, 98, 100}, 0.035, 0.6, 0.5);
    addNoise(s, 0, 0.6, 0.2, 0.05, 0.25, 6000, 8000, 0.3, 7);
    return finish(s, 0.6);
}

// A fallen shape melting: a drop in pitch and a fizz, a step of the pentatonic scale apart each time.
Samples fizz(int i) {
    static const int steps[10] = {0, 3, 5, 7, 10, 12, 15, 17, 19, 22};
    const double f = midiToHz(55 + steps[i]);
    Samples s = silence(0.45);
    addGlide(s, 0, f * 1.5, f * 0.7, 0.35, 0.8, 0.12, kWarm);
    addNoise(s, samplesFor(0.05), 0.38, 0.35, 0.02, 0.12, 5000, 1500, 0.4, 20 + static_cast<uint32_t>(i));
    return finish(s, 0.45);
}

} // namespace

const std::vector<Effect>& effects() {
    static const std::vector<Effect> list = {
        {"sndpickup", pickUp},
        {"sndplace", place},
        {"sndtrash", trash},
        {"sndmiss", miss},
        {"sndready", ready},
        {"sndgameover", gameOver},
        {"sndwarning", warning},
        {"sndpowerup", powerUp},
        {"sndmelt", melt},
        {"sndcombo1",
         [] {
             return finish(bells({84, 91}, 0.07, 0.6, 0.6), 0.55);
         }},
        {"sndcombo2",
         [] {
             return finish(bells({84, 88, 91}, 0.06, 0.7, 0.7), 0.62);
         }},
        {"sndcombo3",
         [] {
             Samples s = bells({84, 88, 91, 96}, 0.05, 0.8, 0.8);
             addNoise(s, 0, 0.8, 0.2, 0.1, 0.3, 7000, 9000, 0.3, 8);
             return finish(s, 0.7);
         }},
        {"sndtick", tick},
        {"sndwild", wildcard},
        {"sndfizz0", [] { return fizz(0); }},
        {"sndfizz1", [] { return fizz(1); }},
        {"sndfizz2", [] { return fizz(2); }},
        {"sndfizz3", [] { return fizz(3); }},
        {"sndfizz4", [] { return fizz(4); }},
        {"sndfizz5", [] { return fizz(5); }},
        {"sndfizz6", [] { return fizz(6); }},
        {"sndfizz7", [] { return fizz(7); }},
        {"sndfizz8", [] { return fizz(8); }},
        {"sndfizz9", [] { return fizz(9); }},
    };
    return list;
}

} // namespace datagen
