// Clip states under the silent dummy driver: loading, restarting, looping, pausing, ownership of channels.
#include "audio/AudioClip.h"
#include "audio/AudioSystem.h"
#include "audio/SoundFixtures.h"
#include "io/ContainerWriter.h"
#include "io/Resources.h"
#include "runtime/Ref.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

using lang::Ref;
using lang::String;
using mph::AudioClip;
using namespace soundtest;

namespace {

// Counts the engine's sample channels that are playing (paused ones included).
int busyChannels() {
    return Mix_Playing(-1);
}

// The one engine channel that is playing, or -1.
int busyChannel() {
    for (int c = 0; c < mph::kAudioChannels; ++c)
        if (Mix_Playing(c)) return c;
    return -1;
}

class DummyAudioTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_TRUE(mph::startAudio(nullptr, -1, false)) << SDL_GetError();
        // Long enough that nothing finishes during a test.
        writeFile(m_dir / "beep.wav", sineWav(22050, 22050 * 5, 441, 12000));
        writeFile(m_dir / "tune.mod", squareWaveModule());
    }
    void TearDown() override { mph::stopAudio(); }

    String path(const char* name) const { return String((m_dir / name).string().c_str()); }

    ScratchDir m_dir;
};

TEST_F(DummyAudioTest, StartIsIdempotentAndReportsState) {
    EXPECT_TRUE(mph::isAudioStarted());
    EXPECT_TRUE(mph::startAudio(nullptr, 4096, true));
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    ASSERT_EQ(Mix_QuerySpec(&frequency, &format, &channels), 1);
    EXPECT_EQ(frequency, 22050);
    EXPECT_EQ(Mix_AllocateChannels(-1), 32);
    mph::stopAudio();
    EXPECT_FALSE(mph::isAudioStarted());
    mph::stopAudio(); // a second stop is harmless
}

TEST_F(DummyAudioTest, PlayRestartsAndLoopNeverStartsASecondCopy) {
    auto clip = lang::adopt(new AudioClip(path("beep.wav"), AudioClip::Sample));
    ASSERT_TRUE(clip->isLoaded());
    clip->play();
    EXPECT_TRUE(clip->isPlaying());
    clip->play();
    EXPECT_EQ(busyChannels(), 1);

    clip->stop();
    EXPECT_FALSE(clip->isPlaying());
    clip->loop();
    clip->loop();
    EXPECT_EQ(busyChannels(), 1);
    EXPECT_TRUE(clip->isPlaying());

    // Another clip of the same file is a sound of its own.
    auto other = lang::adopt(new AudioClip(path("beep.wav"), AudioClip::Sample));
    other->loop();
    EXPECT_EQ(busyChannels(), 2);
}

TEST_F(DummyAudioTest, VolumeSetBeforePlayAppliesWhenItStarts) {
    auto quiet = lang::adopt(new AudioClip(path("beep.wav"), AudioClip::Sample));
    quiet->setVolume(128);
    EXPECT_EQ(busyChannels(), 0);
    quiet->play();
    int channel = busyChannel();
    ASSERT_GE(channel, 0);
    EXPECT_EQ(Mix_Volume(channel, -1), 64);
    quiet->setVolume(1000); // clamped to the top of the range
    EXPECT_EQ(Mix_Volume(channel, -1), 128);
    EXPECT_EQ(quiet->getVolume(), 255);

    // A clip that never set a volume plays at full volume even on a channel left quiet by another clip.
    quiet->setVolume(0);
    quiet->stop();
    auto plain = lang::adopt(new AudioClip(path("beep.wav"), AudioClip::Sample));
    plain->play();
    EXPECT_EQ(busyChannel(), channel);
    EXPECT_EQ(Mix_Volume(channel, -1), 128);
}

TEST_F(DummyAudioTest, PauseThenLoopResumesTheSameSound) {
    auto clip = lang::adopt(new AudioClip(path("beep.wav"), AudioClip::Sample));
    clip->play();
    int channel = busyChannel();
    clip->pause();
    EXPECT_TRUE(Mix_Paused(channel));
    EXPECT_TRUE(clip->isPlaying());
    clip->loop();
    EXPECT_FALSE(Mix_Paused(channel));
    EXPECT_EQ(busyChannels(), 1);
}

TEST_F(DummyAudioTest, MissingFileGivesASilentClipThatIsNotRetried) {
    auto clip = lang::adopt(AudioClip::createClip("nothing.wav", String((m_dir.path()).string().c_str())));
    ASSERT_TRUE(clip);
    EXPECT_FALSE(clip->isLoaded());
    EXPECT_TRUE(clip->hasLoadFailed());
    clip->play();
    clip->loop();
    clip->setVolume(10);
    clip->pause();
    EXPECT_FALSE(clip->isPlaying());
    EXPECT_EQ(busyChannels(), 0);

    // The file appearing later changes nothing until the clip is told to load again.
    writeFile(m_dir / "nothing.wav", sineWav(22050, 22050, 441, 12000));
    clip->play();
    EXPECT_FALSE(clip->isPlaying());
    EXPECT_TRUE(clip->loadClip(clip->getName(), clip->getType()));
    clip->play();
    EXPECT_TRUE(clip->isPlaying());
}

TEST_F(DummyAudioTest, ContainerItemsAndBackslashPathsLoad) {
    mph::ContainerWriter writer;
    writer.add("beep", sineWav(22050, 22050, 441, 12000));
    writer.add("tune", squareWaveModule());
    writer.add("empty", {});
    writer.write(String((m_dir / "sounds.bin").string().c_str()));
    mph::clearResourceFiles();
    mph::addResourceFile(String((m_dir / "sounds.bin").string().c_str()));

    AudioClip sample("+beep", AudioClip::Sample);
    AudioClip stream("+beep", AudioClip::Stream);
    AudioClip module("+tune", AudioClip::Module);
    AudioClip missing("+nothing", AudioClip::Sample);
    AudioClip empty("+empty", AudioClip::Stream);
    AudioClip onDisk(String((m_dir.path().string() + "\\beep.wav").c_str()), AudioClip::Sample);
    // The clips keep their own bytes: the container may go while they play.
    mph::clearResourceFiles();
    EXPECT_TRUE(sample.isLoaded());
    EXPECT_TRUE(stream.isLoaded());
    EXPECT_TRUE(module.isLoaded());
    EXPECT_TRUE(onDisk.isLoaded());
    EXPECT_TRUE(missing.hasLoadFailed());
    EXPECT_TRUE(empty.hasLoadFailed());
    sample.loop();
    stream.loop();
    EXPECT_TRUE(sample.isPlaying());
    EXPECT_TRUE(stream.isPlaying());
}

TEST_F(DummyAudioTest, GarbageAndEmptyFilesFailToLoad) {
    writeFile(m_dir / "empty.wav", {});
    writeFile(m_dir / "junk.wav", {'R', 'I', 'F', 'F', 1, 2, 3});
    for (const char* name : {"empty.wav", "junk.wav"}) {
        for (int type : {AudioClip::Sample, AudioClip::Stream}) {
            AudioClip clip(path(name), type);
            EXPECT_FALSE(clip.isLoaded()) << name << " as " << type;
            clip.loop();
            EXPECT_FALSE(clip.isPlaying());
        }
    }
    AudioClip directory(String(m_dir.path().string().c_str()), AudioClip::Sample);
    EXPECT_TRUE(directory.hasLoadFailed());
}

TEST_F(DummyAudioTest, UnloadedClipReloadsItselfOnPlay) {
    auto clip = lang::adopt(new AudioClip(path("tune.mod"), AudioClip::Module));
    ASSERT_TRUE(clip->isLoaded());
    clip->loop();
    EXPECT_TRUE(clip->isPlaying());
    clip->unloadClip();
    EXPECT_FALSE(clip->isLoaded());
    EXPECT_FALSE(clip->isPlaying());
    EXPECT_FALSE(Mix_PlayingMusic());
    clip->play();
    EXPECT_TRUE(clip->isLoaded());
    EXPECT_TRUE(clip->isPlaying());
}

TEST_F(DummyAudioTest, MusicClipsShareOneChannelHonestly) {
    auto stream = lang::adopt(new AudioClip(path("beep.wav"), AudioClip::Stream));
    auto module = lang::adopt(new AudioClip(path("tune.mod"), AudioClip::Module));
    ASSERT_TRUE(stream->isLoaded());
    ASSERT_TRUE(module->isLoaded());
    stream->setVolume(255);
    module->setVolume(64);

    stream->loop();
    EXPECT_TRUE(stream->isPlaying());
    EXPECT_EQ(Mix_VolumeMusic(-1), 128);
    module->play();
    EXPECT_FALSE(stream->isPlaying());
    EXPECT_TRUE(module->isPlaying());
    EXPECT_EQ(Mix_VolumeMusic(-1), 32);

    // The clip that lost the music channel no longer touches it.
    stream->pause();
    stream->stop();
    stream->setVolume(200);
    EXPECT_TRUE(module->isPlaying());
    EXPECT_FALSE(Mix_PausedMusic());
    EXPECT_EQ(Mix_VolumeMusic(-1), 32);

    module->pause();
    EXPECT_TRUE(Mix_PausedMusic());
    // Starting other music is not held back by the pause left behind.
    stream->play();
    EXPECT_FALSE(Mix_PausedMusic());
    EXPECT_TRUE(stream->isPlaying());
    EXPECT_FALSE(module->isPlaying());
}

TEST_F(DummyAudioTest, FinishedSampleDoesNotClaimItsOldChannel) {
    auto first = lang::adopt(new AudioClip(path("beep.wav"), AudioClip::Sample));
    auto second = lang::adopt(new AudioClip(path("beep.wav"), AudioClip::Sample));
    first->play();
    int channel = busyChannel();
    // The sound ends on its own; the engine then hands the channel to the next sound.
    Mix_HaltChannel(channel);
    second->play();
    ASSERT_EQ(busyChannel(), channel);
    EXPECT_FALSE(first->isPlaying());
    first->stop();
    first->pause();
    first->setVolume(0);
    EXPECT_TRUE(second->isPlaying());
    EXPECT_FALSE(Mix_Paused(channel));
    EXPECT_EQ(Mix_Volume(channel, -1), 128);
    // loop on the finished clip starts it afresh on another channel.
    first->loop();
    EXPECT_TRUE(first->isPlaying());
    EXPECT_EQ(busyChannels(), 2);
}

TEST_F(DummyAudioTest, ClipsOutliveTheEngineQuietly) {
    auto clip = lang::adopt(new AudioClip(path("beep.wav"), AudioClip::Sample));
    auto music = lang::adopt(new AudioClip(path("tune.mod"), AudioClip::Module));
    clip->loop();
    music->loop();
    mph::stopAudio();
    EXPECT_FALSE(clip->isPlaying());
    EXPECT_FALSE(music->isPlaying());
    clip->play();
    music->loop();
    clip->setVolume(3);
    mph::setEffectsVolume(10);
    EXPECT_FALSE(clip->isPlaying());
    clip->unloadClip();
    EXPECT_FALSE(clip->isLoaded());
    EXPECT_FALSE(clip->loadClip(clip->getName(), AudioClip::Sample));
}

TEST_F(DummyAudioTest, ClipsSharedBetweenThreadsStayConsistent) {
    auto effect = lang::adopt(new AudioClip(path("beep.wav"), AudioClip::Sample));
    auto music = lang::adopt(new AudioClip(path("tune.mod"), AudioClip::Module));
    // One thread plays effects as the render thread does, the other works the volume knobs and music.
    std::thread ticks([&] {
        for (int i = 0; i < 300; ++i) {
            effect->play();
            if (i % 7 == 0) effect->stop();
        }
        mph::releaseAudioThreadState();
    });
    std::thread knobs([&] {
        for (int i = 0; i < 300; ++i) {
            effect->setVolume(i % 256);
            mph::setEffectsVolume(255 - i % 256);
            if (i % 2) music->loop(); else music->pause();
            if (i % 50 == 0) music->unloadClip();
        }
        mph::releaseAudioThreadState();
    });
    ticks.join();
    knobs.join();
    effect->play();
    EXPECT_TRUE(effect->isPlaying());
    EXPECT_EQ(busyChannels(), 1);
    EXPECT_EQ(Mix_Volume(busyChannel(), -1), mph::engineVolume(299 % 256));
}

} // namespace
