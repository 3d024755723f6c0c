// Tests of the personal score tables and the credits counter kept by User.
#include "TempDir.h"

#include "io/User.h"

#include <gtest/gtest.h>

using namespace mph;
using lang::String;

namespace {

void storeEntry(User& u, int32_t i, const char* name, const char* mode, int32_t score) {
    u.setString(String("SCORENAME") + i, name);
    u.setString(String("SCOREMODE") + i, mode);
    u.setInt(String("SCORE") + i, score);
    u.setInt(String("LEVEL") + i, i + 1);
    u.setInt(String("SCORESETTING") + i, 0);
}

} // namespace

TEST(UserCredits, FreshUserStartsWithTheStartingAmount) {
    TempDir dir;
    {
        User user;
        user.openAt(dir.db());
        EXPECT_TRUE(user.store().isOpen());
        EXPECT_EQ(user.entryCount(), 0);
        EXPECT_EQ(user.credits(), 0);
        EXPECT_EQ(user.getCredits(), 500000);
        EXPECT_EQ(user.subtractCredits(1000), 499000);
    }
    User again;
    again.openAt(dir.db());
    EXPECT_EQ(again.credits(), 499000) << "credits are written when the user goes away";
    EXPECT_EQ(again.addCredits(INT32_MAX), static_cast<int32_t>(499000u + 0x7FFFFFFFu)) << "wraps, no overflow";
    again.resetCredits();
    EXPECT_EQ(again.credits(), 500000);
}

TEST(UserScores, LoadingStopsAtTheFirstMissingScore) {
    TempDir dir;
    {
        User user;
        user.openAt(dir.db());
        for (int32_t i = 0; i < 5; ++i) storeEntry(user, i, "p", "", 100 - i);
        user.deleteValue("SCORE2");
    }
    User user;
    user.openAt(dir.db());
    EXPECT_EQ(user.entryCount(), 2);
    EXPECT_EQ(user.getScore(1), 99);
    EXPECT_EQ(user.getLevel(1), 2);
    EXPECT_EQ(user.getScore(2), -1);
    EXPECT_EQ(user.getName(5), "");

    // Saving closes the gap; the entries beyond it must not come back as ghosts.
    EXPECT_EQ(user.insertScore("q", 1, 50, 0), 2);
    User reloaded;
    reloaded.openAt(dir.db());
    EXPECT_EQ(reloaded.entryCount(), 3);
    EXPECT_EQ(reloaded.getScore(3), -1);
}

TEST(UserScores, TheBestTenAreKept) {
    TempDir dir;
    {
        User user;
        user.openAt(dir.db());
        for (int32_t s = 1000; s >= 100; s -= 100) EXPECT_EQ(user.insertScore("p", "S", 1, s, 0), (1000 - s) / 100);
        EXPECT_EQ(user.insertScore("low", "S", 1, 50, 0), -1);
        EXPECT_EQ(user.insertScore("tie", "S", 1, 100, 0), -1) << "an equal score does not push the older out";
        EXPECT_EQ(user.entryCount(), 10);
        EXPECT_EQ(user.getInt("SCORE10", -5), -5);

        EXPECT_EQ(user.insertScore("new", "S", 4, 550, 3), 5);
        EXPECT_EQ(user.scoreCount("S"), 11) << "the table in memory is not trimmed";
        EXPECT_EQ(user.entryCount(), 10);
    }
    User user;
    user.openAt(dir.db());
    EXPECT_EQ(user.scoreCount("S"), 10);
    EXPECT_EQ(user.getName("S", 5), "new");
    EXPECT_EQ(user.getLevel("S", 5), 4);
    EXPECT_EQ(user.getSetting("S", 5), 3);
    EXPECT_EQ(user.getScore("S", 9), 200) << "the lowest fell off";
}

TEST(UserScores, ModesShareOneRunningNumberAndClearingRenumbers) {
    TempDir dir;
    User user;
    user.openAt(dir.db());
    user.insertScore("s1", "S", 1, 30, 0);
    user.insertScore("n1", "N", 1, 20, 0);
    user.insertScore("s2", "S", 1, 10, 0);
    user.insertScore("n2", "N", 1, 40, 0);
    EXPECT_EQ(user.entryCount(), 4);
    int sCount = 0, nCount = 0;
    for (int32_t i = 0; i < 4; ++i) {
        const String mode = user.getString(String("SCOREMODE") + i, "?");
        (mode == "S" ? sCount : nCount)++;
    }
    EXPECT_EQ(sCount, 2);
    EXPECT_EQ(nCount, 2);
    {
        User other;
        other.openAt(dir.db());
        EXPECT_EQ(other.getName("N", 0), "n2");
        EXPECT_EQ(other.getName("S", 1), "s2");
    }

    EXPECT_FALSE(user.clearScores("X"));
    EXPECT_TRUE(user.clearScores("S"));
    EXPECT_EQ(user.entryCount(), 2);
    EXPECT_EQ(user.getString("SCOREMODE0", ""), "N");
    EXPECT_EQ(user.getString("SCORENAME0", ""), "n2");
    EXPECT_EQ(user.getString("SCORENAME1", ""), "n1");
    EXPECT_EQ(user.getInt("SCORE2", -1), -1);
    EXPECT_EQ(user.getString("SCORENAME3", "gone"), "gone");
    EXPECT_EQ(user.getScore("S", 0), -1);

    user.clearAllScores();
    EXPECT_EQ(user.entryCount(), 0);
    EXPECT_EQ(user.getScore("N", 0), -1);
    User reloaded;
    reloaded.openAt(dir.db());
    EXPECT_EQ(reloaded.entryCount(), 0);
}

TEST(UserScores, OverfullOrIncompleteTablesLoadTheTenBestCompleteEntries) {
    TempDir dir;
    {
        User user;
        user.openAt(dir.db());
        // Thirteen "S" entries out of order, one of them without its level and one without its name.
        for (int32_t i = 0; i < 13; ++i) storeEntry(user, i, "p", "S", 100 + (i * 7) % 13);
        user.deleteValue("LEVEL4");
        user.deleteValue("SCORENAME9");
        storeEntry(user, 13, "n", "N", 5);
    }
    User user;
    user.openAt(dir.db());
    EXPECT_EQ(user.scoreCount("S"), 10);
    EXPECT_EQ(user.scoreCount("N"), 1);
    // Stored scores are 100 + (7i mod 13); entry 4 (scores 102) and entry 9 (scores 111) are incomplete.
    const int32_t best[] = {112, 110, 109, 108, 107, 106, 105, 104, 103, 101};
    for (int32_t i = 0; i < 10; ++i) EXPECT_EQ(user.getScore("S", i), best[i]) << i;
    EXPECT_EQ(user.getLevel("S", 0), 12) << "the entry keeps its own values";

    user.insertScore("q", "N", 1, 1, 0);
    User reloaded;
    reloaded.openAt(dir.db());
    EXPECT_EQ(reloaded.entryCount(), 12);
    EXPECT_EQ(reloaded.getInt("SCORE12", -1), -1);
    EXPECT_EQ(reloaded.getString("SCORENAME13", "gone"), "gone") << "nothing is left beyond the clean table";
    EXPECT_EQ(reloaded.getScore("S", 9), 101);
}
