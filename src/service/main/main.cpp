// morphella-scored: the global high-score service; see --help and README.md.
#include "scores/GameVersion.h"
#include "service/HttpServer.h"
#include "service/PostgresStore.h"
#include "service/ReplayService.h"
#include "service/ScoreService.h"
#include "service/ServiceOptions.h"
#include "service/SqliteStore.h"

#include <csignal>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <pthread.h>
#include <stdexcept>

#ifndef MPH_VERSION
#define MPH_VERSION "0"
#endif

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

} // namespace

int main(int argc, char** argv) {
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
            std::fprintf(stderr, "morphella-scored: scores in PostgreSQL\n");
        } else {
            const std::string path = options.db.empty() ? SqliteStore::defaultPath() : options.db;
            store = std::make_unique<SqliteStore>(path);
            std::fprintf(stderr, "morphella-scored: scores in %s\n", path.c_str());
        }
        ScoreService service(*store, options.service);
        std::string gameError;
        const bool gameLoaded = ReplayService::loadGame(options.replay.container, gameError);
        if (!gameLoaded) {
            // Without the game nothing could ever be verified, so a service that lists only verified
            // entries does not start.
            if (options.service.requireReplay) throw std::runtime_error("the game cannot run: " + gameError);
            std::fprintf(stderr, "morphella-scored: recorded games cannot be checked: %s\n",
                         gameError.c_str());
        }
        ReplayService replays(*store, service, options.replay, gameLoaded);
        Router router;
        service.install(router);
        replays.install(router);
        HttpServer server(router, options.server);
        server.start();
        std::fprintf(stderr, "morphella-scored: listening on %s\n", server.endpoint().c_str());
        if (!options.portFile.empty() && !writePortFile(options.portFile, server.port()))
            std::fprintf(stderr, "morphella-scored: cannot write %s\n", options.portFile.c_str());

        int signal = 0;
        sigwait(&stopSignals, &signal);
        std::fprintf(stderr, "morphella-scored: %s, finishing the requests in flight\n",
                     signal == SIGTERM ? "SIGTERM" : "SIGINT");
        server.stop(std::chrono::seconds(options.graceSeconds));
        std::fprintf(stderr, "morphella-scored: stopped\n");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "morphella-scored: %s\n", e.what());
        return 1;
    }
    return 0;
}
