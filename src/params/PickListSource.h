#pragma once

#include <QString>
#include <QStringList>

namespace velmora {

// Where the parameter dialog gets the choices of an SQL pick list: the text of the first column
// of every row the statement returns, in row order, a NULL giving "". A failure raises
// std::runtime_error carrying the database's message.
class PickListSource {
public:
    virtual ~PickListSource() = default;
    virtual QStringList fetch(const QString& sql) = 0;
};

} // namespace velmora
