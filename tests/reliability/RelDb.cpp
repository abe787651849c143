#include "RelDb.h"

#include "TestEnv.h"

#include <QDir>

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
