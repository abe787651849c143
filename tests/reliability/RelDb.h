#pragma once

#include "DbTestSupport.h"
#include "query/Tdm1.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace velmora::test {

// The databases the reliability tests run statements on: a fresh SQLite file, and the
// PostgreSQL server of tests/services.sh when its variables are set (pgServer()).
enum class Db { SQLite, PostgreSQL };
const char* dbName(Db db);

// Runs a query and returns every row as texts (NULL as a null QString).
std::vector<QStringList> fetchAll(Tdm1& dm, const QString& sql);

} // namespace velmora::test
