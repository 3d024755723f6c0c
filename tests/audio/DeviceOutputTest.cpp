// What reaches the loudspeaker: the file-writing audio driver records the mixed output for inspection.
#include "audio/AudioClip.h"
#include "audio/AudioSystem.h"
#include "audio/SoundFixtures.h"
#include "io/ContainerWriter.h"
#include "io/Resources.h"
#include "runtime/Ref.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using lang::String;
using mph::AudioClip;
using namespace soundtest;

namespace {

constexpr int kRate = 22050;
constexpr int kBeepFrames = 4410; // 0.2 s
constexpr int kAmplitude = 16000;
constexpr uintmax_t kFrameBytes = 4; // 16-bit stereo
constexpr uintmax_t kBufferFrames = 1024;

class DeviceOutputTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_output = m_dir / "output.raw";
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", m_output.c_str(), 1);
        // Two milliseconds per 1024-frame buffer: about twenty times faster than real time.
        setenv("SDL_DISKAUDIODELAY", "2", 1);
        ASSERT_TRUE(mph::startAudio(nullptr, int(kBufferFrames), false));
        writeFile(m_dir / "beep.wav", sineWav(kRate, kBeepFrames, 441, kAmplitude));
        writeFile(m_dir / "tune.mod", squareWaveModule());
    }
    void TearDown() override { mph::stopAudio(); }

    String path(const char* name) const { return String((m_dir / name).string().c_str()); }
    uintmax_t written() const {
        std::error_code ec;
        uintmax_t size = std::filesystem::file_size(m_output, ec);
        return ec ? 0 : size;
    }
    // Lets the device produce at least frames more frames of output.
    void run(uintmax_t frames) { ASSERT_TRUE(waitForFileSize(m_output, written() + frames * kFrameBytes)); }
    // Closes the device and reads everything it wrote.
    DeviceOutput finish() {
        mph::stopAudio();
        return DeviceOutput::read(m_output);
    }

    ScratchDir m_dir;
    std::filesystem::path m_output;
};

TEST_F(DeviceOutputTest, SamplePlaysOnceAtFullVolumeAndTheExactRate) {
    AudioClip clip(path("beep.wav"), AudioClip::Sample);
    clip.play();
    run(kBeepFrames + 4 * kBufferFrames);
    EXPECT_FALSE(clip.isPlaying());
    DeviceOutput out = finish();
    auto [first, last] = out.soundExtent();
    // Played once, at 22050 frames a second: the sound lasts as many frames as the file holds.
    EXPECT_NEAR(double(last - first), double(kBeepFrames), 3.0);
    EXPECT_NEAR(out.peak(), kAmplitude, kAmplitude * 0.02);
}

TEST_F(DeviceOutputTest, VolumesScaleTheOutput) {
    AudioClip half(path("beep.wav"), AudioClip::Sample);
    half.setVolume(128);
    half.play();
    run(kBeepFrames + 4 * kBufferFrames);
    DeviceOutput out = finish();
    EXPECT_NEAR(out.peak(), kAmplitude / 2, kAmplitude * 0.02);

    ASSERT_TRUE(mph::startAudio(nullptr, int(kBufferFrames), false));
    AudioClip silent(path("beep.wav"), AudioClip::Sample);
    silent.setVolume(0);
    silent.play();
    run(kBeepFrames + 4 * kBufferFrames);
    EXPECT_EQ(finish().peak(), 0);

    // The effects volume scales samples on top of the clip's own volume.
    ASSERT_TRUE(mph::startAudio(nullptr, int(kBufferFrames), false));
    mph::setEffectsVolume(64);
    AudioClip effect(path("beep.wav"), AudioClip::Sample);
    effect.play();
    run(kBeepFrames + 4 * kBufferFrames);
    EXPECT_NEAR(finish().peak(), kAmplitude / 4, kAmplitude * 0.02);
}

TEST_F(DeviceOutputTest, LoopKeepsSoundingUntilStopThenSilence) {
    AudioClip clip(path("beep.wav"), AudioClip::Sample);
    clip.loop();
    run(3 * kBeepFrames);
    EXPECT_TRUE(clip.isPlaying());
    clip.stop();
    uintmax_t stoppedAt = written() / kFrameBytes;
    run(6 * kBufferFrames);
    DeviceOutput out = finish();
    // Still sounding well past one pass of the sample...
    EXPECT_GT(out.peak(size_t(2 * kBeepFrames), size_t(3 * kBeepFrames)), kAmplitude * 9 / 10);
    // ...and silent once the buffers mixed before the stop have been written.
    EXPECT_EQ(out.peak(size_t(stoppedAt + 2 * kBufferFrames), out.frames()), 0);
    EXPECT_GT(out.frames(), stoppedAt + 4 * kBufferFrames);
}

TEST_F(DeviceOutputTest, MissingFilePlaysNothing) {
    AudioClip clip(path("missing.wav"), AudioClip::Sample);
    clip.play();
    clip.loop();
    EXPECT_FALSE(clip.isPlaying());
    run(4 * kBufferFrames);
    EXPECT_EQ(finish().peak(), 0);
}

TEST_F(DeviceOutputTest, StreamPlaysAsMusicAtItsVolume) {
    AudioClip stream(path("beep.wav"), AudioClip::Stream);
    ASSERT_TRUE(stream.isLoaded());
    stream.setVolume(128);
    stream.play();
    EXPECT_TRUE(stream.isPlaying());
    run(kBeepFrames + 4 * kBufferFrames);
    EXPECT_FALSE(stream.isPlaying());
    DeviceOutput out = finish();
    auto [first, last] = out.soundExtent();
    EXPECT_NEAR(double(last - first), double(kBeepFrames), 3.0);
    EXPECT_NEAR(out.peak(), kAmplitude / 2, kAmplitude * 0.02);
}

TEST_F(DeviceOutputTest, StreamFromTheContainerPlaysAfterTheContainerIsGone) {
    mph::ContainerWriter writer;
    writer.add("smusic", sineWav(kRate, kBeepFrames, 441, kAmplitude));
    writer.write(String((m_dir / "data.bin").string().c_str()));
    mph::clearResourceFiles();
    mph::addResourceFile(String((m_dir / "data.bin").string().c_str()));
    AudioClip music("+smusic", AudioClip::Stream);
    mph::clearResourceFiles();
    music.play();
    run(kBeepFrames + 4 * kBufferFrames);
    DeviceOutput out = finish();
    auto [first, last] = out.soundExtent();
    EXPECT_NEAR(double(last - first), double(kBeepFrames), 3.0);
    EXPECT_NEAR(out.peak(), kAmplitude, kAmplitude * 0.02);
}

TEST_F(DeviceOutputTest, ModulePlaysAsMusicUntilStopped) {
    AudioClip module(path("tune.mod"), AudioClip::Module);
    ASSERT_TRUE(module.isLoaded());
    module.loop();
    run(8 * kBufferFrames);
    EXPECT_TRUE(module.isPlaying());
    module.stop();
    uintmax_t stoppedAt = written() / kFrameBytes;
    run(6 * kBufferFrames);
    DeviceOutput out = finish();
    EXPECT_GT(out.peak(0, size_t(stoppedAt)), 1000);
    EXPECT_EQ(out.peak(size_t(stoppedAt + 2 * kBufferFrames), out.frames()), 0);
}

} // namespace
