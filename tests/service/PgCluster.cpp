// PgCluster: initdb, pg_ctl start and stop, and databases for the PostgreSQL store's tests.
#include "PgCluster.h"

#include <libpq-fe.h>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <signal.h>
#include <sstream>

namespace {

// The newest server installed the Debian way, or $MPH_PG_BIN.
std::string findServerBin() {
    if (const char* bin = std::getenv("MPH_PG_BIN")) return bin;
    std::set<std::string> found;
    std::error_code ec;
    for (const auto& version : std::filesystem::directory_iterator("/usr/lib/postgresql", ec))
        if (std::filesystem::exists(version.path() / "bin/initdb"))
            found.insert((version.path() / "bin").string());
    return found.empty() ? std::string() : *found.rbegin();
}

constexpr int kPort = 5432;

} // namespace

PgCluster::PgCluster() {
    m_bin = findServerBin();
    if (m_bin.empty()) {
        m_why = "no PostgreSQL server installed (initdb not found under /usr/lib/postgresql/*/bin)";
        return;
    }
    std::string pattern = (std::filesystem::temp_directory_path() / "mph-pg-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        m_why = "cannot make a temporary folder";
        return;
    }
    m_dir = pattern;
    // The server refuses to run as root: the cluster then belongs to "nobody".
    if (::geteuid() == 0) {
        const passwd* pw = ::getpwnam("nobody");
        if (pw == nullptr || ::chown(m_dir.c_str(), pw->pw_uid, pw->pw_gid) != 0) {
            m_why = "running as root and there is no user \"nobody\" to own the cluster";
            return;
        }
    }
    if (run("initdb", "-D " + m_dir + "/data -U scored -A trust --no-sync --locale=C -E UTF8") != 0) {
        m_why = "initdb failed, see " + m_dir + "/run.log";
        return;
    }
    const std::string options =
        "-k " + m_dir + " -c listen_addresses='' -c fsync=off -p " + std::to_string(kPort);
    if (run("pg_ctl",
            "-D " + m_dir + "/data -l " + m_dir + "/server.log -w -t 30 -o \"" + options + "\" start") != 0) {
        m_why = "the server did not start, see " + m_dir + "/server.log";
        return;
    }
    m_running = true;
}

PgCluster::~PgCluster() {
    if (m_running) run("pg_ctl", "-D " + m_dir + "/data -m immediate -w stop");
    if (!m_dir.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
}

int PgCluster::run(const std::string& program, const std::string& args) {
    const pid_t pid = ::fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        if (::geteuid() == 0) {
            const passwd* pw = ::getpwnam("nobody");
            if (pw == nullptr || ::setgroups(0, nullptr) != 0 || ::setgid(pw->pw_gid) != 0 ||
                ::setuid(pw->pw_uid) != 0)
                ::_exit(126);
        }
        const int log = ::open((m_dir + "/run.log").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (log >= 0) {
            ::dup2(log, 1);
            ::dup2(log, 2);
        }
        if (::chdir(m_dir.c_str()) != 0) ::_exit(126);
        // Through the shell, so that pg_ctl's option string keeps its quotes.
        const std::string command = "exec " + m_bin + "/" + program + " " + args;
        ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string PgCluster::conninfo(const std::string& database) const {
    return "host=" + m_dir + " port=" + std::to_string(kPort) + " user=scored dbname=" + database;
}

bool PgCluster::createDatabase(const std::string& name) {
    PGconn* conn = PQconnectdb(conninfo("postgres").c_str());
    bool ok = PQstatus(conn) == CONNECTION_OK;
    if (ok) {
        PGresult* r = PQexec(conn, ("CREATE DATABASE " + name).c_str());
        ok = PQresultStatus(r) == PGRES_COMMAND_OK;
        PQclear(r);
    }
    PQfinish(conn);
    return ok;
}

void PgCluster::stall(bool stopped) {
    std::ifstream pidFile(m_dir + "/data/postmaster.pid");
    pid_t postmaster = 0;
    pidFile >> postmaster;
    if (postmaster <= 0) return;
    const int signal = stopped ? SIGSTOP : SIGCONT;
    ::kill(postmaster, signal);
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        std::getline(stat, line);
        // pid (comm) state ppid ...: the command may hold spaces, so read after its closing parenthesis.
        const size_t close = line.rfind(')');
        if (close == std::string::npos) continue;
        char state = 0;
        pid_t parent = 0;
        std::istringstream rest(line.substr(close + 1));
        rest >> state >> parent;
        if (parent == postmaster) ::kill(static_cast<pid_t>(std::stol(name)), signal);
    }
}
