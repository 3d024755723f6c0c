// ServiceOptions: the command line of morphella-scored.
#pragma once

#include "service/HttpServer.h"
#include "service/Log.h"
#include "service/ReplayService.h"
#include "service/ScoreService.h"

#include <string>

namespace mph::service {

class ServiceOptions {
public:
    enum class Outcome { Run, Help, Version, Error };

    HttpServer::Config server;
    ScoreService::Config service;
    ReplayService::Config replay;
    // The SQLite file; empty for the default place.
    std::string db;
    // A libpq connection string; when set, PostgreSQL holds the tables instead of SQLite.
    std::string postgres;
    // Connections to PostgreSQL this instance keeps at most.
    unsigned pgConnections = 8;
    // A file that receives the port once listening (handy with --port 0).
    std::string portFile;
    // Seconds the requests in flight get to finish after SIGTERM or SIGINT.
    unsigned graceSeconds = 10;
    // Days a submitting client's address is kept with its entry; 0 keeps none.
    unsigned keepAddressDays = 30;
    log::Format logFormat = log::Format::Stamped;

    // Reads argv; on Error, error says what was wrong.
    Outcome parse(int argc, const char* const* argv, std::string& error);
    static std::string usage();
};

} // namespace mph::service
