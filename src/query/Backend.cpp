#include "Backend.h"

#include "ConnectionString.h"
#include "QtSqlBackend.h"
#include "SqliteBackend.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>

#include <stdexcept>

namespace velmora {

namespace {

[[noreturn]] void raise(const QString& text) {
    throw std::runtime_error(text.toStdString());
}

enum class Provider { SQLite, PostgreSQL, Odbc };

bool providerIs(const QString& provider, const char* name) {
    // "PostgreSQL.1" and the like carry a version after the name.
    return provider.compare(QLatin1String(name), Qt::CaseInsensitive) == 0 ||
           provider.startsWith(QLatin1String(name) + QLatin1Char('.'), Qt::CaseInsensitive);
}

Provider providerOf(const ConnectionString& cs, const QString& text) {
    const QString provider = cs.value(QStringLiteral("Provider"));
    if (provider.isEmpty()) {
        if (cs.contains(QStringLiteral("Driver")) || cs.contains(QStringLiteral("DSN")))
            return Provider::Odbc;
        raise(QStringLiteral("The connection string \"%1\" names no provider (Provider=SQLite, "
                             "Provider=PostgreSQL, or an ODBC Driver= or DSN=)")
                  .arg(fnMaskPassword(text)));
    }
    if (providerIs(provider, "SQLite") || providerIs(provider, "SQLite3"))
        return Provider::SQLite;
    if (providerIs(provider, "PostgreSQL") || providerIs(provider, "PGSQL"))
        return Provider::PostgreSQL;
    if (providerIs(provider, "MSDASQL"))
        return Provider::Odbc;
    raise(QStringLiteral("The provider \"%1\" is not supported (use SQLite, PostgreSQL or MSDASQL)")
              .arg(provider));
}

QString userOf(const ConnectionString& cs) {
    return cs.value({"User ID", "UID", "User", "User Name", "Username"});
}

QString passwordOf(const ConnectionString& cs) {
    return cs.value({"Password", "PWD"});
}

int timeoutOf(const ConnectionString& cs) {
    const QString t = cs.value({"Connect Timeout", "Connection Timeout", "Timeout"});
    bool ok = false;
    const int seconds = t.toInt(&ok);
    return ok && seconds >= 0 ? seconds : 15;
}

QString odbcValue(const QString& v) {
    // Values holding ";" or braces must be braced; a "}" inside is doubled.
    if (!v.contains(QLatin1Char(';')) && !v.contains(QLatin1Char('{')) &&
        !v.contains(QLatin1Char('}')) && v.trimmed() == v)
        return v;
    QString escaped = v;
    escaped.replace(QLatin1Char('}'), QLatin1String("}}"));
    return QLatin1Char('{') + escaped + QLatin1Char('}');
}

// The ODBC part of the string, passed on as written; only the ADO-level items are left out, and
// the login box's answer replaces the user name and password.
QString odbcString(const ConnectionString& cs, const std::optional<Credentials>& login) {
    QStringList items;
    QString dsnItem;
    for (const ConnectionString::Item& item : cs.items()) {
        const QString key = item.key;
        auto is = [&](const char* k) {
            return key.compare(QLatin1String(k), Qt::CaseInsensitive) == 0;
        };
        if (is("Provider") || is("Persist Security Info") || is("Extended Properties"))
            continue;
        if (is("User ID") || is("Password")) {
            if (!login)
                items.append((is("User ID") ? QStringLiteral("UID=") : QStringLiteral("PWD=")) +
                             odbcValue(item.value));
            continue;
        }
        if (login && (is("UID") || is("PWD")))
            continue;
        if (is("DSN"))
            dsnItem = item.raw;
        else
            items.append(item.raw);
    }
    const QString extended = cs.value(QStringLiteral("Extended Properties"));
    if (!extended.isEmpty())
        items.append(extended);
    if (login) {
        items.append(QStringLiteral("UID=") + odbcValue(login->user));
        items.append(QStringLiteral("PWD=") + odbcValue(login->password));
    }
    if (!dsnItem.isEmpty())
        items.prepend(dsnItem);
    return items.join(QLatin1Char(';'));
}

// The SQLite ODBC driver creates a missing database file without a word; refuse it first.
void checkOdbcSqliteFile(const ConnectionString& cs) {
    if (!cs.value(QStringLiteral("Driver")).contains(QLatin1String("sqlite"), Qt::CaseInsensitive))
        return;
    const QString file = cs.value({"Database", "Data Source"});
    if (file.isEmpty() || file == QLatin1String(":memory:"))
        return;
    const QFileInfo info(QDir::current(), file);
    if (!info.exists())
        raise(QStringLiteral("SQLite database not found: %1").arg(info.absoluteFilePath()));
}

} // namespace

QString fnConnectionUser(const QString& connectionString) {
    try {
        return userOf(ConnectionString::parse(connectionString));
    } catch (const std::runtime_error&) {
        return {};
    }
}

void fnRaiseNoResultSet(const QString& queryName) {
    raise(queryName + QStringLiteral(": CommandText does not return a result set"));
}

bool fnIsAuthenticationFailure(const QString& text) {
    static const char* const patterns[] = {"password authentication failed for user",
                                           "no password supplied", "Access denied for user",
                                           "Login failed for user", "authentication failed"};
    for (const char* p : patterns)
        if (text.contains(QLatin1String(p), Qt::CaseInsensitive))
            return true;
    return false;
}

QString fnLoginFailedMessage(const QString& user, const QString& driverText) {
    return QStringLiteral("Login failed for user \"%1\": %2").arg(user, driverText);
}

std::unique_ptr<Backend> fnOpenBackend(const QString& text, const std::optional<Credentials>& login,
                                       const QString& sessionName) {
    const ConnectionString cs = ConnectionString::parse(text);
    switch (providerOf(cs, text)) {
    case Provider::SQLite:
        return std::make_unique<SqliteBackend>(cs.value({"Data Source", "Database"}));
    case Provider::PostgreSQL: {
        const QString user = login ? login->user : userOf(cs);
        const QString password = login ? login->password : passwordOf(cs);
        const QString portText = cs.value(QStringLiteral("Port"));
        bool ok = true;
        const int port = portText.isEmpty() ? 5432 : portText.toInt(&ok);
        if (!ok || port <= 0 || port > 65535)
            raise(QStringLiteral("Invalid port \"%1\" in the connection string").arg(portText));
        const QString host = cs.value({"Host", "Server", "Data Source"});
        const QString database = cs.value({"Database", "Initial Catalog"});
        const int timeout = timeoutOf(cs);
        return std::make_unique<QtSqlBackend>(
            QtSqlBackend::Kind::PostgreSQL, sessionName, user, [&](QSqlDatabase& db) {
                db.setHostName(host);
                db.setPort(port);
                db.setDatabaseName(database);
                db.setUserName(user);
                db.setPassword(password);
                if (timeout > 0)
                    db.setConnectOptions(QStringLiteral("connect_timeout=%1").arg(timeout));
            });
    }
    case Provider::Odbc: {
        checkOdbcSqliteFile(cs);
        QString odbc = odbcString(cs, login);
        // Qt's ODBC driver reads a string without DRIVER= or SERVER= as a data source name and
        // puts "DSN=" before it itself.
        if (!odbc.contains(QLatin1String("DRIVER="), Qt::CaseInsensitive) &&
            !odbc.contains(QLatin1String("SERVER="), Qt::CaseInsensitive) &&
            odbc.startsWith(QLatin1String("DSN="), Qt::CaseInsensitive))
            odbc = odbc.mid(4);
        const QString user = login ? login->user : userOf(cs);
        const int timeout = timeoutOf(cs);
        return std::make_unique<QtSqlBackend>(
            QtSqlBackend::Kind::Odbc, sessionName, user, [&](QSqlDatabase& db) {
                db.setDatabaseName(odbc);
                if (timeout > 0)
                    db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1").arg(timeout));
            });
    }
    }
    raise(QStringLiteral("Unknown provider"));
}

} // namespace velmora
