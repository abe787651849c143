#include "RelDb.h"

#include "TestEnv.h"

#include <QDir>

#include <sqlite3.h>

#include <stdexcept>

namespace velmora::test {

const char* dbName(Db db) {
    return db == Db::SQLite ? "SQLite" : "PostgreSQL";
}

QString pgPassword() {
    return qEnvironmentVariable("VELMORA_TEST_PG_PASSWORD");
}

std::optional<QString> pgConnectionString(const QString& password) {
    if (!qEnvironmentVariableIsSet("VELMORA_TEST_PG_PORT"))
        return std::nullopt;
    return QStringLiteral("Provider=PostgreSQL;Host=%1;Port=%2;Database=%3;User ID=%4;Password=%5")
        .arg(qEnvironmentVariable("VELMORA_TEST_PG_HOST", QStringLiteral("127.0.0.1")),
             qEnvironmentVariable("VELMORA_TEST_PG_PORT"),
             qEnvironmentVariable("VELMORA_TEST_PG_DB"),
             qEnvironmentVariable("VELMORA_TEST_PG_USER"), password);
}

QString makeSqliteFile(const QString& name, const char* script) {
    const QString path = QDir(freshDir(name)).filePath(name + QStringLiteral(".db"));
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

void executeScript(Tdm1& dm, const QString& sql) {
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

std::vector<QStringList> fetchAll(Tdm1& dm, const QString& sql) {
    Query& q = dm.ADOQry1;
    q.setSql(sql);
    q.openQuery();
    std::vector<QStringList> rows;
    for (q.first(); !q.eof(); q.next()) {
        QStringList row;
        for (int c = 0; c < q.fieldCount(); ++c)
            row.append(q.isNull(c) ? QString() : q.text(c));
        rows.push_back(row);
    }
    q.close();
    return rows;
}

} // namespace velmora::test
