// MyFrame: the game's main frame: its start-up sequence and the loading screen it draws itself.
#pragma once

#include "app/LoaderFrame2.h"
#include "gfx/Image.h"

#include <vector>

namespace mph {

class MyFrame : public LoaderFrame2 {
    LANG_CLASS(MyFrame, LoaderFrame2)

public:
    static constexpr uint32_t kLoadingMinimumMs = 2500;
    static constexpr uint32_t kLoadingTimerMs = 60;
    static constexpr int32_t kLoadingTimerId = 1;
    // The loading screen's background, RGB (120, 26, 30).
    static constexpr uint32_t kLoadingColor = 0xFF781A1Eu;

    MyFrame();
    ~MyFrame() override;

    // Creates the window and runs the whole start-up; false when the program should not enter its loop.
    bool create(Component* parent, const lang::Rectangle& bounds) override;
    // Paints the loading screen while it exists.
    void update(Graphics* g) override;
    void onTimer(int32_t id) override;
    void activate(bool active) override;
    void loadingFinished() override;

    // The first of the disk files that decodes to pixels, else the container's logo; may be empty.
    static lang::Ref<Image> findLoadingPicture(const std::vector<lang::String>& candidates);
    static std::vector<lang::String> loadingPictureCandidates();

    Image* getLoadingImage() const { return m_loadingImage.get(); }
    Image* getLoadingBuffer() const { return m_loadingBuffer.get(); }
    int32_t getLogoY() const { return m_logoY; }
    int32_t getTickCount() const { return m_tickCount; }

protected:
    // The game canvas this frame shows (a new reference).
    virtual GameCanvas* createCanvas();
    void canvasStopped() override;
    // Sets up the loading screen from a picture (may be empty).
    void prepareLoadingScreen(lang::Ref<Image> picture);
    // Window title, icon and the program's cursor from the container.
    void applyContainerLooks();
    // Shows the loading screen for the minimum time, handling messages; false when the quit message came.
    bool showLoadingScreen();

    lang::Ref<Image> m_loadingImage;
    lang::Ref<Image> m_loadingBuffer;
    int32_t m_logoY = 0;
    int32_t m_tickCount = 0;
};

} // namespace mph
