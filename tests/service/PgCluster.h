// PgCluster: a throwaway PostgreSQL server in a temporary folder, listening only on a Unix socket there.
#pragma once

#include <string>

class PgCluster {
public:
    // Makes the cluster and starts its server; when that cannot be done, running() is false and why()
    // says what was missing.
    PgCluster();
    ~PgCluster();
    PgCluster(const PgCluster&) = delete;
    PgCluster& operator=(const PgCluster&) = delete;

    bool running() const { return m_running; }
    const std::string& why() const { return m_why; }

    // A new empty database; false on failure.
    bool createDatabase(const std::string& name);
    std::string conninfo(const std::string& database) const;
    // Stops (SIGSTOP) or lets go on (SIGCONT) the server and every process of it: a database that is
    // there but answers nothing.
    void stall(bool stopped);

private:
    // Runs a program of the server's bin folder, as the unprivileged owner of the cluster when root;
    // its exit status, or -1.
    int run(const std::string& program, const std::string& args);

    std::string m_bin;
    std::string m_dir;
    bool m_running = false;
    std::string m_why;
};
