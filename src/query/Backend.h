#pragma once

#include "ResultSet.h"
#include "Tdm1.h"

#include <QString>

#include <memory>
#include <optional>

namespace velmora {

// One open database session of a Connection. Created, used and destroyed on the database thread
// only. Every failure raises std::runtime_error carrying the driver's message.
class Backend {
public:
    virtual ~Backend() = default;
    // Runs the statement text and fetches every row of its result. A text whose statements
    // return no row set raises "<queryName>: CommandText does not return a result set".
    virtual ResultSet execute(const QString& sql, const QString& queryName) = 0;
};

// Chooses the driver from the connection string and connects. `login` replaces the user name and
// password of the string; `sessionName` is unique per session (Qt SQL connection name).
std::unique_ptr<Backend> fnOpenBackend(const QString& connectionString,
                                       const std::optional<Credentials>& login,
                                       const QString& sessionName);

// The user name the connection string gives, for the login box.
QString fnConnectionUser(const QString& connectionString);

// The no-row-set error of a query.
[[noreturn]] void fnRaiseNoResultSet(const QString& queryName);

// An authentication failure's message as every backend reports it: "Login failed for user",
// the user, then the driver's own text.
bool fnIsAuthenticationFailure(const QString& driverText);
QString fnLoginFailedMessage(const QString& user, const QString& driverText);

} // namespace velmora
