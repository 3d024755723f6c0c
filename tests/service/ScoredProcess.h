// ScoredProcess: the morphella-scored program started on a free port of 127.0.0.1, its standard error in
// a file, for the tests of the running program.
#pragma once

#include "TempDir.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

// Under a sanitizer the program is several times slower and larger, and it reports at its exit: figures
// of time and memory mean nothing there.
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
inline constexpr bool kSanitized = true;
#else
inline constexpr bool kSanitized = false;
#endif

// The program started on a free port of 127.0.0.1 with its standard error in a file.
class ScoredProcess {
public:
    explicit ScoredProcess(const TempDir& dir, std::vector<std::string> extra = {}) : m_dir(dir.path()) {
        const std::string bin = std::string(std::getenv("MPH_BIN")) + "/morphella-scored";
        const std::string db = m_dir + "/scores.db", portFile = m_dir + "/port", log = logPath();
        m_pid = ::fork();
        if (m_pid == 0) {
            const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(fd, 2);
            std::vector<std::string> args = {bin, "--bind",       "127.0.0.1", "--port",
                                             "0", "--port-file",  portFile,    "--db",
                                             db,  "--rate-limit", "0"};
            args.insert(args.end(), extra.begin(), extra.end());
            std::vector<char*> argv;
            for (std::string& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(bin.c_str(), argv.data());
            ::_exit(127);
        }
        for (int i = 0; i < 500 && m_port == 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            std::ifstream in(portFile);
            in >> m_port;
        }
    }
    ~ScoredProcess() {
        if (m_pid > 0 && wait(std::chrono::milliseconds(0)) == -2) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }

    int port() const { return m_port; }
    std::string base() const { return "http://127.0.0.1:" + std::to_string(m_port); }
    // The peak resident memory so far, in KiB (0 once ended).
    long peakKiB() const {
        std::ifstream in("/proc/" + std::to_string(m_pid) + "/status");
        std::string line;
        while (std::getline(in, line))
            if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
        return 0;
    }
    pid_t pid() const { return m_pid; }
    std::string logPath() const { return m_dir + "/scored.log"; }
    std::string dbPath() const { return m_dir + "/scores.db"; }

    // The exit status once the process has ended within timeout, -1 for death by a signal, -2 if running.
    int wait(std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        do {
            int status = 0;
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        } while (std::chrono::steady_clock::now() < deadline);
        return -2;
    }

private:
    std::string m_dir;
    pid_t m_pid = -1;
    int m_port = 0;
};
