// Shared pieces of the shell's tests: a temporary settings store, canvases and frames that record what
// happens to them, and running the message loop.
#pragma once

#include "app/GameCanvas.h"
#include "app/LoaderFrame2.h"
#include "io/User.h"
#include "platform/Event.h"
#include "platform/MessageLoop.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

namespace apptest {

using ::TempDir;

// Waits up to timeoutMs for condition, polling.
inline bool waitFor(const std::function<bool()>& condition, int timeoutMs = 3000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// Runs the message loop until nothing is waiting.
inline void pump() {
    for (int i = 0; i < 1000; ++i)
        if (mph::MessageLoop::peekMessage() == mph::MessageLoop::PeekResult::kNone) return;
}

// A canvas that counts the deliveries of the input thread and what they carried.
class RecordingCanvas : public mph::GameCanvas {
public:
    std::atomic<int> deliveries{0};
    std::atomic<int> nullDeliveries{0};
    std::atomic<int> lastId{0};
    void handleEvent() override {
        mph::Event* e = getCurrentEvent();
        if (e == nullptr)
            ++nullDeliveries;
        else
            lastId.store(e->id);
        ++deliveries;
    }
};

// A frame on a temporary store whose desktop depth the test chooses; sound is never started.
class TestFrame : public mph::LoaderFrame2 {
public:
    TestFrame(std::string db, int32_t depth) : m_db(std::move(db)), m_depth(depth) {}
    int soundStarts = 0;
    void initSound() override { ++soundStarts; }

protected:
    int32_t desktopDepth() override { return m_depth; }
    void openSettings(mph::User& settings, const char*) override { settings.openAt(m_db); }

private:
    std::string m_db;
    int32_t m_depth;
};

} // namespace apptest
