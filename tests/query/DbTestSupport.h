#pragma once

// Real databases for the data-access tests: SQLite files made with the SQLite library, and the
// PostgreSQL server that tests/services.sh starts (its variables in the environment).
#include "QtPrinters.h"
#include "query/Tdm1.h"

#include <QString>

#include <optional>

namespace velmora::test {

// Makes a SQLite database file from a script; returns its path.
QString makeSqliteDb(const QString& dir, const QString& name, const char* script);

struct PgServer {
    QString host, database, user, password;
    int port = 0;
    // "Provider=PostgreSQL;Host=...;Port=...;Database=...;User ID=...;Password=..."
    QString connectionString(const QString& password) const;
    QString connectionString() const { return connectionString(this->password); }
};

// The server of the test environment; nullopt when VELMORA_TEST_PG_PORT is not set at all.
std::optional<PgServer> pgServer();

// Runs a statement that returns no rows (DDL, INSERT) through the query.
void execute(Tdm1& dm, const QString& sql);

} // namespace velmora::test

// Skips when no PostgreSQL was set up; a server that is set up but does not answer fails.
#define VELMORA_REQUIRE_PG(var)                                                                    \
    const auto var##Opt = ::velmora::test::pgServer();                                             \
    if (!var##Opt)                                                                                 \
        GTEST_SKIP() << "VELMORA_TEST_PG_PORT is not set (tests/services.sh start DIR)";           \
    const ::velmora::test::PgServer& var = *var##Opt
