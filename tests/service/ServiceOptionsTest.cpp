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
    // In public by default: only verified entries, a person's limits checked, addresses kept 30 days.
    EXPECT_TRUE(o.service.requireReplay);
    EXPECT_TRUE(o.replay.plausibility);
    EXPECT_EQ(o.keepAddressDays, 30u);

    ServiceOptions p;
    const char* privateLine[] = {"scored",
                                 "--accept-unverified",
                                 "--no-plausibility",
                                 "--replay-workers",
                                 "3",
                                 "--trust-proxy",
                                 "::1",
                                 "--keep-addresses",
                                 "0",
                                 "--log-format",
                                 "journal",
                                 "--max-body",
                                 "65536"};
    ASSERT_EQ(p.parse(13, privateLine, error), ServiceOptions::Outcome::Run) << error;
    EXPECT_FALSE(p.service.requireReplay);
    EXPECT_FALSE(p.replay.plausibility);
    EXPECT_EQ(p.replay.workers, 3u);
    EXPECT_EQ(p.server.trustProxy, "::1");
    EXPECT_FALSE(p.service.keepAddresses);
    EXPECT_EQ(p.logFormat, log::Format::Journal);
    EXPECT_EQ(p.server.maxBodyBytes, 65536u);

    const std::vector<std::vector<const char*>> bad = {
        {"scored", "--port", "65536"},     {"scored", "--threads", "0"},
        {"scored", "--timeout"},           {"scored", "--db", "a", "--postgres", "b"},
        {"scored", "--frobnicate"},        {"scored", "--rate-limit", "-1"},
        {"scored", "--log-format", "xml"}, {"scored", "--max-body", "10"}};
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
