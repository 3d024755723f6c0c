// OptionsSprite: knob defaults, dragging limits with the effect preview, storing only on "bclose", and the
// full-screen switch.
#include "DialogFixture.h"

#include "audio/AudioClip.h"
#include "scores/OptionsSprite.h"
#include "scores/ScreenMode.h"

using namespace lang;
using namespace mph;

namespace {

class CountingClip : public AudioClip {
public:
    int loops = 0;
    int stops = 0;

protected:
    void loopImpl() override { ++loops; }
    void stopImpl() override { ++stops; }
};

class FakeScreen : public ScreenMode {
public:
    bool full = false;
    int switches = 0;
    bool isFullScreen() override { return full; }
    void setFullScreen(bool on) override {
        full = on;
        ++switches;
    }
};

// The dialog at (50, 50); knobs 10 x 10 on tracks from x 100 (effects at y 50, music at y 90); the mark
// at (20, 120); "bclose" at (300, 150).
class OptionsSpriteTest : public DialogFixture {
protected:
    void SetUp() override {
        DialogFixture::SetUp();
        writePicture("knob.png", 10, 10);
        writePicture("mark.png", 16, 16);
        write("opt.txt", "<images> knob knob.png mark mark.png <data> 100 50 100 90 <sprites>\r\n"
                         "bfullscreen Sprite mark 20 120\r\nbutfxknob Sprite knob 0 50\r\n"
                         "butmuknob Sprite knob 0 90\r\nbclose RectButtonSprite 300 150 40 20 1\r\n");
        m_dialog = load<OptionsSprite>("optdlg OptionsSprite:opt.txt 50 50 400 200 1", "optdlg");
        m_dialog->setSettings(m_store.get());
        m_dialog->setScreenMode(m_screen.get());
    }
    Ref<OptionsSprite> m_dialog;
    Ref<FakeScreen> m_screen = make<FakeScreen>();
};

} // namespace

TEST_F(OptionsSpriteTest, KnobsStayOnTheirTracksAndOnlyCloseStoresTheVolumes) {
    auto preview = make<CountingClip>();
    auto music = make<AudioClip>();
    m_dialog->setEffectClip(preview.get());
    m_dialog->addMusicClip(music.get());
    m_dialog->prepareOptions();
    EXPECT_EQ(m_dialog->findChild("butmuknob")->getX(), 228) << "music defaults to 128, as the game plays it";
    EXPECT_EQ(m_dialog->findChild("butfxknob")->getX(), 355) << "effects default to 255";

    EXPECT_EQ(m_dialog->mouseDown(50 + 358, 50 + 55), DialogSprite::ButtonPressed);
    EXPECT_EQ(preview->loops, 1) << "the preview loops while the knob is held";
    m_dialog->mouseMove(900, 0);
    EXPECT_EQ(m_dialog->effectsVolume(), 255);
    m_dialog->mouseMove(-100, 0);
    EXPECT_EQ(m_dialog->effectsVolume(), 0);
    m_dialog->mouseUp(50 + 100 + 3 + 40, 0);
    EXPECT_EQ(preview->stops, 1);
    EXPECT_FALSE(m_dialog->isDragging());
    EXPECT_EQ(m_dialog->effectsVolume(), 40);
    EXPECT_EQ(m_dialog->findChild("butfxknob")->getY(), 50);

    m_dialog->mouseDown(50 + 229, 50 + 95);
    m_dialog->mouseUp(50 + 229 + 30, 50 + 95);
    EXPECT_EQ(m_dialog->musicVolume(), 158);
    EXPECT_EQ(m_store->getInt("VOLUMEFX", -1), -1) << "nothing is stored before bclose";
    EXPECT_EQ(m_store->getInt("VOLUMEMUSIC", -1), -1);

    EXPECT_EQ(m_dialog->mouseDown(50 + 310, 50 + 160), OptionsSprite::Closed);
    EXPECT_EQ(m_store->getInt("VOLUMEFX", -1), 40);
    EXPECT_EQ(m_store->getInt("VOLUMEMUSIC", -1), 158);
    EXPECT_EQ(music->getVolume(), 158);
    m_dialog->prepareOptions();
    EXPECT_EQ(m_dialog->findChild("butfxknob")->getX(), 140);
}

TEST_F(OptionsSpriteTest, TheMarkSwitchesFullScreenAndStoresTheChoice) {
    m_dialog->prepareOptions();
    Sprite* mark = m_dialog->findChild("bfullscreen");
    EXPECT_FALSE(mark->isVisible());
    EXPECT_EQ(m_dialog->mouseDown(50 + 25, 50 + 125), DialogSprite::ButtonPressed);
    EXPECT_TRUE(m_screen->full);
    EXPECT_TRUE(mark->isVisible());
    EXPECT_EQ(m_store->getInt("FULLSCREEN", -1), 1);
    m_dialog->mouseDown(50 + 25, 50 + 125);
    EXPECT_FALSE(m_screen->full);
    EXPECT_EQ(m_store->getInt("FULLSCREEN", -1), 0);
    EXPECT_EQ(m_screen->switches, 2);
}
