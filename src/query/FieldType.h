#pragma once

#include <QString>

namespace velmora {

// Field data types, named as the result set reports them to the grid, the writers and the
// spreadsheet export. Each backend's column types map onto these.
enum class FieldType {
    ftUnknown,
    ftString,
    ftSmallint,
    ftInteger,
    ftWord,
    ftBoolean,
    ftFloat,
    ftCurrency,
    ftBCD,
    ftDate,
    ftTime,
    ftDateTime,
    ftBytes,
    ftVarBytes,
    ftAutoInc,
    ftBlob,
    ftMemo,
    ftGraphic,
    ftFmtMemo,
    ftFixedChar,
    ftWideString,
    ftLargeint,
    ftVariant,
    ftGuid,
    ftTimeStamp,
    ftFMTBcd,
    ftFixedWideChar,
    ftWideMemo,
    ftOraTimeStamp,
    ftOraInterval,
    ftOraClob,
    ftOraBlob,
};

QString fieldTypeName(FieldType type);

// How a column's values are stored in the result set.
enum class ColumnKind {
    Int64,   // integers of any width, booleans kept apart below
    Double,  // floating point
    Decimal, // exact decimal: digits kept as text, a double alongside for "as number"
    Bool,
    Date,     // days since 1970-01-01 in the int64 slot
    Time,     // milliseconds since midnight in the int64 slot
    DateTime, // milliseconds since 1970-01-01T00:00 local wall-clock (no zone) in the int64 slot
    Text,     // UTF-8 in the arena
    Bytes,    // raw bytes in the arena
};

} // namespace velmora
