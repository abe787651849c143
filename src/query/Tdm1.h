#pragma once

#include "Dataset.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace velmora {

struct Credentials {
    QString user;
    QString password;
};

// The connection ADOConn1. It lives on the database thread: open, execute and fetch run there
// while the calling (user-interface) thread waits in a local event loop, so windows keep painting.
// Every failure raises std::runtime_error carrying the driver's message; an authentication
// failure of any backend raises a message beginning "Login failed for user".
class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void setConnectionString(const QString& text);
    QString connectionString() const;
    void open(); // waits until the attempt ends; raises on failure
    bool connected() const;
    void close(); // also closes the open result of every query on it

    // When set, open() first asks for user name (filled from the connection string) and password
    // through loginPrompt; no answer (Cancel) makes the open fail.
    bool loginPromptEnabled = false;
    std::function<std::optional<Credentials>(const QString& user)> loginPrompt;

    struct Worker;
    Worker& worker(); // for Query
private:
    std::unique_ptr<Worker> w;
};

// The query ADOQry1: runs its statement on the connection and fetches every row client-side.
class Query : public Dataset {
    Q_OBJECT
public:
    Query(QString componentName, Connection& connection, QObject* parent = nullptr);
    ~Query() override;
    void setSql(const QString& text);
    QString sql() const;
    // Runs the statement and fetches all rows. A statement without a row set raises exactly
    // "ADOQry1: CommandText does not return a result set" (with this query's name).
    void openQuery();

private:
    Connection& connection_;
    QString sql_;
};

// Binds the query to the result grid.
struct DataSource {
    Dataset* dataset = nullptr;
};

// The data module: connection, query and data source, created once at start-up.
class Tdm1 {
public:
    Tdm1();
    Connection ADOConn1;
    Query ADOQry1;
    DataSource DataSource1;
};

} // namespace velmora
