#pragma once

#include "DbTestSupport.h"
#include "query/Tdm1.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace velmora::test {

// The databases the reliability tests run statements on: a fresh SQLite file, and the
// PostgreSQL server of tests/services.sh when its variables are set.
enum class Db { SQLite, PostgreSQL };
const char* dbName(Db db);

// The connection string of the PostgreSQL server of the test services, with this password.
std::optional<QString> pgConnectionString(const QString& password);
QString pgPassword();

// A SQLite database made by running script; the file lives in a fresh folder.
QString makeSqliteFile(const QString& name, const char* script);

// Runs a statement that returns no rows (the data layer's no-result-set error is expected).
void executeScript(Tdm1& dm, const QString& sql);

// Runs a query and returns every row as texts (NULL as a null QString).
std::vector<QStringList> fetchAll(Tdm1& dm, const QString& sql);

} // namespace velmora::test
