// morphella-tool replay: plays a recorded game headless and says whether it ends as recorded.
#include "Tool.h"

#include "headless/GameDump.h"
#include "replay/ReplayFile.h"
#include "replay/ReplayPlayer.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using mph::GameDump;
using mph::ReplayFile;
using mph::ReplayOutcome;
using mph::ReplayPlayer;

constexpr const char* kUsageText = "usage: replay FILE [--container FILE] [--snapshot-every N DIR]";

// Removes "--snapshot-every N DIR" from args; false when it is there but malformed.
bool takeSnapshots(tool::Args& args, ReplayPlayer::Options& options) {
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "--snapshot-every") continue;
        if (i + 2 >= args.size()) return false;
        errno = 0;
        char* end = nullptr;
        const long every = std::strtol(args[i + 1].c_str(), &end, 10);
        if (errno != 0 || end == args[i + 1].c_str() || *end != '\0' || every < 1 || every > 1'000'000)
            return false;
        options.snapshotEvery = static_cast<int32_t>(every);
        options.snapshotFolder = args[i + 2];
        args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 3);
        return true;
    }
    return true;
}

int runReplay(const tool::Args& given) {
    tool::Args args = given;
    ReplayPlayer::Options options;
    tool::takeOption(args, "--container", options.container);
    if (!takeSnapshots(args, options) || args.size() != 1 || args[0].empty() || args[0][0] == '-')
        return tool::usageError(kUsageText);
    if (options.snapshotEvery > 0) {
        std::error_code failed;
        std::filesystem::create_directories(options.snapshotFolder, failed);
        if (failed)
            return tool::usageError("replay: cannot make " + options.snapshotFolder + ": " +
                                    failed.message());
    }
    // Pictures are only composed when they are wanted; the outcome does not depend on them.
    options.compose = options.snapshotEvery > 0;

    ReplayFile file;
    std::string error;
    if (!ReplayFile::load(args[0], file, error)) return tool::usageError("replay: " + args[0] + ": " + error);
    ReplayOutcome outcome;
    if (!ReplayPlayer::play(file, options, outcome, error)) {
        std::fprintf(stderr, "morphella-tool: replay: %s: refused: %s\n", args[0].c_str(), error.c_str());
        return tool::kMissing;
    }
    const bool match = outcome.matches(file);
    std::printf(
        "{\"score\":%d,\"level\":%d,\"recordedScore\":%d,\"recordedLevel\":%d,\"match\":%s,\"ended\":%s,"
        "\"tooLong\":%s,\"ticks\":%lld,\"inputs\":%d,\"misfits\":%d,\"mode\":\"%s\",\"name\":%s}\n",
        outcome.score, outcome.level, file.finalScore, file.finalLevel, match ? "true" : "false",
        outcome.ended ? "true" : "false", outcome.tooLong ? "true" : "false",
        static_cast<long long>(outcome.ticks), file.inputCount(), outcome.misfits, file.tableMode().c_str(),
        GameDump::quote(file.name).c_str());
    return match ? tool::kOk : tool::kMissing;
}

tool::Registration
    replay("replay",
           "replay FILE [--container FILE] [--snapshot-every N DIR]\n"
           "    plays a recorded game headless and prints its final score and level as JSON with\n"
           "    whether they match the recorded ones (exit 0 when they do, 1 when not or when the\n"
           "    recording belongs to other game data, 2 for a damaged file)",
           runReplay);

} // namespace
