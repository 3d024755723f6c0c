// ReplayStore: the folder of recorded games: atomic writes, which recordings are kept, and finding the
// recording of a table row.
#pragma once

#include "replay/ReplayFile.h"
#include "scores/RecordedGames.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace mph {

// Files are named "game-<milliseconds since 1970>.mphr", so their names sort by age. After every save the
// store keeps the kKeptRecent newest files and the best game of each table, and removes the others. Files
// that cannot be read are left alone and never counted. Every member may be called from any thread.
class ReplayStore : public RecordedGames {
public:
    static constexpr size_t kKeptRecent = 20;

    struct Entry {
        std::string path;
        uint64_t serial = 0;
        std::string mode;
        std::string name;
        int32_t level = 0;
        int32_t score = 0;
    };

    explicit ReplayStore(std::string folder) : m_folder(std::move(folder)) {}

    // "replays" beside the settings store: ${XDG_DATA_HOME:-$HOME/.local/share}/quillory/morphella/replays,
    // or "" when there is no home folder.
    static std::string defaultFolder();
    const std::string& folder() const { return m_folder; }

    // Writes the game as a new file, then removes the files no longer kept. Returns the new file's path,
    // or "" when it could not be written (said on standard error).
    std::string save(const ReplayFile& game);
    // Writes the game again over a file of the store (its name entered, for example).
    bool rewrite(const std::string& path, const ReplayFile& game);
    // The readable recordings, newest first.
    std::vector<Entry> entries();

    bool has(std::string_view mode, std::string_view name, int32_t level, int32_t score) override;
    std::string bytes(std::string_view mode, std::string_view name, int32_t level, int32_t score,
                      int32_t nonce = 0) override;

    // Writes bytes to a temporary file beside path, flushes it to the disk and renames it over path, so
    // path holds either its old bytes or all the new ones.
    static bool writeAtomically(const std::string& path, std::string_view bytes, std::string& error);

private:
    static Entry entryOf(const std::string& path, uint64_t serial, const ReplayFile& game);
    void loadIndex();
    void prune();

    std::mutex m_mutex;
    std::string m_folder;
    bool m_loaded = false;
    uint64_t m_lastSerial = 0;
    std::vector<Entry> m_entries; // newest first
};

} // namespace mph
