// The program's entry point: registers the container, runs the main frame and its message loop, recording
// every game played; with --replay FILE it shows a recorded game instead, and --container FILE plays other
// game data.
#include "game/GameClasses.h"
#include "game/GameFrame.h"
#include "io/LanguageOverlay.h"
#include "io/Resources.h"
#include "io/User.h"
#include "platform/Application.h"
#include "platform/MessageBox.h"
#include "platform/MessageLoop.h"
#include "replay/ReplayFile.h"
#include "replay/ReplayFrame.h"
#include "replay/ReplayRecorder.h"
#include "replay/ReplayStore.h"
#include "replay/ReplayWatch.h"
#include "runtime/Exception.h"
#include "scores/GameVersion.h"
#include "scores/HighScoreSprite.h"
#include "sprites/DataLoader.h"

#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <future>
#include <string>
#include <string_view>

namespace {

// Blocks from this size on are mapped on their own (the allocator's starting threshold, kept fixed).
constexpr int kOwnMappingBytes = 128 * 1024;

constexpr const char* kUsage = "usage: morphella [--container FILE] [--replay FILE]\n";
constexpr const char* kHelp =
    "Drag the shapes from the tray into the matching holes before the rows run out.\n"
    "\n"
    "options:\n"
    "  --container FILE  play with the game data in FILE (a modded morphella.bin) instead of the\n"
    "                    installed one\n"
    "  --replay FILE     show a recorded game (space pauses, right arrow speeds up, Escape quits)\n"
    "  --help            show this text\n"
    "  --version         show the version\n";

// What the arguments ask for: a recorded game to show, or (exit) to stop at once with status.
struct Arguments {
    std::string replay;
    std::string container;
    bool exit = false;
    int status = 0;
};

Arguments readArguments(int argc, char** argv) {
    Arguments result;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--replay" && i + 1 < argc && argv[i + 1][0] != '\0') {
            result.replay = argv[++i];
        } else if (arg == "--container" && i + 1 < argc && argv[i + 1][0] != '\0') {
            result.container = argv[++i];
        } else if (arg == "--help" || arg == "-h") {
            std::printf("%s%s", kUsage, kHelp);
            result.exit = true;
            return result;
        } else if (arg == "--version") {
            std::printf("morphella %s\n", mph::kGameVersion);
            result.exit = true;
            return result;
        } else {
            std::fprintf(stderr, "morphella: unknown argument \"%s\"\n%s", argv[i], kUsage);
            result.exit = true;
            result.status = 2;
            return result;
        }
    }
    return result;
}

// The language the player chose in the options, read before the frame opens the settings for itself: the
// translation must be in front of the container before the first picture is loaded.
std::string languageSetting() {
    lang::Ref<mph::User> settings = lang::make<mph::User>();
    settings->open(mph::kProductName);
    return settings->getString("LANGUAGE", "").str();
}

} // namespace

int main(int argc, char** argv) {
    // Pictures are large blocks that come and go (hidden dialogs let theirs go): they always get memory
    // of their own from the system and give it back when freed, instead of the allocator raising its
    // threshold and keeping freed pictures in its heaps.
    mallopt(M_MMAP_THRESHOLD, kOwnMappingBytes);
    const Arguments arguments = readArguments(argc, argv);
    if (arguments.exit) return arguments.status;
    mph::Application::setDesktopId(MPH_APP_ID);
    const std::string& replayPath = arguments.replay;
    // The sprite classes' registration records must be linked in before the data script names them.
    mph::registerGameClasses();
    // A container named on the command line is looked for as the game's own is (write ./FILE for the one
    // in the current folder when the program's folder holds one of the same name).
    const lang::String container(arguments.container.empty() ? mph::kContainerName
                                                             : arguments.container.c_str());
    if (mph::findContainerFile(container).isEmpty()) {
        mph::MessageBox::show(mph::containerNotFoundMessage(container), "Error");
        return 1;
    }
    try {
        mph::addResourceFile(container);
    } catch (lang::Exception* e) {
        mph::MessageBox::show(e->getMessage(), "Error");
        e->release();
        return 1;
    }
    mph::LanguageOverlay::start(languageSetting(), [](const char* name) { return std::getenv(name); });
    mph::ReplayFile recorded;
    if (!replayPath.empty()) {
        std::string error;
        if (!mph::ReplayFile::load(replayPath, recorded, error) || !recorded.playableHere(error)) {
            const std::string message =
                "The recorded game " + replayPath + " cannot be shown: " + error + ".";
            mph::MessageBox::show(lang::String(std::string_view(message)), "Error");
            mph::clearResourceFiles();
            return 1;
        }
    }
    // A data script that cannot be read is reported to the player.
    mph::DataLoader::setErrorReporter(
        [](const lang::String& message) { mph::MessageBox::show(message, "Error"); });

    // Every finished game is kept; they outlive the frame, which borrows them.
    mph::ReplayStore replays(mph::ReplayStore::defaultFolder());
    mph::ReplayRecorder recorder(&replays);
    // Shows the tables' recorded games over the game; it outlives the frame, which borrows it.
    mph::ReplayWatch watch;
    mph::GameFrame* frame = nullptr;
    std::future<uint64_t> dataHash;
    if (replayPath.empty()) {
        // Every recording names the data it was made with; the hash reads the whole container, so it is
        // worked out while the game loads rather than when the first game starts.
        dataHash = std::async(std::launch::async, [] { return mph::ReplayFile::currentDataHash(); });
        mph::HighScoreSprite::setRecordedGames(&replays);
        frame = new mph::GameFrame();
        frame->setObserver(&recorder);
        frame->setWatch(&watch);
    } else {
        frame = new mph::ReplayFrame(recorded);
    }
    int exitCode = 0;
    if (frame->create(nullptr, lang::Rectangle(0, 0, 800, 600)))
        exitCode = mph::MessageLoop::run();
    else if (!mph::Application::isInitialized()) {
        // No window could be made at all (no display); a quit during start-up is not an error.
        mph::MessageBox::show("Unable to open the game's window.", "Error");
        exitCode = 1;
    }
    frame->release();
    if (dataHash.valid()) dataHash.wait();
    mph::HighScoreSprite::setRecordedGames(nullptr);
    mph::clearResourceFiles();
    mph::Application::shutdown();
    return exitCode;
}
