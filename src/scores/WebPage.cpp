// WebPage: the web address check and the opener started with posix_spawn.
#include "scores/WebPage.h"

#include "io/URL.h"
#include "platform/MessageBox.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace mph {

namespace {

// Starts program with url; the child's pid, or -1 with errno's text in error.
pid_t spawn(const char* program, const char* url, int& error) {
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    // The opener starts with default signal handling and nothing blocked, whatever this thread does.
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    // None of the program's files, sockets or database handles go to the browser.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    char* argv[] = {const_cast<char*>(program), const_cast<char*>(url), nullptr};
    pid_t pid = -1;
    error = posix_spawnp(&pid, program, &actions, &attr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    return error == 0 ? pid : -1;
}

} // namespace

bool isWebAddress(const lang::String& url) {
    const std::string_view text = url.view();
    const bool http = text.size() > 7 && lang::String(text.substr(0, 7)).equalsIgnoreCase("http://");
    const bool https = text.size() > 8 && lang::String(text.substr(0, 8)).equalsIgnoreCase("https://");
    if (!http && !https) return false;
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c <= 0x20 || c == 0x7F) return false;
    }
    return URL(url.c_str()).valid;
}

bool openWebPageWith(const char* program, const lang::String& url) {
    if (!isWebAddress(url)) {
        std::fprintf(stderr, "Not opening \"%s\": only http and https addresses are opened.\n", url.c_str());
        return false;
    }
    int error = 0;
    const pid_t pid = spawn(program, url.c_str(), error);
    if (pid < 0) {
        MessageBox::show(lang::String("Unable to open ") + url + ": " + program + " could not be started (" +
                             std::strerror(error) + ").",
                         "Error");
        return false;
    }
    // The opener may wait for the browser; its exit is collected off this thread so it never lingers.
    std::thread([pid, name = std::string(program)] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        if (WIFEXITED(status) && WEXITSTATUS(status) != 0)
            std::fprintf(stderr, "%s ended with status %d.\n", name.c_str(), WEXITSTATUS(status));
    }).detach();
    return true;
}

bool openWebPage(const lang::String& url) {
    return openWebPageWith("xdg-open", url);
}

} // namespace mph
