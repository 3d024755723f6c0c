// The application shell measured on the game's start screen under SDL's dummy drivers: one tick with its
// compose and present, CPU use while running (in a window of the picture's size and in one three times as
// large, which the renderer enlarges), the time to the first presented frame, and memory; then the
// resident memory in play, while the program shows a short game the headless bot recorded (a level
// started, the music and the board's pictures loaded).
#include "game/ShapeCanvas.h"
#include "headless/AutoPlayer.h"
#include "headless/HeadlessGame.h"
#include "replay/ReplayRecorder.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// utime + stime of a process in clock ticks, or -1.
long long cpuTicks(pid_t pid) {
    char path[64];
    std::snprintf(path, sizeof(path), "/proc/%d/stat", static_cast<int>(pid));
    FILE* f = std::fopen(path, "r");
    if (f == nullptr) return -1;
    char buffer[4096];
    const size_t n = std::fread(buffer, 1, sizeof(buffer) - 1, f);
    std::fclose(f);
    buffer[n] = '\0';
    // Fields after the command name, which is in parentheses and may hold spaces.
    const char* p = std::strrchr(buffer, ')');
    if (p == nullptr) return -1;
    long long utime = 0, stime = 0;
    // state ppid pgrp session tty tpgid flags minflt cminflt majflt cmajflt utime stime
    if (std::sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lld %lld", &utime, &stime) != 2)
        return -1;
    return utime + stime;
}

// Resident memory of a process in kB, or -1.
long long residentKb(pid_t pid) {
    char path[64];
    std::snprintf(path, sizeof(path), "/proc/%d/status", static_cast<int>(pid));
    FILE* f = std::fopen(path, "r");
    if (f == nullptr) return -1;
    char line[256];
    long long kb = -1;
    while (std::fgets(line, sizeof(line), f) != nullptr)
        if (std::sscanf(line, "VmRSS: %lld kB", &kb) == 1) break;
    std::fclose(f);
    return kb;
}

// A timed game from level 1: the bot plays for a while, then the typed code lets the time run out. Written
// to path; false when the game did not end.
bool recordShortGame(const std::string& container, const std::string& path) {
    mph::ReplayRecorder recorder(nullptr);
    mph::HeadlessGame game;
    game.setObserver(&recorder);
    mph::HeadlessGame::Options options;
    options.container = container;
    options.seed = 11;
    std::string error;
    if (!game.start(options, error)) {
        std::fprintf(stderr, "bench_shell: %s\n", error.c_str());
        return false;
    }
    game.click("startdialog/bstart1", error);
    mph::AutoPlayer bot(game);
    for (int32_t steps = 0; recorder.finishedGames() == 0 && steps < 200000; ++steps) {
        if (steps == 3000)
            for (const char c : std::string("B2VX"))
                game.key(c, c);
        if (!bot.step()) game.tick();
    }
    if (recorder.finishedGames() == 0) return false;
    std::ofstream out(path, std::ios::binary);
    out << recorder.lastGame().encode();
    return static_cast<bool>(out);
}

// Starts the program with the dummy drivers and its standard error on a pipe; extra is its one argument
// pair (or none).
pid_t startGame(const std::filesystem::path& bin, const std::string& game, const char* dataDir,
                int pipeFds[2], const char* option, const char* value, const char* windowSize = nullptr) {
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeFds[1], 2);
        close(pipeFds[0]);
        close(pipeFds[1]);
        if (chdir(bin.c_str()) != 0) _exit(127);
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("XDG_DATA_HOME", dataDir, 1);
        setenv("MORPHELLA_NO_LOADING_DELAY", "1", 1);
        setenv("MORPHELLA_STATS", "1", 1);
        if (windowSize != nullptr) setenv("MORPHELLA_WINDOW_SIZE", windowSize, 1);
        // Long enough for the measuring window; the bench ends the run itself.
        setenv("MORPHELLA_EXIT_AFTER_TICKS", "100000", 1);
        execl(game.c_str(), "morphella", option, value, static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

// The resident memory of the program showing a recorded game, some seconds into its level.
double residentInPlay(const std::filesystem::path& bin, const std::string& game, const char* dataDir) {
    const std::string recording = std::string(dataDir) + "/short.mphr";
    if (!recordShortGame((bin / "morphella.bin").string(), recording)) return -1;
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return -1;
    const pid_t pid = startGame(bin, game, dataDir, pipeFds, "--replay", recording.c_str());
    close(pipeFds[1]);
    FILE* err = fdopen(pipeFds[0], "r");
    char line[512];
    while (std::fgets(line, sizeof(line), err) != nullptr)
        if (std::strstr(line, "first frame presented") != nullptr) break;
    std::this_thread::sleep_for(std::chrono::seconds(6));
    const long long rss = residentKb(pid);
    kill(pid, SIGTERM);
    while (std::fgets(line, sizeof(line), err) != nullptr) {
    }
    std::fclose(err);
    waitpid(pid, nullptr, 0);
    return rss / 1024.0;
}

// What one run on the start screen measured.
struct StartScreenRun {
    double tickMeanMs = -1, tickWorstMs = -1, cpuShare = -1, firstFrameMs = -1, residentMb = -1;
    long long ticks = 0;
    int exitStatus = -1;
};

// The program on its start screen for the measuring window; windowSize (WIDTHxHEIGHT, or null) sets the
// window's size.
StartScreenRun measureStartScreen(const std::filesystem::path& bin, const std::string& game,
                                  const char* dataDir, const char* windowSize) {
    StartScreenRun run;
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return run;
    const int runSeconds = 10;
    const Clock::time_point started = Clock::now();
    const pid_t pid = startGame(bin, game, dataDir, pipeFds, nullptr, nullptr, windowSize);
    close(pipeFds[1]);
    FILE* err = fdopen(pipeFds[0], "r");
    char line[512];
    while (std::fgets(line, sizeof(line), err) != nullptr) {
        if (std::strstr(line, "first frame presented") != nullptr) {
            run.firstFrameMs = std::chrono::duration<double, std::milli>(Clock::now() - started).count();
            break;
        }
    }
    // Settle for a second, then measure CPU use over the run time.
    sleep(1);
    const long long cpuBefore = cpuTicks(pid);
    const Clock::time_point windowStart = Clock::now();
    sleep(runSeconds);
    const long long cpuAfter = cpuTicks(pid);
    const double wall = std::chrono::duration<double>(Clock::now() - windowStart).count();
    run.residentMb = residentKb(pid) / 1024.0;
    // SIGTERM goes through the program's normal exit, which prints the tick timings.
    kill(pid, SIGTERM);
    long long meanUs = -1, worstUs = -1, presents = 0;
    while (std::fgets(line, sizeof(line), err) != nullptr)
        std::sscanf(line, "morphella: ticks %lld mean-us %lld worst-us %lld presents %lld", &run.ticks,
                    &meanUs, &worstUs, &presents);
    std::fclose(err);
    int status = 0;
    waitpid(pid, &status, 0);
    run.tickMeanMs = meanUs / 1000.0;
    run.tickWorstMs = worstUs / 1000.0;
    run.cpuShare = (cpuAfter - cpuBefore) / static_cast<double>(sysconf(_SC_CLK_TCK)) / wall * 100.0;
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

} // namespace

int main(int argc, char** argv) {
    std::filesystem::path bin = std::filesystem::canonical("/proc/self/exe").parent_path();
    if (argc > 1) bin = argv[1];
    const std::string game = (bin / "morphella").string();
    if (access(game.c_str(), X_OK) != 0) {
        std::fprintf(stderr, "bench_shell: %s is not built\n", game.c_str());
        return 1;
    }
    char dataDir[] = "/tmp/mph-bench-shell-XXXXXX";
    if (mkdtemp(dataDir) == nullptr) return 1;

    const StartScreenRun one = measureStartScreen(bin, game, dataDir, nullptr);
    const StartScreenRun three = measureStartScreen(bin, game, dataDir, "2400x1800");
    const double inPlay = residentInPlay(bin, game, dataDir);
    std::filesystem::remove_all(dataDir);

    std::printf("shell tick_mean %.3f ms\n", one.tickMeanMs);
    std::printf("shell tick_worst %.3f ms\n", one.tickWorstMs);
    std::printf("shell cpu_share %.2f %%\n", one.cpuShare);
    std::printf("shell first_frame %.1f ms\n", one.firstFrameMs);
    std::printf("shell resident_memory %.1f MB\n", one.residentMb);
    std::printf("shell resident_memory_in_play %.1f MB\n", inPlay);
    std::printf("shell ticks_run %lld ticks\n", one.ticks);
    std::printf("shell exit_status %d code\n", one.exitStatus);
    std::printf("shell tick_mean_3x %.3f ms\n", three.tickMeanMs);
    std::printf("shell cpu_share_3x %.2f %%\n", three.cpuShare);
    std::printf("shell cpu_share_3x_extra %.2f %%\n", three.cpuShare - one.cpuShare);
    std::printf("shell exit_status_3x %d code\n", three.exitStatus);
    return 0;
}
