// SqliteStore: the score tables in one SQLite file in WAL mode, for a single service instance.
#pragma once

#include "service/Store.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace mph::service {

class SqliteStore : public Store {
public:
    // Opens (creating it and its folders when missing) the database at path; throws StoreError.
    explicit SqliteStore(const std::string& path);
    ~SqliteStore() override;
    SqliteStore(const SqliteStore&) = delete;
    SqliteStore& operator=(const SqliteStore&) = delete;

    Recorded record(const Submission& submission) override;
    std::vector<ScoreRow> top(const std::string& mode, int32_t limit, bool verifiedOnly = false) override;
    VerifyResult verify(const Verification& verification) override;
    std::optional<KeptRecording> recording(int64_t id) override;
    std::vector<AdminRow> list(const std::string& mode, int32_t limit) override;
    int32_t remove(const std::vector<int64_t>& ids) override;
    bool approve(int64_t id) override;
    bool hide(const std::string& name, bool hidden) override;
    int32_t forgetAddresses(int32_t days) override;
    bool reachable() override;
    // Every commit by another connection or process (an admin command, say) changes the file's data
    // version; a thread looks at it four times a second.
    void watch(std::function<void(const std::string& mode)> changed) override;
    void stopWatching() override;
    const char* kind() const override { return "sqlite"; }

    // The file's default place: ${XDG_DATA_HOME:-$HOME/.local/share}/quillory/morphella/scores.db.
    static std::string defaultPath();

private:
    struct Pending;
    class Reader;
    // Records a batch in one transaction, so that one sync of the log commits all of them.
    void writeBatch(const std::vector<Pending*>& batch);
    void recordOne(Pending& pending);
    sqlite3* openConnection(bool writer);
    sqlite3* acquireReader();
    void releaseReader(sqlite3* db);

    std::string m_path;
    // Submissions wait in m_queue; whichever waiting thread finds no batch being written takes the
    // whole queue and writes it on the one writing connection (group commit). WAL lets readers go on
    // meanwhile, each on a connection of its own taken from the idle list.
    std::mutex m_queueMutex;
    std::condition_variable m_batchDone;
    std::vector<Pending*> m_queue;
    bool m_writing = false;
    sqlite3* m_writer = nullptr;
    sqlite3_stmt* m_insert = nullptr;
    sqlite3_stmt* m_findExisting = nullptr;
    sqlite3_stmt* m_rank = nullptr;
    std::mutex m_readersMutex;
    std::vector<sqlite3*> m_idleReaders;
    std::thread m_watcher;
    std::mutex m_watchMutex;
    std::condition_variable m_watchWake;
    bool m_watchStop = false;
};

} // namespace mph::service
