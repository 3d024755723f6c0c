// The game's sounds: twenty-four short effects in the order the game plays them by index, as 16-bit mono
// WAV at 22050 Hz, and a looping music piece, as an Ogg Vorbis stream at the same rate.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace datagen {

inline constexpr int kSampleRate = 22050;

// Samples in the range -1 to 1.
using Samples = std::vector<double>;

struct Effect {
    const char* item; // container item, without ".wav"
    std::function<Samples()> synth;
};

// The effects in the order of the script's sound list (sound 0 first).
const std::vector<Effect>& effects();

// About 77 seconds in four sections that loop seamlessly: every note's tail wraps round to the start.
Samples synthMusic();

// Writes 16-bit mono PCM at kSampleRate; throws std::runtime_error when it cannot be written.
void writeWav(const Samples& s, const std::string& path);
// Encodes mono Ogg Vorbis at kSampleRate (the same bytes on every run); throws std::runtime_error when it
// cannot be written.
void writeOgg(const Samples& s, const std::string& path);

} // namespace datagen
