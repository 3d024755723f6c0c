// morphella-scored: the global high-score service; see --help and README.md.
#include "replay/ReplayFile.h"
#include "scores/GameVersion.h"
#include "service/AdminCommand.h"
#include "service/HttpServer.h"
#include "service/Log.h"
#include "service/PostgresStore.h"
#include "service/ReplayDownload.h"
#include "service/ReplayService.h"
#include "service/ScoreService.h"
#include "service/ServiceOptions.h"
#include "service/SqliteStore.h"
#include "service/WebService.h"

#include <unistd.h>

#include <atomic>
#include <cinttypes>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <pthread.h>
#include <stdexcept>
#include <thread>

using namespace mph::service;

namespace {

// Writes the port to path through a temporary file, so a reader never sees a half-written number.
bool writePortFile(const std::string& path, uint16_t port) {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << port << '\n';
        if (!out.flush()) return false;
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    return !ec;
}

// Forgets the clients' addresses of old entries now and then (hourly), for the players' privacy.
class AddressExpiry {
public:
    AddressExpiry(Store& store, unsigned days) {
        m_thread = std::thread([this, &store, days] {
            std::unique_lock<std::mutex> lock(m_mutex);
            do {
                try {
                    const int32_t n = store.forgetAddresses(static_cast<int32_t>(days));
                    if (n > 0) log::line("forgot the addresses of %d entries older than %u days", n, days);
                } catch (const StoreError& e) {
                    log::line("%s", e.what());
                }
            } while (!m_wake.wait_for(lock, std::chrono::hours(1), [this] { return m_stop; }));
        });
    }
    ~AddressExpiry() {
        {
            std::lock_guard<std::mutex> guard(m_mutex);
            m_stop = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::thread m_thread;
};

std::string dataDescription(const std::string& container) {
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016" PRIx64, mph::ReplayFile::currentDataHash());
    const std::string where =
        container.empty() ? std::string("morphella.bin where the game finds it") : container;
    return "version " + std::string(mph::kGameVersion) + ", data " + where + " (hash " + hash + ")";
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "admin") == 0) {
        std::string out;
        const int status = AdminCommand::run(argc, argv, 2, out);
        std::fputs(out.c_str(), stdout);
        return status;
    }
    ServiceOptions options;
    std::string error;
    switch (options.parse(argc, argv, error)) {
    case ServiceOptions::Outcome::Help:
        std::fputs(ServiceOptions::usage().c_str(), stdout);
        return 0;
    case ServiceOptions::Outcome::Version:
        std::printf("morphella-scored %s\n", mph::kGameVersion);
        return 0;
    case ServiceOptions::Outcome::Error:
        std::fprintf(stderr, "morphella-scored: %s (see --help)\n", error.c_str());
        return 2;
    case ServiceOptions::Outcome::Run:
        break;
    }
    log::setFormat(options.logFormat);

    // The stop signals are taken by sigwait below; every thread started from here on has them blocked.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    try {
        std::unique_ptr<Store> store;
        if (!options.postgres.empty()) {
            store = std::make_unique<PostgresStore>(options.postgres, options.pgConnections);
            // The connection string may hold a password: it is not repeated here.
            log::line("scores in PostgreSQL");
        } else {
            const std::string path = options.db.empty() ? SqliteStore::defaultPath() : options.db;
            store = std::make_unique<SqliteStore>(path);
            log::line("scores in %s", path.c_str());
        }
        ScoreService service(*store, options.service);
        // Changes made elsewhere (the operator's commands, other instances' verifications) are never
        // served from this instance's cache.
        store->watch([&service](const std::string& mode) { service.entriesRemoved(mode); });
        // However this block is left, the watch ends before the service it tells goes.
        struct WatchEnd {
            Store& store;
            ~WatchEnd() { store.stopWatching(); }
        } watchEnd{*store};
        std::string gameError;
        const bool gameLoaded = ReplayService::loadGame(options.replay.container, gameError);
        if (!gameLoaded) {
            // Without the game nothing could ever be verified, so a service that lists only verified
            // entries does not start.
            if (options.service.requireReplay) throw std::runtime_error("the game cannot run: " + gameError);
            log::line("recorded games cannot be checked: %s", gameError.c_str());
        }
        ReplayService replays(*store, service, options.replay, gameLoaded);
        if (gameLoaded)
            log::line("recorded games replayed with the game's %s on %u threads%s",
                      dataDescription(options.replay.container).c_str(), replays.workers(),
                      options.replay.plausibility ? "" : ", no check of a person's limits");
        log::line("%s", options.service.requireReplay ? "listing verified entries only"
                                                      : "listing unverified entries too");
        std::unique_ptr<AddressExpiry> expiry;
        if (options.keepAddressDays > 0)
            expiry = std::make_unique<AddressExpiry>(*store, options.keepAddressDays);
        Router router;
        service.install(router);
        replays.install(router);
        // The pages take the game's logo and icon from its container, loaded above for the replays.
        WebService web(service);
        web.install(router);
        ReplayDownload downloads(*store);
        downloads.install(router);
        HttpServer server(router, options.server);
        server.start();
        log::line("listening on %s", server.endpoint().c_str());
        if (!options.portFile.empty() && !writePortFile(options.portFile, server.port()))
            log::line("cannot write %s", options.portFile.c_str());

        int signal = 0;
        sigwait(&stopSignals, &signal);
        log::line("%s, finishing the requests in flight (a second signal stops at once)",
                  signal == SIGTERM ? "SIGTERM" : "SIGINT");
        // A second signal while the requests finish ends the process there and then.
        std::atomic<bool> stopped{false};
        std::thread second([&stopSignals, &stopped] {
            const timespec wait{0, 100 * 1000 * 1000};
            while (!stopped.load()) {
                if (sigtimedwait(&stopSignals, nullptr, &wait) > 0) {
                    log::line("second signal: stopping at once");
                    ::_exit(1);
                }
            }
        });
        server.stop(std::chrono::seconds(options.graceSeconds));
        stopped.store(true);
        second.join();
        log::line("stopped");
    } catch (const std::exception& e) {
        log::line("%s", e.what());
        return 1;
    }
    return 0;
}
