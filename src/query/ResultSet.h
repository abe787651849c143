#pragma once

#include "FieldType.h"
#include "PackedInts.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <QVariant>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// What the grid, the writers and the export engine know of one column.
struct FieldInfo {
    QString name; // column name as the database reports it; also the display name
    FieldType type = FieldType::ftUnknown;
    ColumnKind kind = ColumnKind::Text;
    int displayWidth = 0; // characters
    int dataSize = 0;     // bytes
    bool visible = true;
    QString displayFormat; // empty: none set
    bool hasGetText = false;
};

// A fetched result, stored by column: fixed-width arrays with a null bitmap for numbers, dates
// and booleans, one byte arena with offsets for texts and bytes. There is no object per cell.
// Rows are addressed by their fetch position; sorting is a separate permutation (see Dataset).
class ResultSet {
public:
    // Building, used by the fetchers and by tests: declare the columns, then append one value
    // per column per row, left to right; endRow() closes a row. A value of another type than the
    // column's kind is converted without loss, or the column changes kind (to text at worst).
    int addColumn(FieldInfo info);
    void appendNull(int col);
    void appendInt(int col, std::int64_t v);
    void appendDouble(int col, double v);
    void appendBool(int col, bool v);
    void appendDecimal(int col, std::string_view digits); // exact text such as "-12.50"
    void appendDate(int col, QDate d);
    void appendTime(int col, QTime t);
    void appendDateTime(int col, const QDateTime& dt);
    void appendText(int col, std::string_view utf8);
    void appendBytes(int col, std::string_view bytes);
    // Closes a row; columns that got no value in it get a NULL.
    void endRow();
    void reserveRows(std::size_t rows);
    // Changes a column's kind, converting the values appended so far (to text they keep their
    // ISO form); the fetchers use it for columns whose kind only their values tell.
    void convertColumn(int col, ColumnKind to);
    // Gives back the room the arrays grew into; the fetchers call it once all rows are in.
    void shrinkToFit();

    int fieldCount() const;
    const FieldInfo& field(int col) const;
    FieldInfo& field(int col);
    int fieldIndex(const QString& name) const; // exact name; -1 when absent
    std::int64_t rowCount() const;

    // Cell access by fetch position.
    bool isNull(std::int64_t row, int col) const;
    std::int64_t intAt(std::int64_t row, int col) const; // Int64, Bool, Date, Time, DateTime
    double doubleAt(std::int64_t row, int col) const;    // Double, Decimal (rounded), Int64
    bool boolAt(std::int64_t row, int col) const;
    std::string_view bytesAt(std::int64_t row, int col) const; // Text, Bytes, Decimal digits
    QDate dateAt(std::int64_t row, int col) const;
    QTime timeAt(std::int64_t row, int col) const;
    QDateTime dateTimeAt(std::int64_t row, int col) const; // Date gives midnight, Time the zero day
    QString textAt(std::int64_t row, int col) const;       // Text as QString (UTF-8 decoded)
    // The value as a typed variant: a null QVariant for NULL; qint64, double, bool, QDate, QTime,
    // QDateTime, QString or QByteArray otherwise. Decimal gives its exact digits as QString.
    QVariant value(std::int64_t row, int col) const;

    std::size_t memoryBytes() const; // what the stored data occupies, for the benchmark

private:
    struct Column {
        FieldInfo info;
        PackedInts ints;                  // Int64, Bool, Date, Time, DateTime
        std::vector<double> doubles;      // Double, Decimal
        PackedInts offsets;               // Text, Bytes, Decimal: begin of value i; size rows+1
        std::string arena;                // Text, Bytes, Decimal: the values back to back
        std::vector<std::uint64_t> nulls; // bitmap, one bit per row
        std::int64_t count = 0;           // values appended so far
    };
    std::string canonicalText(std::int64_t row, int col) const;
    static void pushArena(Column& c, std::string_view bytes);

    std::vector<Column> columns_;
    std::int64_t rows_ = 0;
};

} // namespace velmora
