// The command line of morphella-scored: values reach the configuration; mistakes are refused.
#include "service/ServiceOptions.h"

#include <gtest/gtest.h>

using namespace mph::service;

TEST(ServiceOptions, ReadsValuesAndRefusesMistakes) {
    ServiceOptions o;
    std::string error;
    const char* line[] = {"scored",     "--bind",        "::1",    "--port=0",     "--threads",
                          "8",          "--per-address", "4",      "--rate-limit", "0",
                          "--postgres", "dbname=x",      "--quiet"};
    ASSERT_EQ(o.parse(13, line, error), ServiceOptions::Outcome::Run) << error;
    EXPECT_EQ(o.server.bind, "::1");
    EXPECT_EQ(o.server.port, 0);
    EXPECT_EQ(o.server.threads, 8u);
    EXPECT_EQ(o.server.perAddressConnections, 4u);
    EXPECT_EQ(o.server.logFd, -1);
    EXPECT_EQ(o.service.rateLimit, 0u);
    EXPECT_EQ(o.postgres, "dbname=x");
    // Other instances' entries appear after at most a second.
    EXPECT_EQ(o.service.cacheMaxAge.count(), 1000);

    const std::vector<std::vector<const char*>> bad = {
        {"scored", "--port", "65536"}, {"scored", "--threads", "0"},
        {"scored", "--timeout"},       {"scored", "--db", "a", "--postgres", "b"},
        {"scored", "--frobnicate"},    {"scored", "--rate-limit", "-1"}};
    for (const auto& args : bad) {
        ServiceOptions fresh;
        EXPECT_EQ(fresh.parse(static_cast<int>(args.size()), args.data(), error),
                  ServiceOptions::Outcome::Error)
            << args[1];
    }
    ServiceOptions help;
    const char* asksHelp[] = {"scored", "--help"};
    EXPECT_EQ(help.parse(2, asksHelp, error), ServiceOptions::Outcome::Help);
}
