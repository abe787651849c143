#pragma once

// Result sets built by hand for the export tests.

#include "query/ResultSet.h"

#include <QString>

#include <functional>
#include <vector>

namespace velmora::test {

FieldInfo fieldOf(const QString& name, FieldType type, ColumnKind kind,
                  const QString& displayFormat = {}, bool visible = true);

// Rows 0..rows-1, each filled by the callback after the columns are declared.
ResultSet buildRows(const std::vector<FieldInfo>& fields, int rows,
                    const std::function<void(ResultSet&, int row)>& fill);

// "id" (ftInteger), "name" (ftString), "amount" (ftFloat), one row per record, values from the
// row number.
ResultSet numberedRows(int rows);

} // namespace velmora::test
