// ReplayFrame: the viewer's canvas and its throw-away copy of the settings.
#include "replay/ReplayFrame.h"

#include "io/SettingsStore.h"
#include "io/User.h"
#include "replay/ReplayCanvas.h"
#include "scores/ScoreServer.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace mph {

ReplayFrame::~ReplayFrame() {
    if (m_folder.empty()) return;
    std::error_code ignored;
    fs::remove_all(m_folder, ignored);
}

GameCanvas* ReplayFrame::createCanvas() {
    return new ReplayCanvas(m_file);
}

void ReplayFrame::openSettings(User& settings, const char* productName) {
    std::string pattern = (fs::temp_directory_path() / "morphella-replay-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        // Without a store the settings read as their defaults and nothing is written.
        std::fprintf(stderr,
                     "morphella: no temporary folder for the replay's settings; using the defaults\n");
        return;
    }
    m_folder = pattern;
    const std::string copy = m_folder + "/settings.db";
    const std::string real = SettingsStore::defaultPath(productName != nullptr ? productName : "");
    std::error_code failed;
    if (!real.empty() && fs::exists(real, failed)) fs::copy_file(real, copy, failed);
    if (failed)
        std::fprintf(stderr, "morphella: the settings were not copied: %s\n", failed.message().c_str());
    settings.openAt(copy);
    settings.deleteValue(ScoreServer::kAddressSetting);
}

} // namespace mph
