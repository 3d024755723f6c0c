// Helpers for the audio tests: generated WAV and MOD files, a scratch directory and the device output file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace soundtest {

// A mono 16-bit PCM WAV of a sine wave.
std::vector<uint8_t> sineWav(int rate, int frames, double frequency, int amplitude);

// A four-channel module with one pattern whose first row starts one looped square-wave sample.
std::vector<uint8_t> squareWaveModule();

void writeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> readFile(const std::filesystem::path& path);

// A fresh directory under the system's temporary directory, removed with its contents at the end.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

// The stereo 16-bit frames the file-writing audio driver produced, read after the device was closed.
struct DeviceOutput {
    std::vector<int16_t> samples; // interleaved left, right

    static DeviceOutput read(const std::filesystem::path& path);
    size_t frames() const { return samples.size() / 2; }
    // The largest absolute sample in frames [begin, end).
    int peak(size_t begin, size_t end) const;
    int peak() const { return peak(0, frames()); }
    // The first and one past the last frame that is not silent; (0, 0) for silence.
    std::pair<size_t, size_t> soundExtent() const;
};

// Waits until the file has grown to at least bytes (the audio thread writes it); false after timeoutMs.
bool waitForFileSize(const std::filesystem::path& path, uintmax_t bytes, int timeoutMs = 5000);

} // namespace soundtest
