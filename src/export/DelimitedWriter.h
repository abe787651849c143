#pragma once

#include "CellText.h"
#include "FieldEncoder.h"
#include "OutputFile.h"
#include "query/Dataset.h"

#include <QLocale>
#include <QString>

#include <array>

#include <cstdint>
#include <string>

namespace velmora {

// Writes records as delimited lines: fields in field order joined by the delimiter, each field
// encoded by FieldEncoder, every line ending in CR LF, UTF-8 without a byte-order mark.
class DelimitedWriter {
public:
    DelimitedWriter(OutputFile& out, const QString& delimiter, const QLocale& locale);

    // The column names, encoded like values so that a name holding the delimiter stays one field.
    void writeHeader(const Dataset& dataset);
    void writeRecord(const ResultSet& rows, std::int64_t row);
    // From the first record to the end of data, leaving the dataset at its end. rowsWritten
    // counts the lines as they are written, so it is right also when a write fails halfway.
    void writeRecords(Dataset& dataset, std::int64_t& rowsWritten);

private:
    OutputFile& out_;
    FieldEncoder encoder_;
    CellText text_;
    std::string line_;
    // Per column kind: its texts can never need quotes under this delimiter (numbers and
    // booleans under the usual delimiters), so the scan is skipped.
    std::array<bool, 16> plain_{};
};

} // namespace velmora
