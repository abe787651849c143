#include "DelimitedWriter.h"

namespace velmora {

DelimitedWriter::DelimitedWriter(OutputFile& out, const QString& delimiter, const QLocale& locale)
    : out_(out)
    , encoder_(delimiter)
    , text_(locale) {}

void DelimitedWriter::writeHeader(const Dataset& dataset) {
    line_.clear();
    for (int col = 0; col < dataset.fieldCount(); ++col) {
        if (col > 0)
            line_ += encoder_.delimiter();
        encoder_.append(line_, dataset.field(col).name.toStdString());
    }
    line_ += "\r\n";
    out_.write(line_);
}

void DelimitedWriter::writeRecord(const ResultSet& rows, std::int64_t row) {
    line_.clear();
    const int n = rows.fieldCount();
    for (int col = 0; col < n; ++col) {
        if (col > 0)
            line_ += encoder_.delimiter();
        const std::size_t begin = line_.size();
        text_.append(line_, rows, row, col);
        if (!plain_[std::size_t(rows.field(col).kind)])
            encoder_.encodeTail(line_, begin);
    }
    line_ += "\r\n";
    out_.write(line_);
}

void DelimitedWriter::writeRecords(Dataset& dataset, std::int64_t& rowsWritten) {
    dataset.first();
    while (!dataset.eof()) {
        writeRecord(dataset.rows(), dataset.currentRow());
        ++rowsWritten;
        dataset.next();
    }
}

} // namespace velmora
