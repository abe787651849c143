#include "ConnectionWorker.h"

#include <algorithm>
#include <stdexcept>

namespace velmora {

Query::Query(QString componentName, Connection& connection, QObject* parent)
    : Dataset(std::move(componentName), parent)
    , connection_(connection) {
    connection_.worker().datasets.push_back(this);
}

Query::~Query() {
    auto& list = connection_.worker().datasets;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void Query::setSql(const QString& text) {
    sql_ = text;
}

QString Query::sql() const {
    return sql_;
}

void Query::openQuery() {
    close();
    Connection::Worker& worker = connection_.worker();
    if (!worker.connected || !worker.backend)
        throw std::runtime_error(name().toStdString() + ": Connection is not open");
    const QString sql = sql_;
    const QString queryName = name();
    ResultSet rows;
    worker.run([&worker, &rows, sql, queryName] {
        if (!worker.backend)
            throw std::runtime_error(queryName.toStdString() + ": Connection is not open");
        rows = worker.backend->execute(sql, queryName);
    });
    open(std::move(rows));
}

} // namespace velmora
