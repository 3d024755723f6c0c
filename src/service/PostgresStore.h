// PostgresStore: the score tables in a PostgreSQL database, shared by several service instances.
#pragma once

#include "service/Store.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct pg_conn;

namespace mph::service {

class PostgresStore : public Store {
public:
    struct Limits {
        // A request waits this long for a pooled connection, and a statement this long for its answer
        // (the server's statement_timeout ends it there too); a connection attempt gives up after
        // connectSeconds unless the connection string says otherwise.
        std::chrono::milliseconds poolWait{2000};
        std::chrono::milliseconds statementWait{5000};
        int connectSeconds = 5;
    };

    // Connects with a libpq connection string and creates the tables when missing; throws StoreError.
    // At most maxConnections requests talk to the server at once; the rest wait for a connection.
    PostgresStore(const std::string& conninfo, size_t maxConnections);
    PostgresStore(const std::string& conninfo, size_t maxConnections, const Limits& limits);
    ~PostgresStore() override;
    PostgresStore(const PostgresStore&) = delete;
    PostgresStore& operator=(const PostgresStore&) = delete;

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
    // Every change of the operator's or a verification is announced with NOTIFY morphella_scores (the
    // mode, or "" for any); a thread listens on a connection of its own.
    void watch(std::function<void(const std::string& mode)> changed) override;
    void stopWatching() override;
    const char* kind() const override { return "postgres"; }

    class Lease;

private:
    pg_conn* connect();
    pg_conn* acquire();
    void release(pg_conn* conn);

    std::string m_conninfo;
    size_t m_maxConnections;
    Limits m_limits;
    std::mutex m_mutex;
    std::condition_variable m_available;
    std::vector<pg_conn*> m_idle;
    size_t m_open = 0;
    std::thread m_listener;
    std::mutex m_listenMutex;
    bool m_listenStop = false;
};

} // namespace mph::service
