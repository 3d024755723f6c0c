// Helpers for the audio tests: generated WAV and MOD files, a scratch directory and the device output file.
#include "audio/SoundFixtures.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>
#include <unistd.h>

namespace soundtest {

namespace {

void put16le(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void put32le(std::vector<uint8_t>& out, uint32_t v) {
    put16le(out, v & 0xFFFF);
    put16le(out, v >> 16);
}
void put16be(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}
void putText(std::vector<uint8_t>& out, const char* text, size_t width) {
    for (size_t i = 0; i < width; ++i)
        out.push_back(*text ? uint8_t(*text++) : 0);
}

} // namespace

std::vector<uint8_t> sineWav(int rate, int frames, double frequency, int amplitude) {
    std::vector<uint8_t> out;
    uint32_t dataBytes = uint32_t(frames) * 2;
    putText(out, "RIFF", 4);
    put32le(out, 36 + dataBytes);
    putText(out, "WAVE", 4);
    putText(out, "fmt ", 4);
    put32le(out, 16);
    put16le(out, 1); // PCM
    put16le(out, 1); // mono
    put32le(out, uint32_t(rate));
    put32le(out, uint32_t(rate) * 2);
    put16le(out, 2);
    put16le(out, 16);
    putText(out, "data", 4);
    put32le(out, dataBytes);
    for (int i = 0; i < frames; ++i) {
        auto s = int16_t(std::lround(amplitude * std::sin(2 * M_PI * frequency * i / rate)));
        put16le(out, uint16_t(s));
    }
    return out;
}

std::vector<uint8_t> squareWaveModule() {
    const int sampleBytes = 128;
    std::vector<uint8_t> out;
    putText(out, "square test", 20);
    for (int s = 0; s < 31; ++s) {
        putText(out, s == 0 ? "square" : "", 22);
        put16be(out, s == 0 ? sampleBytes / 2 : 0); // length in words
        out.push_back(0);                            // finetune
        out.push_back(s == 0 ? 64 : 0);              // volume
        put16be(out, 0);                             // loop start in words
        put16be(out, s == 0 ? sampleBytes / 2 : 1);  // loop length in words (1: no loop)
    }
    out.push_back(1);   // one position in the song
    out.push_back(127); // restart position, unused
    for (int i = 0; i < 128; ++i)
        out.push_back(0); // every position plays pattern 0
    putText(out, "M.K.", 4);
    // Pattern 0: 64 rows of 4 channels of 4 bytes; row 0, channel 0 plays sample 1 at period 428.
    std::vector<uint8_t> pattern(64 * 4 * 4, 0);
    const int period = 428, sample = 1;
    pattern[0] = uint8_t((sample & 0xF0) | (period >> 8));
    pattern[1] = uint8_t(period & 0xFF);
    pattern[2] = uint8_t((sample & 0x0F) << 4);
    out.insert(out.end(), pattern.begin(), pattern.end());
    for (int i = 0; i < sampleBytes; ++i)
        out.push_back(uint8_t(int8_t((i / 16) % 2 ? 100 : -100)));
    return out;
}

void writeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!file) throw std::runtime_error("cannot write " + path.string());
}

std::vector<uint8_t> readFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

ScratchDir::ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "mph-audio-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a scratch directory");
    m_path = pattern;
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

DeviceOutput DeviceOutput::read(const std::filesystem::path& path) {
    std::vector<uint8_t> bytes = readFile(path);
    DeviceOutput out;
    out.samples.resize(bytes.size() / 2);
    for (size_t i = 0; i < out.samples.size(); ++i)
        out.samples[i] = int16_t(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    return out;
}

int DeviceOutput::peak(size_t begin, size_t end) const {
    int best = 0;
    end = std::min(end, frames());
    for (size_t i = begin * 2; i < end * 2; ++i)
        best = std::max(best, std::abs(int(samples[i])));
    return best;
}

std::pair<size_t, size_t> DeviceOutput::soundExtent() const {
    size_t first = frames(), last = 0;
    for (size_t f = 0; f < frames(); ++f) {
        if (samples[2 * f] != 0 || samples[2 * f + 1] != 0) {
            first = std::min(first, f);
            last = f + 1;
        }
    }
    return first < last ? std::pair{first, last} : std::pair<size_t, size_t>{0, 0};
}

bool waitForFileSize(const std::filesystem::path& path, uintmax_t bytes, int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        std::error_code ec;
        uintmax_t size = std::filesystem::file_size(path, ec);
        if (!ec && size >= bytes) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

} // namespace soundtest
