// User: the per-user settings of the product, its credits counter and its personal high-score tables.
#pragma once

#include "io/SettingsStore.h"
#include "runtime/BooleanArray.h"
#include "runtime/Hashtable.h"
#include "runtime/ObjectArray.h"
#include "runtime/Ref.h"
#include "runtime/String.h"

#include <cstdint>
#include <string>

namespace lang {
class Vector;
}

namespace mph {

class ScoreEntry;

// The product whose settings the game keeps (the store's file lives under this name).
inline constexpr const char* kProductName = "Morphella";

// Reads give their defaults and writes are dropped when the store is missing or fails; nothing here
// throws. The score tables map a game mode to its entries, best first; the store keeps the first ten
// of every mode as the values SCORE<i>, SCORENAME<i>, SCOREMODE<i>, LEVEL<i> and SCORESETTING<i>,
// with one running index i over all modes.
class User : public lang::Object {
    LANG_CLASS(User, Object)

public:
    static constexpr int32_t kSavedScoresPerMode = 10;
    static constexpr int32_t kStartingCredits = 500000;
    // getString reads values of at most this many bytes (a string's terminating zero included).
    static constexpr int32_t kMaxStringBytes = 1023;

    User();
    User(const User&) = delete;
    User& operator=(const User&) = delete;
    // Writes CREDITS when the counter is not 0.
    ~User() override;

    // Opens the product's store in the user's data folder and loads the score tables.
    virtual void open(const char* productName);
    // As open, with the database file given (tests and tools).
    virtual void openAt(const std::string& databasePath);

    virtual int32_t getInt(const lang::String& name, int32_t defaultValue);
    virtual void setInt(const lang::String& name, int32_t value);
    virtual lang::String getString(const lang::String& name, const lang::String& defaultValue);
    virtual void setString(const lang::String& name, const lang::String& value);
    virtual void deleteValue(const lang::String& name);
    virtual void setBinary(const lang::String& name, const lang::BooleanArray& value);
    virtual bool getBinary(const lang::String& name, lang::BooleanArray& value);
    // Fills names with a new String (owned by the caller) per sub-key of the product key.
    virtual void listSubkeys(lang::ObjectArray& names);

    // Inserts before the first entry with a strictly lower score, or appends while the table holds
    // fewer than ten; saves and returns the entry's index, or -1 when the score did not qualify.
    virtual int32_t insertScore(const lang::String& name, const lang::String& mode, int32_t level, int32_t score,
                                int32_t setting);
    virtual int32_t insertScore(const lang::String& name, int32_t level, int32_t score, int32_t setting);
    virtual lang::String getName(const lang::String& mode, int32_t index);
    virtual lang::String getName(int32_t index);
    virtual int32_t getLevel(const lang::String& mode, int32_t index);
    virtual int32_t getLevel(int32_t index);
    virtual int32_t getScore(const lang::String& mode, int32_t index);
    virtual int32_t getScore(int32_t index);
    // Forgets mode's table and rewrites the others from index 0; false when mode has no table.
    virtual bool clearScores(const lang::String& mode);
    virtual void clearAllScores();
    virtual int32_t getSetting(const lang::String& mode, int32_t index);

    int32_t credits() const { return m_credits; }
    // The counter, first set to the starting amount when it is 0.
    virtual int32_t getCredits();
    virtual int32_t addCredits(int32_t n);
    virtual int32_t subtractCredits(int32_t n);
    virtual void resetCredits();

    // The number of score entries in the store (the next free index).
    int32_t entryCount() const { return m_entryCount; }
    // The number of entries mode's table holds in memory (more than ten after some insertions).
    int32_t scoreCount(const lang::String& mode);
    SettingsStore& store() { return *m_store; }

private:
    void loadScores();
    void saveScores();
    void deleteScoreValues(int32_t index);
    lang::Vector* table(const lang::String& mode);
    ScoreEntry* entry(const lang::String& mode, int32_t index);

    lang::Ref<SettingsStore> m_store;
    lang::Hashtable m_scoreTables;
    int32_t m_entryCount = 0;
    int32_t m_credits = 0;
};

} // namespace mph
