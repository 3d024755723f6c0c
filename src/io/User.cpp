// User: the per-user settings of the product, its credits counter and its personal high-score tables.
#include "io/User.h"

#include "io/ScoreEntry.h"
#include "runtime/Enumeration.h"
#include "runtime/SyncGuard.h"
#include "runtime/Vector.h"

#include <algorithm>
#include <cstring>
#include <vector>

using namespace lang;

namespace mph {

namespace {

std::string_view nameOf(const String& name) { return name.view(); }

String indexed(const char* prefix, int32_t i) { return String(prefix) + i; }

int32_t wrapAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

} // namespace

User::User() : m_store(make<SettingsStore>()) {}

User::~User() {
    if (m_credits != 0) setInt("CREDITS", m_credits);
    m_store->close();
}

void User::open(const char* productName) { openAt(SettingsStore::defaultPath(productName != nullptr ? productName : "")); }

void User::openAt(const std::string& databasePath) {
    SyncGuard guard(this);
    m_store->open(databasePath);
    // Opening again starts from what the store holds, not from the tables of the last open.
    m_scoreTables.clear();
    loadScores();
    m_credits = getInt("CREDITS", 0);
}

int32_t User::getInt(const String& name, int32_t defaultValue) {
    SettingsStore::Value v;
    if (!m_store->read(nameOf(name), v) || v.type != SettingsStore::kDword || v.bytes.size() != 4) return defaultValue;
    uint32_t bits = 0;
    for (int i = 3; i >= 0; --i) bits = (bits << 8) | static_cast<uint8_t>(v.bytes[static_cast<size_t>(i)]);
    return static_cast<int32_t>(bits);
}

void User::setInt(const String& name, int32_t value) { m_store->writeDword(nameOf(name), value); }

String User::getString(const String& name, const String& defaultValue) {
    SettingsStore::Value v;
    if (!m_store->read(nameOf(name), v) || v.bytes.size() > static_cast<size_t>(kMaxStringBytes)) return defaultValue;
    // Whatever the type, the text ends at the first zero byte, as a string read into a buffer does.
    const size_t end = std::min(v.bytes.find('\0'), v.bytes.size());
    return String(std::string_view(v.bytes.data(), end));
}

void User::setString(const String& name, const String& value) { m_store->writeString(nameOf(name), value.view()); }

void User::deleteValue(const String& name) { m_store->remove(nameOf(name)); }

void User::setBinary(const String& name, const BooleanArray& value) {
    const size_t size = value.data != nullptr && value.length > 0 ? static_cast<size_t>(value.length) : 0;
    m_store->writeBinary(nameOf(name), std::string_view(reinterpret_cast<const char*>(value.data), size));
}

bool User::getBinary(const String& name, BooleanArray& value) {
    SettingsStore::Value v;
    if (!m_store->read(nameOf(name), v) || v.bytes.size() > static_cast<size_t>(INT32_MAX)) return false;
    value.resize(static_cast<int32_t>(v.bytes.size()));
    if (!v.bytes.empty()) std::memcpy(value.data, v.bytes.data(), v.bytes.size());
    return true;
}

void User::listSubkeys(ObjectArray& names) {
    const std::vector<std::string> keys = m_store->listSubkeys();
    names.resize(static_cast<int32_t>(keys.size()));
    for (size_t i = 0; i < keys.size(); ++i) names.data[i] = new String(std::string_view(keys[i]));
}

void User::loadScores() {
    // A table edited by hand or left by an older, faulty save may hold more than ten entries of a mode,
    // or entries missing some of their five values. Incomplete entries are skipped, each mode keeps its
    // ten best (equal scores in stored order), and entryCount still covers every stored index, so the
    // next save removes whatever was dropped here.
    auto present = [this](const char* prefix, int32_t i, bool dword) {
        SettingsStore::Value v;
        if (!m_store->read(indexed(prefix, i).view(), v, false)) return false;
        return dword ? v.type == SettingsStore::kDword && v.bytes.size() == 4
                     : v.bytes.size() <= static_cast<size_t>(kMaxStringBytes);
    };
    int32_t i = 0;
    for (;; ++i) {
        const int32_t score = getInt(indexed("SCORE", i), -1);
        if (score == -1) break;
        if (!present("SCORENAME", i, false) || !present("SCOREMODE", i, false) || !present("LEVEL", i, true) ||
            !present("SCORESETTING", i, true))
            continue;
        const String name = getString(indexed("SCORENAME", i), "");
        const String mode = getString(indexed("SCOREMODE", i), "");
        const int32_t setting = getInt(indexed("SCORESETTING", i), 0);
        const int32_t level = getInt(indexed("LEVEL", i), 0);
        table(mode)->addElement(make<ScoreEntry>(name, score, level, setting).get());
    }
    m_entryCount = i;
    Ref<Enumeration> modes = adopt(m_scoreTables.keys());
    while (modes->hasMoreElements()) {
        auto* entries = static_cast<Vector*>(m_scoreTables.get(modes->nextElement()));
        std::vector<Ref<ScoreEntry>> sorted;
        for (int32_t j = 0; j < entries->size(); ++j) sorted.push_back(retain(entries->elementAtAs<ScoreEntry>(j)));
        std::stable_sort(sorted.begin(), sorted.end(), [](const Ref<ScoreEntry>& a, const Ref<ScoreEntry>& b) {
            return a->score > b->score;
        });
        if (sorted.size() > static_cast<size_t>(kSavedScoresPerMode)) sorted.resize(kSavedScoresPerMode);
        entries->removeAllElements();
        for (const Ref<ScoreEntry>& e : sorted) entries->addElement(e.get());
    }
}

void User::deleteScoreValues(int32_t index) {
    for (const char* prefix : {"SCORENAME", "SCORE", "LEVEL", "SCOREMODE", "SCORESETTING"})
        m_store->removeValue(indexed(prefix, index).view());
}

void User::saveScores() {
    SettingsStore::Batch batch(*m_store);
    int32_t i = 0;
    Ref<Enumeration> modes = adopt(m_scoreTables.keys());
    while (modes->hasMoreElements()) {
        String* mode = static_cast<String*>(modes->nextElement());
        Vector* entries = static_cast<Vector*>(m_scoreTables.get(mode));
        for (int32_t j = 0; j < entries->size() && j < kSavedScoresPerMode; ++j, ++i) {
            ScoreEntry* e = entries->elementAtAs<ScoreEntry>(j);
            setString(indexed("SCORENAME", i), e->name);
            setString(indexed("SCOREMODE", i), *mode);
            setInt(indexed("SCORE", i), e->score);
            setInt(indexed("LEVEL", i), e->level);
            setInt(indexed("SCORESETTING", i), e->setting);
        }
    }
    // Entries left beyond the new end by an earlier, longer table would come back as ghosts at the
    // next load once the gap before them closes, so they go, and SCORE<i> always marks the end.
    for (int32_t j = i; j < m_entryCount || j == i; ++j) deleteScoreValues(j);
    m_entryCount = i;
}

Vector* User::table(const String& mode) {
    auto* entries = static_cast<Vector*>(m_scoreTables.get(&mode));
    if (entries == nullptr) {
        Ref<Vector> created = make<Vector>(10);
        m_scoreTables.put(mode, created.get());
        entries = created.get();
    }
    return entries;
}

ScoreEntry* User::entry(const String& mode, int32_t index) {
    auto* entries = static_cast<Vector*>(m_scoreTables.get(&mode));
    if (entries == nullptr || index < 0 || index >= entries->size()) return nullptr;
    return entries->elementAtAs<ScoreEntry>(index);
}

int32_t User::insertScore(const String& name, const String& mode, int32_t level, int32_t score, int32_t setting) {
    SyncGuard guard(this);
    Vector* entries = table(mode);
    Ref<ScoreEntry> e = make<ScoreEntry>(name, score, level, setting);
    int32_t index = -1;
    for (int32_t i = 0; i < entries->size(); ++i) {
        if (entries->elementAtAs<ScoreEntry>(i)->score < score) {
            entries->insertElementAt(e.get(), i);
            index = i;
            break;
        }
    }
    if (index < 0) {
        if (entries->size() > kSavedScoresPerMode - 1) return -1;
        entries->addElement(e.get());
        index = entries->size() - 1;
    }
    saveScores();
    return index;
}

int32_t User::insertScore(const String& name, int32_t level, int32_t score, int32_t setting) {
    return insertScore(name, String(), level, score, setting);
}

String User::getName(const String& mode, int32_t index) {
    SyncGuard guard(this);
    ScoreEntry* e = entry(mode, index);
    return e != nullptr ? e->name : String();
}

String User::getName(int32_t index) { return getName(String(), index); }

int32_t User::getLevel(const String& mode, int32_t index) {
    SyncGuard guard(this);
    ScoreEntry* e = entry(mode, index);
    return e != nullptr ? e->level : 0;
}

int32_t User::getLevel(int32_t index) { return getLevel(String(), index); }

int32_t User::getScore(const String& mode, int32_t index) {
    SyncGuard guard(this);
    ScoreEntry* e = entry(mode, index);
    return e != nullptr ? e->score : -1;
}

int32_t User::getScore(int32_t index) { return getScore(String(), index); }

int32_t User::getSetting(const String& mode, int32_t index) {
    SyncGuard guard(this);
    ScoreEntry* e = entry(mode, index);
    return e != nullptr ? e->setting : 0;
}

int32_t User::scoreCount(const String& mode) {
    SyncGuard guard(this);
    auto* entries = static_cast<Vector*>(m_scoreTables.get(&mode));
    return entries != nullptr ? entries->size() : 0;
}

bool User::clearScores(const String& mode) {
    SyncGuard guard(this);
    if (m_scoreTables.get(&mode) == nullptr) return false;
    m_scoreTables.remove(&mode);
    // The removal and the rewrite of the other modes land together or not at all.
    SettingsStore::Batch batch(*m_store);
    for (int32_t i = 0; i < m_entryCount; ++i) deleteScoreValues(i);
    saveScores();
    return true;
}

void User::clearAllScores() {
    SyncGuard guard(this);
    {
        SettingsStore::Batch batch(*m_store);
        for (int32_t i = 0; i < m_entryCount; ++i) deleteScoreValues(i);
    }
    m_scoreTables.clear();
    m_entryCount = 0;
}

int32_t User::getCredits() {
    if (m_credits == 0) m_credits = kStartingCredits;
    return m_credits;
}

int32_t User::addCredits(int32_t n) { return m_credits = wrapAdd(m_credits, n); }

int32_t User::subtractCredits(int32_t n) {
    return m_credits = static_cast<int32_t>(static_cast<uint32_t>(m_credits) - static_cast<uint32_t>(n));
}

void User::resetCredits() { m_credits = kStartingCredits; }

} // namespace mph
