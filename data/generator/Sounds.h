// The sounds of the demonstration data set: short effects and a looping music piece, as 16-bit mono WAV.
#pragma once

#include <string>
#include <vector>

namespace datagen {

inline constexpr int kSampleRate = 22050;

// Samples in the range -1 to 1.
using Samples = std::vector<double>;

Samples synthClick();
Samples synthPop();
Samples synthChime();
// About 24 seconds that loop seamlessly: every note's tail wraps round to the start.
Samples synthMusic();

// Scales the samples so the loudest reaches `peak`.
void normalise(Samples& s, double peak);

// Writes 16-bit mono PCM at kSampleRate; throws std::runtime_error when it cannot be written.
void writeWav(const Samples& s, const std::string& path);

} // namespace datagen
