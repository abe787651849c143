#include "DbTestSupport.h"

#include <QDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <stdexcept>

namespace velmora::test {

QString makeSqliteDb(const QString& dir, const QString& name, const char* script) {
    const QString path = QDir(dir).filePath(name);
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK)
        throw std::runtime_error("cannot create " + path.toStdString());
    char* error = nullptr;
    const int rc = sqlite3_exec(db, script, nullptr, nullptr, &error);
    const std::string message = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    if (rc != SQLITE_OK)
        throw std::runtime_error("script failed: " + message);
    return path;
}

QString PgServer::connectionString(const QString& pw) const {
    return QStringLiteral("Provider=PostgreSQL;Host=%1;Port=%2;Database=%3;User ID=%4;Password=%5")
        .arg(host)
        .arg(port)
        .arg(database, user, pw);
}

std::optional<PgServer> pgServer() {
    if (!qEnvironmentVariableIsSet("VELMORA_TEST_PG_PORT"))
        return std::nullopt;
    PgServer s;
    s.host = qEnvironmentVariable("VELMORA_TEST_PG_HOST", QStringLiteral("127.0.0.1"));
    s.port = qEnvironmentVariableIntValue("VELMORA_TEST_PG_PORT");
    s.database = qEnvironmentVariable("VELMORA_TEST_PG_DB");
    s.user = qEnvironmentVariable("VELMORA_TEST_PG_USER");
    s.password = qEnvironmentVariable("VELMORA_TEST_PG_PASSWORD");
    return s;
}

void execute(Tdm1& dm, const QString& sql) {
    dm.ADOQry1.setSql(sql);
    try {
        dm.ADOQry1.openQuery();
    } catch (const std::runtime_error& e) {
        if (std::string(e.what()) != "ADOQry1: CommandText does not return a result set")
            throw;
        return;
    }
    dm.ADOQry1.close();
}

} // namespace velmora::test
