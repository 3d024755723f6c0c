// Tests of the settings database: value types, sub-keys, concurrent writers and damaged files.
#include "TempDir.h"

#include "io/SettingsStore.h"
#include "io/User.h"
#include "runtime/String.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

using namespace mph;
using lang::String;

namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void spit(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

} // namespace

TEST(SettingsStore, DefaultPathFollowsXdgDataHomeAndLowerCasesTheProduct) {
    const char* old = std::getenv("XDG_DATA_HOME");
    const std::string saved = old != nullptr ? old : "";
    setenv("XDG_DATA_HOME", "/data/home", 1);
    EXPECT_EQ(SettingsStore::defaultPath("Morphella"), "/data/home/quillory/morphella/settings.db");
    // A relative XDG_DATA_HOME is ignored in favour of the home folder.
    setenv("XDG_DATA_HOME", "relative", 1);
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(SettingsStore::defaultPath("A/B"), "/home/someone/.local/share/quillory/a_b/settings.db");
    if (old != nullptr)
        setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
}

TEST(SettingsStore, ValuesKeepTheirTypes) {
    TempDir dir;
    User user;
    user.openAt(dir.db());
    user.setString("NAME", "Ann");
    user.setInt("VOLUMEFX", -7);
    EXPECT_EQ(user.getInt("NAME", 42), 42) << "a string is not a number";
    EXPECT_EQ(user.getInt("VOLUMEFX", 0), -7);
    EXPECT_EQ(user.getInt("volumefx", 0), -7) << "names are case-blind";
    EXPECT_EQ(user.getString("NAME", "x"), "Ann");
    EXPECT_EQ(user.getString("MISSING", "dflt"), "dflt");
    // Any type reads as text up to its first zero byte: -7 is F9 FF FF FF.
    EXPECT_EQ(user.getString("VOLUMEFX", "x"), "\xF9\xFF\xFF\xFF");

    // Rewriting a value may change its type.
    user.setInt("NAME", 3);
    EXPECT_EQ(user.getInt("NAME", 0), 3);

    lang::BooleanArray bytes;
    bytes.resize(3);
    bytes.data[0] = 0;
    bytes.data[1] = 0xFF;
    bytes.data[2] = 7;
    user.setBinary("BLOB", bytes);
    lang::BooleanArray back;
    ASSERT_TRUE(user.getBinary("BLOB", back));
    ASSERT_EQ(back.length, 3);
    EXPECT_EQ(back.data[1], 0xFF);
    EXPECT_EQ(user.getString("BLOB", "x"), "") << "text ends at the first zero byte";
    EXPECT_EQ(user.getInt("BLOB", 5), 5);
    lang::BooleanArray empty;
    user.setBinary("EMPTY", empty);
    EXPECT_TRUE(user.getBinary("EMPTY", back));
    EXPECT_EQ(back.length, 0);
    EXPECT_FALSE(user.getBinary("NOPE", back));
    ASSERT_TRUE(user.getBinary("NAME", back)) << "a dword reads as its four bytes";
    EXPECT_EQ(back.length, 4);
}

TEST(SettingsStore, StringsReadUpToTheirLimit) {
    TempDir dir;
    User user;
    user.openAt(dir.db());
    // A string is stored with its terminating zero, and at most 1023 bytes are read.
    const std::string fits(User::kMaxStringBytes - 1, 'a');
    user.setString("FITS", String(std::string_view(fits)));
    user.setString("LONG", String(std::string_view(fits + "b")));
    EXPECT_EQ(user.getString("FITS", "d").length(), User::kMaxStringBytes - 1);
    EXPECT_EQ(user.getString("LONG", "d"), "d");
}

TEST(SettingsStore, BackslashNamesResolveIntoSubkeys) {
    TempDir dir;
    User user;
    user.openAt(dir.db());
    user.setInt("audio\\level", 7);
    EXPECT_EQ(user.getInt("audio\\level", 0), 7);
    EXPECT_EQ(user.getInt("level", 0), 0) << "the value lives in the sub-key only";
    EXPECT_EQ(user.getInt("AUDIO\\\\Level", 0), 7) << "empty segments and case do not matter";

    // Even reading opens the sub-key, creating it (and the keys on the way) when missing.
    EXPECT_EQ(user.getInt("video\\modes\\x", 3), 3);
    lang::ObjectArray names;
    user.listSubkeys(names);
    ASSERT_EQ(names.length, 2);
    EXPECT_EQ(*static_cast<String*>(names.data[0]), "audio");
    EXPECT_EQ(*static_cast<String*>(names.data[1]), "video");
    for (int32_t i = 0; i < names.length; ++i)
        names.data[i]->release();
    EXPECT_EQ(user.store().listSubkeys("video"), std::vector<std::string>{"modes"});

    // A name without a value deletes the sub-key of that name, values and all, but not one that has
    // sub-keys of its own.
    user.deleteValue("video");
    EXPECT_EQ(user.store().listSubkeys().size(), 2u);
    user.deleteValue("video\\modes");
    user.deleteValue("video");
    user.deleteValue("audio");
    EXPECT_TRUE(user.store().listSubkeys().empty());
    EXPECT_EQ(user.getInt("audio\\level", -1), -1);
}

TEST(SettingsStore, ConcurrentWritersLoseNothing) {
    TempDir dir;
    { SettingsStore().open(dir.db()); }
    // Two writers, each on its own connection as two programs would be, write at the same time;
    // each waits for the other's transaction instead of failing.
    constexpr int kValues = 40;
    std::atomic<int> ready{0};
    auto writer = [&](const char* prefix) {
        SettingsStore store;
        ASSERT_TRUE(store.open(dir.db()));
        ++ready;
        while (ready < 2)
            std::this_thread::yield();
        for (int i = 0; i < kValues; ++i) {
            EXPECT_TRUE(store.writeDword(prefix + std::to_string(i), i));
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    };
    std::thread a(writer, "A");
    std::thread b(writer, "B");
    a.join();
    b.join();
    User user;
    user.openAt(dir.db());
    for (int i = 0; i < kValues; ++i) {
        ASSERT_EQ(user.getInt(String("A") + i, -1), i);
        ASSERT_EQ(user.getInt(String("B") + i, -1), i);
    }
}

TEST(SettingsStore, ABatchLandsWhole) {
    TempDir dir;
    SettingsStore store;
    ASSERT_TRUE(store.open(dir.db()));
    SettingsStore reader;
    ASSERT_TRUE(reader.open(dir.db()));
    SettingsStore::Value v;
    {
        SettingsStore::Batch batch(store);
        store.writeDword("ONE", 1);
        store.writeDword("TWO", 2);
        // Another connection does not see half a batch.
        EXPECT_FALSE(reader.read("ONE", v));
    }
    EXPECT_TRUE(reader.read("ONE", v));
    EXPECT_TRUE(reader.read("TWO", v));
}

TEST(SettingsStore, DamagedDatabaseIsMovedAsideAndReplaced) {
    TempDir dir;
    const std::string garbage = "this is not a database, just some bytes that happen to sit here";
    spit(dir.db(), garbage);
    spit(dir.db() + "-wal", "stale log");
    SettingsStore::setQuiet(true);
    {
        User user;
        user.openAt(dir.db());
        const std::string aside = user.store().movedAsidePath();
        ASSERT_FALSE(aside.empty());
        EXPECT_EQ(slurp(aside), garbage) << "the damaged file is kept as it was";
        EXPECT_EQ(slurp(aside + "-wal"), "stale log") << "side files go with it";
        user.setInt("FRESH", 1);
        EXPECT_EQ(user.getInt("FRESH", 0), 1);
    }

    // A real database cut short is damage too; the fresh store from before is moved as well.
    const std::string whole = slurp(dir.db());
    ASSERT_GT(whole.size(), 4096u);
    spit(dir.db(), whole.substr(0, 100) + std::string(whole.size() - 100, '\x55'));
    SettingsStore store;
    EXPECT_TRUE(store.open(dir.db()));
    EXPECT_FALSE(store.movedAsidePath().empty());
    EXPECT_TRUE(store.writeDword("AGAIN", 2));
    store.close();

    // A format version the library cannot write would open the store read-only for good.
    std::string readOnly = slurp(dir.db());
    readOnly[18] = 'Z';
    spit(dir.db(), readOnly);
    EXPECT_TRUE(store.open(dir.db()));
    EXPECT_FALSE(store.movedAsidePath().empty());
    EXPECT_TRUE(store.writeDword("THIRD", 3));
    SettingsStore::setQuiet(false);
}

TEST(SettingsStore, MissingStoreGivesDefaults) {
    User user;
    user.openAt("/proc/no-such-place/settings.db");
    EXPECT_FALSE(user.store().isOpen());
    user.setInt("X", 1);
    EXPECT_EQ(user.getInt("X", 9), 9);
    EXPECT_EQ(user.insertScore("a", 1, 10, 0), 0) << "the table still works in memory";
}
