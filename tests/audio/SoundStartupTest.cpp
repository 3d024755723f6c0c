// Starting without a device, the start-up retries and how sound list entries become clips.
#include "audio/AudioClip.h"
#include "audio/AudioSystem.h"
#include "audio/SoundFixtures.h"
#include "audio/SoundStartup.h"
#include "runtime/Ref.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using lang::String;
using mph::AudioClip;

namespace {

struct Attempt {
    int mixBuffer;
    bool useWaveOut;
};

// Records every start attempt and wait, and lets start succeed from a given attempt on (0: never).
struct FakeDevice {
    int succeedOnAttempt = 0;
    std::vector<Attempt> attempts;
    std::vector<uint32_t> waits;
    std::vector<std::string> order;

    mph::SoundStartHooks hooks() {
        return {[this](void*, int mixBuffer, bool useWaveOut) {
                    attempts.push_back({mixBuffer, useWaveOut});
                    order.push_back("start");
                    return succeedOnAttempt > 0 && int(attempts.size()) >= succeedOnAttempt;
                },
                [this](uint32_t ms) {
                    waits.push_back(ms);
                    order.push_back("wait");
                }};
    }
};

TEST(SoundStartup, AllAttemptsFailingTriesThreeTimesWithTheWaitBetweenTheFirstTwo) {
    FakeDevice device;
    EXPECT_FALSE(mph::initSound(nullptr, 2048, false, device.hooks()));
    ASSERT_EQ(device.attempts.size(), 3u);
    EXPECT_EQ(device.order, (std::vector<std::string>{"start", "wait", "start", "start"}));
    EXPECT_EQ(device.waits, std::vector<uint32_t>{3000});
    for (const Attempt& a : device.attempts)
        EXPECT_EQ(a.mixBuffer, 2048);
    EXPECT_FALSE(device.attempts[0].useWaveOut);
    EXPECT_FALSE(device.attempts[1].useWaveOut);
    EXPECT_TRUE(device.attempts[2].useWaveOut);
}

TEST(SoundStartup, StopsAtTheFirstSuccess) {
    FakeDevice first;
    first.succeedOnAttempt = 1;
    EXPECT_TRUE(mph::initSound(nullptr, -1, true, first.hooks()));
    EXPECT_EQ(first.attempts.size(), 1u);
    EXPECT_TRUE(first.attempts[0].useWaveOut);
    EXPECT_TRUE(first.waits.empty());

    FakeDevice second;
    second.succeedOnAttempt = 2;
    EXPECT_TRUE(mph::initSound(nullptr, -1, false, second.hooks()));
    EXPECT_EQ(second.attempts.size(), 2u);
    EXPECT_EQ(second.waits.size(), 1u);
}

TEST(SoundStartup, NoDeviceLeavesEveryOperationSilent) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_FALSE(mph::startAudio(nullptr, -1, false));
    // A driver named by the user is honoured by the alternative output too.
    EXPECT_FALSE(mph::initSound(nullptr, -1, false, {mph::startAudio, [](uint32_t) {}}));
    EXPECT_FALSE(mph::isAudioStarted());

    soundtest::ScratchDir dir;
    soundtest::writeFile(dir / "beep.wav", soundtest::sineWav(22050, 2205, 441, 9000));
    AudioClip clip(String((dir / "beep.wav").string().c_str()), AudioClip::Sample);
    EXPECT_TRUE(clip.hasLoadFailed());
    clip.setVolume(100);
    clip.play();
    clip.loop();
    clip.pause();
    clip.stop();
    mph::setEffectsVolume(300);
    mph::stopAudio();
    EXPECT_FALSE(clip.isPlaying());
    EXPECT_EQ(clip.getVolume(), 100);
}

TEST(SoundListEntries, NameDecidesTypeAndPlace) {
    struct Case {
        const char* entry;
        int type;
        const char* name;
    };
    const Case cases[] = {
        {"pop.wav", AudioClip::Sample, "data\\pop.wav"},
        {"*loop.wav", AudioClip::Stream, "data\\loop.wav"},
        {"theme.mod", AudioClip::Module, "data\\theme.mod"},
        {"*theme.mod", AudioClip::Module, "data\\theme.mod"},
        {"+song.s3m", AudioClip::Module, "+song.s3m"},
        {"x.xm", AudioClip::Module, "data\\x.xm"},
        {"*+smusic", AudioClip::Stream, "+smusic"},
        {"+click", AudioClip::Sample, "+click"},
        {"a.MOD", AudioClip::Sample, "data\\a.MOD"},
    };
    for (const Case& c : cases) {
        auto clip = lang::adopt(AudioClip::createClip(c.entry, "data"));
        ASSERT_TRUE(clip) << c.entry;
        EXPECT_EQ(clip->getType(), c.type) << c.entry;
        EXPECT_EQ(clip->getName().str(), c.name) << c.entry;
        EXPECT_FALSE(clip->isPlaying());
    }
    EXPECT_EQ(AudioClip::createClip("ab", "data"), nullptr);
    EXPECT_EQ(AudioClip::createClip("", "data"), nullptr);
}

} // namespace
