// Fuzz target: arbitrary bytes as the settings database file, opened and read through User.
//
// The store keeps every write durable, which on a disk costs several flushes per input. Here the folder
// lies in memory (/dev/shm, a memory file system whose flushes return at once, when the machine has it):
// the store's own code, the library's page and journal handling, the damaged-file check and the move
// aside all run as in the program.
#include "io/User.h"

#include <sqlite3.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// A page of up to 8 KiB and the library's header for it.
constexpr int kPageSlot = 8192 + 256;
constexpr int kPageSlots = 256;

const std::string& folder() {
    static const std::string dir = [] {
        const std::filesystem::path shm = "/dev/shm";
        std::error_code ec;
        const std::filesystem::path base =
            std::filesystem::is_directory(shm, ec) ? shm : std::filesystem::temp_directory_path();
        std::string pattern = (base / "fuzz-settings-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        mph::SettingsStore::setQuiet(true);
        // Every open allocates the library's page cache and lookaside slots afresh; under the address
        // checker each new block is filled and faulted in, which cost most of the time. One fixed page
        // buffer and no lookaside leave the same code paths (a page larger than the buffer's slots still
        // comes from the heap).
        static std::vector<uint8_t> pages(kPageSlot * kPageSlots);
        sqlite3_config(SQLITE_CONFIG_LOOKASIDE, 0, 0);
        sqlite3_config(SQLITE_CONFIG_PAGECACHE, pages.data(), kPageSlot, kPageSlots);
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
        return pattern;
    }();
    return dir;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string db = folder() + "/settings.db";
    if (FILE* f = std::fopen(db.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    {
        mph::User user;
        user.openAt(db);
        // A damaged file must have gone aside; what is open now must be usable.
        if (!user.store().isOpen()) std::abort();
        user.getInt("FULLSCREEN", 1);
        user.getString("MRUHSNAME", "");
        lang::BooleanArray bytes;
        user.getBinary("audio\\level", bytes);
        lang::ObjectArray names;
        user.listSubkeys(names);
        for (int32_t i = 0; i < names.length; ++i)
            names.data[i]->release();
        for (int32_t i = 0; i < 12; ++i)
            user.getName("S", i), user.getScore(i);
        user.store().listAll();
        user.insertScore("fuzz", "S", 1, 1000, 0);
        user.clearScores("N");
        user.getCredits();
    }
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder(), ec))
        std::filesystem::remove_all(entry.path(), ec);
    return 0;
}
