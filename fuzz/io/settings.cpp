// Fuzz target: arbitrary bytes as the settings database file, opened and read through User.
//
// The store keeps every write durable, which on a disk costs several flushes per input. Here the folder
// lies in memory (/dev/shm when the machine has it) and the database library's default file layer is
// wrapped so that its flushes return at once: the store's own code, the library's page and journal
// handling, the damaged-file check and the move aside all run as in the program.
#include "io/User.h"

#include <sqlite3.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

sqlite3_vfs* g_real = nullptr;
sqlite3_vfs g_memory;

int noSync(sqlite3_file*, int) {
    return SQLITE_OK;
}

// Every file the library opens is the real file with its method table copied, flushing left out.
struct WrappedMethods {
    sqlite3_io_methods methods;
    bool made = false;
};
WrappedMethods g_methods;

int openWrapped(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags) {
    const int rc = g_real->xOpen(g_real, name, file, flags, outFlags);
    if (rc == SQLITE_OK && file->pMethods != nullptr) {
        if (!g_methods.made) {
            g_methods.methods = *file->pMethods;
            g_methods.methods.xSync = noSync;
            g_methods.made = true;
        }
        // One table serves every file, as the library uses one for all files of its unix layer.
        if (file->pMethods->xRead == g_methods.methods.xRead) file->pMethods = &g_methods.methods;
    }
    return rc;
}

int deleteUnsynced(sqlite3_vfs*, const char* name, int) {
    return g_real->xDelete(g_real, name, 0);
}

void installMemoryLayer() {
    g_real = sqlite3_vfs_find(nullptr);
    if (g_real == nullptr) std::abort();
    g_memory = *g_real;
    g_memory.zName = "fuzz-unsynced";
    g_memory.pNext = nullptr;
    g_memory.xOpen = openWrapped;
    g_memory.xDelete = deleteUnsynced;
    if (sqlite3_vfs_register(&g_memory, 1) != SQLITE_OK) std::abort();
}

const std::string& folder() {
    static const std::string dir = [] {
        installMemoryLayer();
        const std::filesystem::path shm = "/dev/shm";
        std::error_code ec;
        const std::filesystem::path base =
            std::filesystem::is_directory(shm, ec) ? shm : std::filesystem::temp_directory_path();
        std::string pattern = (base / "fuzz-settings-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        mph::SettingsStore::setQuiet(true);
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
