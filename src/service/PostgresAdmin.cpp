// PostgresStore: the kept recordings and the operator's commands.
#include "service/PostgresLease.h"

#include <cstdlib>
#include <string_view>

namespace mph::service {

using pgsupport::kChannel;

namespace {

std::string fromHex(std::string_view hex) {
    std::string out;
    auto digit = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<char>(digit(hex[i]) << 4 | digit(hex[i + 1])));
    return out;
}

} // namespace

std::optional<KeptRecording> PostgresStore::recording(int64_t id) {
    Lease lease(*this);
    const std::string entry = std::to_string(id);
    const char* values[] = {entry.c_str()};
    // Binary results give the recording's bytes as kept.
    Result r =
        lease.run("SELECT s.mode, r.game_hash, r.bytes FROM scores s JOIN recordings r ON r.entry_id = s.id "
                  "WHERE s.id = $1::bigint AND s.verified "
                  "AND s.name NOT IN (SELECT name FROM hidden_names)",
                  false, 1, values, nullptr, nullptr, 1);
    if (PQntuples(r.get()) == 0) return std::nullopt;
    const auto column = [&](int c) {
        return std::string(PQgetvalue(r.get(), 0, c), static_cast<size_t>(PQgetlength(r.get(), 0, c)));
    };
    return KeptRecording{column(0), column(1), column(2)};
}

std::vector<AdminRow> PostgresStore::list(const std::string& mode, int32_t limit) {
    Lease lease(*this);
    Result r =
        lease.query("SELECT s.id, encode(s.name, 'hex'), s.score, s.level, s.verified, r.human, s.address, "
                    "to_char(s.created AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS.MS\"Z\"'), "
                    "EXISTS (SELECT 1 FROM hidden_names h WHERE h.name = s.name) FROM scores s "
                    "LEFT JOIN recordings r ON r.entry_id = s.id WHERE s.mode = $1 "
                    "ORDER BY s.score DESC, s.id LIMIT $2::int",
                    {mode, std::to_string(limit)}, {0, 0});
    std::vector<AdminRow> rows;
    for (int i = 0; i < PQntuples(r.get()); ++i) {
        AdminRow row;
        row.id = std::strtoll(PQgetvalue(r.get(), i, 0), nullptr, 10);
        row.rank = i + 1;
        row.name = fromHex(PQgetvalue(r.get(), i, 1));
        row.score = static_cast<int32_t>(std::strtol(PQgetvalue(r.get(), i, 2), nullptr, 10));
        row.level = static_cast<int32_t>(std::strtol(PQgetvalue(r.get(), i, 3), nullptr, 10));
        const bool review = !PQgetisnull(r.get(), i, 5) && PQgetvalue(r.get(), i, 5)[0] == 'f';
        row.state = PQgetvalue(r.get(), i, 4)[0] == 't' ? "verified" : review ? "review" : "-";
        row.address = PQgetvalue(r.get(), i, 6);
        row.created = PQgetvalue(r.get(), i, 7);
        row.hidden = PQgetvalue(r.get(), i, 8)[0] == 't';
        rows.push_back(std::move(row));
    }
    return rows;
}

int32_t PostgresStore::remove(const std::vector<int64_t>& ids) {
    std::string array = "{";
    for (size_t i = 0; i < ids.size(); ++i) {
        if (i > 0) array += ',';
        array += std::to_string(ids[i]);
    }
    array += "}";
    Lease lease(*this);
    // One statement: the deletion and its announcement commit together.
    Result r = lease.query("WITH gone AS (DELETE FROM scores WHERE id = ANY($1::bigint[]) RETURNING 1) "
                           "SELECT (SELECT count(*) FROM gone), pg_notify($2, '')",
                           {array, kChannel}, {0, 0});
    return static_cast<int32_t>(std::strtol(PQgetvalue(r.get(), 0, 0), nullptr, 10));
}

bool PostgresStore::approve(int64_t id) {
    Lease lease(*this);
    Result r =
        lease.query("WITH done AS (UPDATE scores SET verified = true WHERE id = $1::bigint AND NOT verified "
                    "AND id IN (SELECT entry_id FROM recordings WHERE NOT human) RETURNING mode) "
                    "SELECT (SELECT count(*) FROM done), pg_notify($2, '')",
                    {std::to_string(id), kChannel}, {0, 0});
    return std::strtol(PQgetvalue(r.get(), 0, 0), nullptr, 10) > 0;
}

bool PostgresStore::hide(const std::string& name, bool hidden) {
    Lease lease(*this);
    Result r = lease.query(
        hidden ? "WITH added AS (INSERT INTO hidden_names(name) VALUES($1::bytea) "
                 "ON CONFLICT DO NOTHING RETURNING 1) SELECT (SELECT count(*) FROM added), pg_notify($2, '')"
               : "WITH gone AS (DELETE FROM hidden_names WHERE name = $1::bytea RETURNING 1) "
                 "SELECT (SELECT count(*) FROM gone), pg_notify($2, '')",
        {name, kChannel}, {1, 0});
    return std::strtol(PQgetvalue(r.get(), 0, 0), nullptr, 10) > 0;
}

int32_t PostgresStore::forgetAddresses(int32_t days) {
    Lease lease(*this);
    Result r = lease.query(
        "WITH cleared AS (UPDATE scores SET address = '' WHERE address <> '' AND "
        "created < now() - make_interval(days => $1::int) RETURNING 1) SELECT count(*) FROM cleared",
        {std::to_string(days)}, {0});
    return static_cast<int32_t>(std::strtol(PQgetvalue(r.get(), 0, 0), nullptr, 10));
}

} // namespace mph::service
