// ServiceOptions: reading and checking the options of morphella-scored.
#include "service/ServiceOptions.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <string_view>

namespace mph::service {

namespace {

bool readNumber(std::string_view text, unsigned long long max, unsigned long long& value) {
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size() && value <= max;
}

} // namespace

std::string ServiceOptions::usage() {
    return "usage: morphella-scored [options]\n"
           "The global high-score service of Morphella: GET /globalhs.jsp and /addglobalhs.jsp, and\n"
           "POST /addreplay.jsp, which replays a recorded game and marks its entries verified.\n"
           "\n"
           "  --bind ADDRESS            IPv4 or IPv6 address to listen on (default 0.0.0.0; :: for both)\n"
           "  --port N                  port (default 8642; 0 picks a free one)\n"
           "  --port-file FILE          write the port to FILE once listening\n"
           "  --db FILE                 SQLite database (default\n"
           "                            ${XDG_DATA_HOME:-$HOME/.local/share}/quillory/morphella/scores.db)\n"
           "  --postgres CONNINFO       keep the tables in PostgreSQL instead (libpq connection string)\n"
           "  --pg-connections N        connections to PostgreSQL at most (default 8)\n"
           "  --threads N               HTTP threads (default 4)\n"
           "  --workers N               threads for submissions, which wait for their commit (default 32)\n"
           "  --max-connections N       open connections at most (default 1000)\n"
           "  --per-address N           connections one client (an IPv6 /64) may hold (default 16)\n"
           "  --timeout SECONDS         idle connections are closed after this (default 15)\n"
           "  --max-body BYTES          the largest recording taken (default 1048576)\n"
           "  --trust-proxy ADDRESS     take the client from X-Forwarded-For on requests from ADDRESS\n"
           "  --rate-limit N            submissions per address and window, 0 for no limit (default 10)\n"
           "  --rate-window SECONDS     the rate limit's window (default 60)\n"
           "  --cache-ms MS             serve a rendered table at most this long; 0 keeps it until this\n"
           "                            instance records a score (default 0; 1000 with --postgres)\n"
           "  --grace SECONDS           time the requests in flight get at SIGTERM (default 10)\n"
           "  --container FILE          the game's data for replays (default: morphella.bin where the\n"
           "                            game looks for it)\n"
           "  --replay-workers N        threads that replay recordings (default: one per core)\n"
           "  --replay-queue N          recordings that may wait for a replay thread (default 16)\n"
           "  --replay-budget SECONDS   replay time one client may cost per 10 minutes (default 60)\n"
           "  --no-plausibility         verify games beyond a person's limits too (private tables)\n"
           "  --accept-unverified       list entries whose recording did not verify them as well\n"
           "  --require-replay          list only verified entries (the default)\n"
           "  --keep-addresses DAYS     forget the clients' addresses after DAYS; 0 keeps none (default 30)\n"
           "  --log-format FORMAT       stamped (UTC time stamps, the default) or journal (for journald)\n"
           "  --quiet                   no line per request on standard error\n"
           "  --help, --version\n"
           "\n"
           "morphella-scored admin list MODE [--db FILE | --postgres CONNINFO]\n"
           "morphella-scored admin delete ID... [--db FILE | --postgres CONNINFO]\n"
           "morphella-scored admin approve ID... [--db FILE | --postgres CONNINFO]\n"
           "morphella-scored admin hide NAME | unhide NAME [--db FILE | --postgres CONNINFO]\n"
           "  lists a table's entries for the operator, removes entries, verifies entries waiting for\n"
           "  review, keeps a name off the tables;\n"
           "  running services show the change within a second.\n";
}

ServiceOptions::Outcome ServiceOptions::parse(int argc, const char* const* argv, std::string& error) {
    bool cacheGiven = false;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        std::string_view value;
        bool hasValue = false;
        if (const size_t eq = arg.find('='); arg.starts_with("--") && eq != std::string_view::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
            hasValue = true;
        }
        if (arg == "--help" || arg == "-h") return Outcome::Help;
        if (arg == "--version") return Outcome::Version;
        if (arg == "--quiet") {
            server.logFd = -1;
            continue;
        }
        if (arg == "--require-replay") {
            service.requireReplay = true;
            continue;
        }
        if (arg == "--accept-unverified") {
            service.requireReplay = false;
            continue;
        }
        if (arg == "--no-plausibility") {
            replay.plausibility = false;
            continue;
        }
        static constexpr std::string_view kTakesValue[] = {"--bind",
                                                           "--port",
                                                           "--port-file",
                                                           "--db",
                                                           "--postgres",
                                                           "--threads",
                                                           "--workers",
                                                           "--pg-connections",
                                                           "--max-connections",
                                                           "--per-address",
                                                           "--timeout",
                                                           "--rate-limit",
                                                           "--rate-window",
                                                           "--cache-ms",
                                                           "--grace",
                                                           "--container",
                                                           "--max-body",
                                                           "--trust-proxy",
                                                           "--replay-workers",
                                                           "--replay-queue",
                                                           "--replay-budget",
                                                           "--keep-addresses",
                                                           "--log-format"};
        if (std::find(std::begin(kTakesValue), std::end(kTakesValue), arg) == std::end(kTakesValue)) {
            error = "unknown option " + std::string(arg);
            return Outcome::Error;
        }
        if (!hasValue) {
            if (i + 1 >= argc) {
                error = std::string(arg) + " needs a value";
                return Outcome::Error;
            }
            value = argv[++i];
        }
        unsigned long long n = 0;
        auto number = [&](unsigned long long max) {
            if (readNumber(value, max, n)) return true;
            error =
                std::string(arg) + ": not a number up to " + std::to_string(max) + ": " + std::string(value);
            return false;
        };
        if (arg == "--bind") {
            server.bind = value;
        } else if (arg == "--port") {
            if (!number(65535)) return Outcome::Error;
            server.port = static_cast<uint16_t>(n);
        } else if (arg == "--port-file") {
            portFile = value;
        } else if (arg == "--db") {
            db = value;
        } else if (arg == "--postgres") {
            postgres = value;
        } else if (arg == "--threads") {
            if (!number(1024)) return Outcome::Error;
            if (n == 0) {
                error = "--threads: at least 1";
                return Outcome::Error;
            }
            server.threads = static_cast<unsigned>(n);
        } else if (arg == "--workers") {
            if (!number(1024)) return Outcome::Error;
            if (n == 0) {
                error = "--workers: at least 1";
                return Outcome::Error;
            }
            server.workers = static_cast<unsigned>(n);
        } else if (arg == "--pg-connections") {
            if (!number(1024)) return Outcome::Error;
            if (n == 0) {
                error = "--pg-connections: at least 1";
                return Outcome::Error;
            }
            pgConnections = static_cast<unsigned>(n);
        } else if (arg == "--max-connections") {
            if (!number(1000000)) return Outcome::Error;
            server.maxConnections = static_cast<unsigned>(n);
        } else if (arg == "--per-address") {
            if (!number(1000000)) return Outcome::Error;
            server.perAddressConnections = static_cast<unsigned>(n);
        } else if (arg == "--timeout") {
            if (!number(86400)) return Outcome::Error;
            server.timeoutSeconds = static_cast<unsigned>(n);
        } else if (arg == "--rate-limit") {
            if (!number(1000000)) return Outcome::Error;
            service.rateLimit = static_cast<size_t>(n);
            replay.rateLimit = static_cast<size_t>(n);
        } else if (arg == "--rate-window") {
            if (!number(86400)) return Outcome::Error;
            if (n == 0) {
                error = "--rate-window: at least 1";
                return Outcome::Error;
            }
            service.rateWindow = std::chrono::seconds(n);
            replay.rateWindow = std::chrono::seconds(n);
        } else if (arg == "--cache-ms") {
            if (!number(86400000)) return Outcome::Error;
            service.cacheMaxAge = std::chrono::milliseconds(n);
            cacheGiven = true;
        } else if (arg == "--container") {
            replay.container = value;
        } else if (arg == "--max-body") {
            if (!number(64u << 20)) return Outcome::Error;
            if (n < 1024) {
                error = "--max-body: at least 1024";
                return Outcome::Error;
            }
            server.maxBodyBytes = static_cast<size_t>(n);
        } else if (arg == "--trust-proxy") {
            server.trustProxy = value;
        } else if (arg == "--replay-workers") {
            if (!number(256)) return Outcome::Error;
            replay.workers = static_cast<unsigned>(n);
        } else if (arg == "--replay-queue") {
            if (!number(10000)) return Outcome::Error;
            replay.queue = static_cast<size_t>(n);
        } else if (arg == "--replay-budget") {
            if (!number(86400)) return Outcome::Error;
            replay.budgetSeconds = static_cast<unsigned>(n);
        } else if (arg == "--keep-addresses") {
            if (!number(36500)) return Outcome::Error;
            keepAddressDays = static_cast<unsigned>(n);
            service.keepAddresses = n > 0;
        } else if (arg == "--log-format") {
            if (value == "stamped") {
                logFormat = log::Format::Stamped;
            } else if (value == "journal") {
                logFormat = log::Format::Journal;
            } else {
                error = "--log-format: stamped or journal, not " + std::string(value);
                return Outcome::Error;
            }
        } else if (arg == "--grace") {
            if (!number(3600)) return Outcome::Error;
            graceSeconds = static_cast<unsigned>(n);
        } else {
            error = "unknown option " + std::string(arg);
            return Outcome::Error;
        }
    }
    if (!db.empty() && !postgres.empty()) {
        error = "--db and --postgres exclude each other";
        return Outcome::Error;
    }
    // Other instances write to the same tables unseen, so their entries show up after this long.
    if (!postgres.empty() && !cacheGiven) service.cacheMaxAge = std::chrono::milliseconds(1000);
    return Outcome::Run;
}

} // namespace mph::service
