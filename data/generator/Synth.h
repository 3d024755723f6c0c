// Building blocks of the sound synthesis: tones made of decaying partials, noise, and a few filters.
#pragma once

#include "Sounds.h"

#include <cstdint>
#include <vector>

namespace datagen {

inline constexpr double kTwoPi = 6.283185307179586;

double midiToHz(double note);
int samplesFor(double seconds);

// A tiny fixed noise source, so every build makes the same bytes.
class Noise {
public:
    explicit Noise(uint32_t seed = 0x9e3779b9u) : m_state(seed) {}
    double next();

private:
    uint32_t m_state;
};

// One partial of a tone: frequency ratio, level and decay time constant in seconds.
struct Partial {
    double ratio, level, decay;
};

// Adds a tone into out from sample start with an attack, hold and release envelope. With wrap set, samples
// past the end wrap to the start, which makes a loop whose seam cannot be heard.
void addTone(Samples& out, int start, double freq, double level, double attack, double hold, double release,
             const std::vector<Partial>& partials, bool wrap);

// Adds a tone whose frequency glides exponentially from f0 to f1 over its length, with an exponential decay.
void addGlide(Samples& out, int start, double f0, double f1, double length, double level, double decay,
              const std::vector<Partial>& partials);

// Adds a burst of noise through a resonant band-pass whose centre glides from f0 to f1.
void addNoise(Samples& out, int start, double length, double level, double attack, double decay, double f0,
              double f1, double q, uint32_t seed, bool wrap = false);

// Scales the samples so the loudest reaches peak.
void normalise(Samples& s, double peak);

} // namespace datagen
