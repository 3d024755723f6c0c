// ReplayStore: the twenty newest recordings and the best of each table are kept, nothing half written is
// left behind, and a name written later is found again, also by a store opened afterwards.
#include "replay/ReplayStore.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using mph::ReplayFile;
using mph::ReplayStore;

namespace {

ReplayFile game(int32_t mode, int32_t score) {
    ReplayFile f;
    f.gameVersion = "1.00";
    f.start.mode = mode;
    f.finalScore = score;
    f.finalLevel = 2;
    return f;
}

std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& item : std::filesystem::directory_iterator(folder))
        names.push_back(item.path().filename());
    return names;
}

} // namespace

TEST(ReplayStore, KeepsTheTwentyNewestAndTheBestOfEachTable) {
    TempDir dir;
    ReplayStore store(dir.path() + "/replays");
    ASSERT_FALSE(store.save(game(2, 50)).empty()); // the only rising-rows game
    store.save(game(0, 900));                      // the best timed game, soon the oldest
    store.save(game(0, 900));                      // as good, but later
    for (int32_t i = 0; i < 25; ++i)
        store.save(game(0, 100 + i));

    const std::vector<ReplayStore::Entry> kept = store.entries();
    ASSERT_EQ(kept.size(), 22u);
    for (size_t i = 0; i < 20; ++i)
        EXPECT_EQ(kept[i].score, 124 - static_cast<int32_t>(i));
    EXPECT_EQ(kept[20].score, 900);
    EXPECT_EQ(kept[21].mode, "S");
    EXPECT_LT(kept[20].serial, store.entries()[19].serial);
    // Only the kept files remain, named by their age, and no temporary file is left.
    std::vector<std::string> names = filesIn(store.folder());
    ASSERT_EQ(names.size(), 22u);
    for (const std::string& name : names)
        EXPECT_EQ(name.rfind("game-", 0), 0u) << name;
}

TEST(ReplayStore, ANameWrittenLaterIsFoundAlsoByAStoreOpenedAfterwards) {
    TempDir dir;
    const std::string folder = dir.path() + "/replays";
    std::string path;
    ReplayFile named = game(0, 700);
    {
        ReplayStore store(folder);
        path = store.save(named);
        EXPECT_FALSE(store.has("N", "Bo", 2, 700));
        named.name = "Bo";
        ASSERT_TRUE(store.rewrite(path, named));
        EXPECT_TRUE(store.has("N", "Bo", 2, 700));
        EXPECT_FALSE(store.has("S", "Bo", 2, 700));
    }
    // A damaged file in the folder is skipped, not counted and not removed.
    std::ofstream(folder + "/game-0000000000000001.mphr") << "MPHR broken";
    ReplayStore later(folder);
    EXPECT_TRUE(later.has("N", "Bo", 2, 700));
    EXPECT_EQ(later.bytes("N", "Bo", 2, 700), named.encode());
    // Sent to the world table, the bytes carry the submission's nonce.
    ReplayFile sent;
    std::string error;
    ASSERT_TRUE(ReplayFile::decode(later.bytes("N", "Bo", 2, 700, 417), sent, error)) << error;
    EXPECT_EQ(sent.nonce, 417);
    EXPECT_EQ(sent.gameHash(), named.gameHash());
    EXPECT_EQ(later.entries().size(), 1u);
    EXPECT_EQ(filesIn(folder).size(), 2u);
}
