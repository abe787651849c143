#pragma once

#include "Backend.h"

#include <functional>

class QSqlDatabase;

namespace velmora {

// PostgreSQL (QPSQL) and ODBC (QODBC) through Qt SQL. The QSqlDatabase connection belongs to the
// database thread that opened it; its name is unique per session.
class QtSqlBackend : public Backend {
public:
    enum class Kind { PostgreSQL, Odbc };
    // `configure` fills in the connection's settings before it opens; `user` names the login in
    // an authentication failure.
    QtSqlBackend(Kind kind, const QString& sessionName, const QString& user,
                 const std::function<void(QSqlDatabase&)>& configure);
    ~QtSqlBackend() override;
    ResultSet execute(const QString& sql, const QString& queryName) override;

private:
    Kind kind_;
    QString name_;
};

} // namespace velmora
