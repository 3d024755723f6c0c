// The game in a real X window under Xvfb, started by a click as a player starts it: private and shared
// resident memory at the start screen and in play, and CPU use in play at the window's first size and at
// three times that size: as the game chooses its renderer, on SDL's OpenGL renderer, and on the software
// renderer with the X server's shared memory as its window buffer (the GL libraries never loaded). Skipped,
// with a line saying so, when Xvfb or xdotool is missing.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kCpuSeconds = 8;

std::string run(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, p) != nullptr)
            out += buffer;
        pclose(p);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == ' '))
        out.pop_back();
    return out;
}

bool have(const char* tool) {
    return !run(std::string("command -v ") + tool + " 2>/dev/null").empty();
}

long long cpuTicks(pid_t pid) {
    char path[64];
    std::snprintf(path, sizeof(path), "/proc/%d/stat", static_cast<int>(pid));
    FILE* f = std::fopen(path, "r");
    if (f == nullptr) return -1;
    char buffer[4096];
    const size_t n = std::fread(buffer, 1, sizeof(buffer) - 1, f);
    std::fclose(f);
    buffer[n] = '\0';
    const char* p = std::strrchr(buffer, ')');
    long long utime = 0, stime = 0;
    if (p == nullptr ||
        std::sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lld %lld", &utime, &stime) != 2)
        return -1;
    return utime + stime;
}

struct Memory {
    double rss = -1, priv = -1, shared = -1; // MB
};

Memory memoryOf(pid_t pid) {
    Memory m;
    char path[64];
    std::snprintf(path, sizeof(path), "/proc/%d/smaps_rollup", static_cast<int>(pid));
    FILE* f = std::fopen(path, "r");
    if (f == nullptr) return m;
    char line[256];
    long long kb = 0, rss = 0, priv = 0, shared = 0;
    while (std::fgets(line, sizeof(line), f) != nullptr) {
        if (std::sscanf(line, "Rss: %lld kB", &kb) == 1) rss = kb;
        if (std::sscanf(line, "Private_Clean: %lld kB", &kb) == 1) priv += kb;
        if (std::sscanf(line, "Private_Dirty: %lld kB", &kb) == 1) priv += kb;
        if (std::sscanf(line, "Shared_Clean: %lld kB", &kb) == 1) shared += kb;
        if (std::sscanf(line, "Shared_Dirty: %lld kB", &kb) == 1) shared += kb;
    }
    std::fclose(f);
    m.rss = rss / 1024.0, m.priv = priv / 1024.0, m.shared = shared / 1024.0;
    return m;
}

// The CPU shares of the game and of the X server over the same seconds (what the server spends showing
// the game's pictures counts too).
struct Shares {
    double game = 0;
    double server = 0;
};

Shares cpuShares(pid_t game, pid_t server, int seconds) {
    const long long gameBefore = cpuTicks(game);
    const long long serverBefore = cpuTicks(server);
    const Clock::time_point began = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const long long gameAfter = cpuTicks(game);
    const long long serverAfter = cpuTicks(server);
    const double wall = std::chrono::duration<double>(Clock::now() - began).count();
    const double perTick = 1.0 / static_cast<double>(sysconf(_SC_CLK_TCK)) / wall * 100.0;
    return Shares{(gameAfter - gameBefore) * perTick, (serverAfter - serverBefore) * perTick};
}

// Whether the process maps a library whose name holds part.
bool maps(pid_t pid, const char* part) {
    char path[64];
    std::snprintf(path, sizeof(path), "/proc/%d/maps", static_cast<int>(pid));
    FILE* f = std::fopen(path, "r");
    if (f == nullptr) return false;
    char line[1024];
    bool found = false;
    while (!found && std::fgets(line, sizeof(line), f) != nullptr)
        found = std::strstr(line, part) != nullptr;
    std::fclose(f);
    return found;
}

pid_t spawn(const std::string& dir, const char* program, const char* renderer, const char* framebuffer,
            const std::string& data) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    if (chdir(dir.c_str()) != 0) _exit(127);
    const int null = ::open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, 1), dup2(null, 2);
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("SDL_VIDEO_X11_XRANDR", "0", 1);
    setenv("MORPHELLA_NO_LOADING_DELAY", "1", 1);
    // The window opens at the picture's own size (the screen would fit three times that), so 1x is 1x
    // and the click on the start button lands where the driver said it is.
    setenv("MORPHELLA_WINDOW_SIZE", "800x600", 1);
    unsetenv("SDL_VIDEODRIVER");
    unsetenv("MORPHELLA_EXIT_AFTER_TICKS");
    if (renderer != nullptr)
        setenv("SDL_RENDER_DRIVER", renderer, 1);
    else
        unsetenv("SDL_RENDER_DRIVER");
    if (framebuffer != nullptr)
        setenv("SDL_FRAMEBUFFER_ACCELERATION", framebuffer, 1);
    else
        unsetenv("SDL_FRAMEBUFFER_ACCELERATION");
    execl(program, "morphella", static_cast<char*>(nullptr));
    _exit(127);
}

} // namespace

int main(int argc, char** argv) {
    std::filesystem::path bin = std::filesystem::canonical("/proc/self/exe").parent_path();
    if (argc > 1) bin = argv[1];
    const std::string game = (bin / "morphella").string();
    const std::string tool = (bin / "morphella-tool").string();
    if (access(game.c_str(), X_OK) != 0 || access(tool.c_str(), X_OK) != 0) {
        std::fprintf(stderr, "bench_window: %s is not built\n", game.c_str());
        return 1;
    }
    if (!have("Xvfb") || !have("xdotool")) {
        std::printf("window skipped 1 flag\n");
        return 0;
    }
    // Where the start button is, from the headless driver.
    int bx = 0, by = 0, bw = 0, bh = 0;
    const std::string found =
        run("printf 'sprite startdialog/bstart1\\n' | '" + tool + "' play --seed 1 --container '" +
            (bin / "morphella.bin").string() + "' | tail -n 1");
    const char* at = std::strstr(found.c_str(), "\"x\":");
    if (at == nullptr || std::sscanf(at, "\"x\":%d,\"y\":%d,\"w\":%d,\"h\":%d", &bx, &by, &bw, &bh) != 4) {
        std::fprintf(stderr, "bench_window: no start button: %s\n", found.c_str());
        return 1;
    }
    int display = -1;
    for (int n = 150 + getpid() % 40; n < 250; ++n) {
        struct stat st;
        const std::string sock = "/tmp/.X11-unix/X" + std::to_string(n);
        const std::string lock = "/tmp/.X" + std::to_string(n) + "-lock";
        if (stat(sock.c_str(), &st) != 0 && stat(lock.c_str(), &st) != 0) {
            display = n;
            break;
        }
    }
    if (display < 0) return 1;
    const std::string name = ":" + std::to_string(display);
    const pid_t xvfb = fork();
    if (xvfb == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        if (null >= 0) dup2(null, 1), dup2(null, 2);
        execlp("Xvfb", "Xvfb", name.c_str(), "-screen", "0", "2560x1920x24", "-nolisten", "tcp",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    const std::string sock = "/tmp/.X11-unix/X" + std::to_string(display);
    for (int i = 0; i < 200 && access(sock.c_str(), F_OK) != 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    setenv("DISPLAY", name.c_str(), 1);

    char work[] = "/tmp/mph-bench-window-XXXXXX";
    if (mkdtemp(work) == nullptr) return 1;
    std::filesystem::copy_file(bin / "morphella.bin", std::filesystem::path(work) / "morphella.bin");

    // The game as it chooses by itself; forced onto SDL's OpenGL renderer; and forced onto the software
    // renderer drawing straight into the X server's shared memory (no GL at all).
    struct Setup {
        const char* label;
        const char* renderer;
        const char* framebuffer;
    };
    for (const Setup& setup : {Setup{"default", nullptr, nullptr}, Setup{"opengl", "opengl", nullptr},
                               Setup{"nogl", "software", "0"}}) {
        const std::string data = std::string(work) + "/data-" + setup.label;
        const pid_t pid = spawn(work, game.c_str(), setup.renderer, setup.framebuffer, data);
        std::string window;
        for (int i = 0; i < 300 && window.empty(); ++i) {
            window = run("xdotool search --pid " + std::to_string(pid) +
                         " --name '^Morphella$' 2>/dev/null | head -n 1");
            if (window.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        if (window.empty()) {
            std::fprintf(stderr, "bench_window: no window (%s)\n", setup.label);
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            continue;
        }
        // The start screen, settled.
        std::this_thread::sleep_for(std::chrono::seconds(3));
        const Memory start = memoryOf(pid);
        run("xdotool mousemove --window " + window + " " + std::to_string(bx + bw / 2) + " " +
            std::to_string(by + bh / 2) + " click 1");
        std::this_thread::sleep_for(std::chrono::seconds(3));
        const Memory play = memoryOf(pid);
        const Shares cpu1 = cpuShares(pid, xvfb, kCpuSeconds);
        run("xdotool windowsize " + window + " 2400 1800");
        std::this_thread::sleep_for(std::chrono::seconds(2));
        const Shares cpu3 = cpuShares(pid, xvfb, kCpuSeconds);
        const Memory play3 = memoryOf(pid);
        const bool gl = maps(pid, "libGL") || maps(pid, "libLLVM");
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        const char* l = setup.label;
        std::printf("window %s_start_private %.1f MB\n", l, start.priv);
        std::printf("window %s_play_resident %.1f MB\n", l, play.rss);
        std::printf("window %s_play_private %.1f MB\n", l, play.priv);
        std::printf("window %s_play_shared %.1f MB\n", l, play.shared);
        std::printf("window %s_play3x_private %.1f MB\n", l, play3.priv);
        std::printf("window %s_cpu_1x %.2f %%\n", l, cpu1.game);
        std::printf("window %s_cpu_3x %.2f %%\n", l, cpu3.game);
        std::printf("window %s_xserver_cpu_1x %.2f %%\n", l, cpu1.server);
        std::printf("window %s_xserver_cpu_3x %.2f %%\n", l, cpu3.server);
        std::printf("window %s_gl_loaded %d flag\n", l, gl ? 1 : 0);
        std::fflush(stdout);
    }
    kill(xvfb, SIGTERM);
    waitpid(xvfb, nullptr, 0);
    std::filesystem::remove_all(work);
    return 0;
}
