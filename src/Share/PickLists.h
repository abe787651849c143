#pragma once

#include "params/PickListSource.h"
#include "query/Tdm1.h"

namespace velmora {

// The SQL pick lists of the parameter dialog, run on the query ADOQry1 that also runs the main
// statement: a result still shown from the last execution is closed and does not come back.
class PickLists final : public PickListSource {
public:
    explicit PickLists(Query& query)
        : query_(query) {}
    QStringList fetch(const QString& sql) override;

private:
    Query& query_;
};

} // namespace velmora
