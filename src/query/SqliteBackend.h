#pragma once

#include "Backend.h"

struct sqlite3;

namespace velmora {

// SQLite through its C API: rows are read with sqlite3_step/sqlite3_column_* straight into the
// result set's column arrays (the hot path of every export). The database file must exist; it is
// never created.
class SqliteBackend : public Backend {
public:
    explicit SqliteBackend(const QString& path);
    ~SqliteBackend() override;
    ResultSet execute(const QString& sql, const QString& queryName) override;

private:
    sqlite3* db_ = nullptr;
};

} // namespace velmora
