#pragma once

#include "query/ResultSet.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace velmora {

// Field values as the export reads them from the fetched rows (fetch position, column).

// The edit text: the value as text, Booleans as "True"/"False", numbers and dates in the
// user's locale; empty for null.
QString fieldEditText(const ResultSet& rows, std::int64_t row, int column);
// The value as a number; nullopt for null, or for a text that reads as no number.
std::optional<double> fieldNumber(const ResultSet& rows, std::int64_t row, int column);
// The value as a spreadsheet date-time (days since 1899-12-30); 0 for null.
double fieldDateSerial(const ResultSet& rows, std::int64_t row, int column);

// The groups of field types the export treats alike.
bool isExportedType(FieldType t);
bool isMemoType(FieldType t);
bool isNumberValueType(FieldType t); // sent as numbers
bool isDateValueType(FieldType t);   // sent as date-times
bool isNumericField(FieldType t);    // numeric fields for the number formats
bool isFloatLike(FieldType t);

} // namespace velmora
