#include "RelDb.h"

#include "TestEnv.h"

#include <QDir>

#include <stdexcept>

namespace velmora::test {

const char* dbName(Db db) {
    return db == Db::SQLite ? "SQLite" : "PostgreSQL";
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
