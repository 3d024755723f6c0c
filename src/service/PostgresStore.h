// PostgresStore: the score tables in a PostgreSQL database, shared by several service instances.
#pragma once

#include "service/Store.h"

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

struct pg_conn;

namespace mph::service {

class PostgresStore : public Store {
public:
    // Connects with a libpq connection string and creates the tables when missing; throws StoreError.
    // At most maxConnections requests talk to the server at once; the rest wait for a connection.
    PostgresStore(const std::string& conninfo, size_t maxConnections);
    ~PostgresStore() override;
    PostgresStore(const PostgresStore&) = delete;
    PostgresStore& operator=(const PostgresStore&) = delete;

    Recorded record(const Submission& submission) override;
    std::vector<ScoreRow> top(const std::string& mode, int32_t limit, bool verifiedOnly = false) override;
    int32_t markVerified(const std::string& mode, const std::string& name, int32_t level, int32_t score) override;
    const char* kind() const override { return "postgres"; }

private:
    class Lease;
    pg_conn* connect();
    pg_conn* acquire();
    void release(pg_conn* conn);

    std::string m_conninfo;
    size_t m_maxConnections;
    std::mutex m_mutex;
    std::condition_variable m_available;
    std::vector<pg_conn*> m_idle;
    size_t m_open = 0;
};

} // namespace mph::service
