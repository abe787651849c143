#include "ResultSet.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace velmora {

namespace {

constexpr std::int64_t kMsPerDay = 86'400'000;
constexpr std::int64_t kJulianEpoch = 2'440'588; // QDate(1970, 1, 1).toJulianDay()

bool usesInts(ColumnKind k) {
    return k == ColumnKind::Int64 || k == ColumnKind::Bool || k == ColumnKind::Date ||
           k == ColumnKind::Time || k == ColumnKind::DateTime;
}
bool usesDoubles(ColumnKind k) {
    return k == ColumnKind::Double || k == ColumnKind::Decimal;
}
bool usesArena(ColumnKind k) {
    return k == ColumnKind::Text || k == ColumnKind::Bytes || k == ColumnKind::Decimal;
}

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

std::int64_t dayNumber(QDate d) {
    return d.toJulianDay() - kJulianEpoch;
}
QDate dateOfDay(std::int64_t day) {
    return QDate::fromJulianDay(day + kJulianEpoch);
}

std::string doubleText(double v) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string intText(std::int64_t v) {
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

double decimalToDouble(std::string_view digits) {
    return std::strtod(std::string(digits).c_str(), nullptr);
}

// A whole number written without fraction or exponent that fits 64 bits.
bool parseInt64(std::string_view s, std::int64_t& out) {
    if (s.empty())
        return false;
    const char* b = s.data();
    if (*b == '+')
        ++b;
    auto r = std::from_chars(b, s.data() + s.size(), out);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

std::string timeText(std::int64_t ms) {
    const QTime t = QTime::fromMSecsSinceStartOfDay(int(ms));
    return t.toString(t.msec() ? QStringLiteral("HH:mm:ss.zzz") : QStringLiteral("HH:mm:ss"))
        .toStdString();
}

} // namespace

int ResultSet::addColumn(FieldInfo info) {
    Column c;
    c.info = std::move(info);
    if (usesArena(c.info.kind))
        c.offsets.push_back(0);
    columns_.push_back(std::move(c));
    return int(columns_.size()) - 1;
}

void ResultSet::reserveRows(std::size_t rows) {
    for (Column& c : columns_) {
        if (usesInts(c.info.kind))
            c.ints.reserve(rows);
        if (usesDoubles(c.info.kind))
            c.doubles.reserve(rows);
        if (usesArena(c.info.kind))
            c.offsets.reserve(rows + 1);
        c.nulls.reserve(rows / 64 + 1);
    }
}

namespace {

void markNull(std::vector<std::uint64_t>& nulls, std::int64_t row) {
    const std::size_t word = std::size_t(row) / 64;
    if (nulls.size() <= word)
        nulls.resize(word + 1, 0);
    nulls[word] |= std::uint64_t(1) << (row % 64);
}

} // namespace

void ResultSet::appendNull(int col) {
    Column& c = columns_[col];
    markNull(c.nulls, c.count);
    if (usesInts(c.info.kind))
        c.ints.push_back(0);
    if (usesDoubles(c.info.kind))
        c.doubles.push_back(0);
    if (usesArena(c.info.kind))
        c.offsets.push_back(std::int64_t(c.arena.size()));
    ++c.count;
}

// Values whose type differs from the column's kind are converted where nothing is lost
// (an integer into a floating-point or decimal column, a date into a date-time column); otherwise
// the column changes kind first, to text as the last resort, so that no value is dropped.
// SQLite columns in particular may hold any type in any row.
void ResultSet::convertColumn(int col, ColumnKind to) {
    Column& c = columns_[col];
    const ColumnKind from = c.info.kind;
    if (from == to)
        return;
    Column n;
    n.info = c.info;
    n.info.kind = to;
    switch (to) {
    case ColumnKind::Double:
        n.info.type = FieldType::ftFloat;
        break;
    case ColumnKind::Decimal:
        n.info.type = FieldType::ftBCD;
        break;
    case ColumnKind::DateTime:
        n.info.type = FieldType::ftDateTime;
        break;
    case ColumnKind::Bytes:
        n.info.type = FieldType::ftBlob;
        break;
    case ColumnKind::Text:
        n.info.type = c.info.type == FieldType::ftMemo || c.info.type == FieldType::ftWideMemo
                          ? c.info.type
                          : FieldType::ftString;
        break;
    default:
        break;
    }
    if (usesArena(to))
        n.offsets.push_back(0);
    n.nulls = c.nulls;
    n.count = c.count;
    for (std::int64_t r = 0; r < c.count; ++r) {
        const bool null = isNull(r, col);
        if (usesInts(to)) {
            std::int64_t v = 0;
            if (!null)
                v = from == ColumnKind::Date && to == ColumnKind::DateTime ? c.ints[r] * kMsPerDay
                                                                           : c.ints[r];
            n.ints.push_back(v);
        }
        std::string text;
        if (!null && usesArena(to))
            text = canonicalText(r, col);
        if (usesDoubles(to)) {
            double v = 0;
            if (!null)
                v = usesDoubles(from) ? c.doubles[r] : double(c.ints[r]);
            n.doubles.push_back(v);
        }
        if (usesArena(to)) {
            n.arena += text;
            n.offsets.push_back(std::int64_t(n.arena.size()));
        }
    }
    c = std::move(n);
}

std::string ResultSet::canonicalText(std::int64_t row, int col) const {
    const Column& c = columns_[col];
    switch (c.info.kind) {
    case ColumnKind::Int64:
        return intText(c.ints[row]);
    case ColumnKind::Bool:
        return c.ints[row] ? "1" : "0";
    case ColumnKind::Double:
        return doubleText(c.doubles[row]);
    case ColumnKind::Date:
        return dateOfDay(c.ints[row]).toString(Qt::ISODate).toStdString();
    case ColumnKind::Time:
        return timeText(c.ints[row]);
    case ColumnKind::DateTime: {
        const std::int64_t ms = c.ints[row];
        const std::int64_t day = floorDiv(ms, kMsPerDay);
        return dateOfDay(day).toString(Qt::ISODate).toStdString() + ' ' +
               timeText(ms - day * kMsPerDay);
    }
    case ColumnKind::Decimal:
    case ColumnKind::Text:
    case ColumnKind::Bytes:
        return std::string(bytesAt(row, col));
    }
    return {};
}

void ResultSet::pushArena(Column& c, std::string_view bytes) {
    c.arena.append(bytes.data(), bytes.size());
    c.offsets.push_back(std::int64_t(c.arena.size()));
}

void ResultSet::appendInt(int col, std::int64_t v) {
    Column& c = columns_[col];
    switch (c.info.kind) {
    case ColumnKind::Int64:
        c.ints.push_back(v);
        break;
    case ColumnKind::Bool:
        c.ints.push_back(v != 0);
        break;
    case ColumnKind::Double:
        c.doubles.push_back(double(v));
        break;
    case ColumnKind::Decimal:
        c.doubles.push_back(double(v));
        pushArena(c, intText(v));
        break;
    case ColumnKind::Text:
    case ColumnKind::Bytes:
        pushArena(c, intText(v));
        break;
    default:
        convertColumn(col, ColumnKind::Text);
        return appendInt(col, v);
    }
    ++c.count;
}

void ResultSet::appendDouble(int col, double v) {
    Column& c = columns_[col];
    switch (c.info.kind) {
    case ColumnKind::Double:
        c.doubles.push_back(v);
        break;
    case ColumnKind::Decimal:
        c.doubles.push_back(v);
        pushArena(c, doubleText(v));
        break;
    case ColumnKind::Text:
    case ColumnKind::Bytes:
        pushArena(c, doubleText(v));
        break;
    case ColumnKind::Int64:
        convertColumn(col, ColumnKind::Double);
        return appendDouble(col, v);
    default:
        convertColumn(col, ColumnKind::Text);
        return appendDouble(col, v);
    }
    ++c.count;
}

void ResultSet::appendBool(int col, bool v) {
    Column& c = columns_[col];
    switch (c.info.kind) {
    case ColumnKind::Bool:
    case ColumnKind::Int64:
        c.ints.push_back(v);
        break;
    case ColumnKind::Double:
        c.doubles.push_back(v);
        break;
    case ColumnKind::Decimal:
        c.doubles.push_back(v);
        pushArena(c, v ? "1" : "0");
        break;
    case ColumnKind::Text:
    case ColumnKind::Bytes:
        pushArena(c, v ? "1" : "0");
        break;
    default:
        convertColumn(col, ColumnKind::Text);
        return appendBool(col, v);
    }
    ++c.count;
}

void ResultSet::appendDecimal(int col, std::string_view digits) {
    Column& c = columns_[col];
    std::int64_t i = 0;
    switch (c.info.kind) {
    case ColumnKind::Decimal:
        c.doubles.push_back(decimalToDouble(digits));
        pushArena(c, digits);
        break;
    case ColumnKind::Double:
        convertColumn(col, ColumnKind::Decimal);
        return appendDecimal(col, digits);
    case ColumnKind::Int64:
        if (parseInt64(digits, i))
            return appendInt(col, i);
        convertColumn(col, ColumnKind::Decimal);
        return appendDecimal(col, digits);
    case ColumnKind::Text:
    case ColumnKind::Bytes:
        pushArena(c, digits);
        break;
    default:
        convertColumn(col, ColumnKind::Text);
        return appendDecimal(col, digits);
    }
    ++c.count;
}

void ResultSet::appendDate(int col, QDate d) {
    if (!d.isValid())
        return appendNull(col);
    Column& c = columns_[col];
    switch (c.info.kind) {
    case ColumnKind::Date:
        c.ints.push_back(dayNumber(d));
        break;
    case ColumnKind::DateTime:
        c.ints.push_back(dayNumber(d) * kMsPerDay);
        break;
    case ColumnKind::Text:
    case ColumnKind::Bytes:
        pushArena(c, d.toString(Qt::ISODate).toStdString());
        break;
    default:
        convertColumn(col, ColumnKind::Text);
        return appendDate(col, d);
    }
    ++c.count;
}

void ResultSet::appendTime(int col, QTime t) {
    if (!t.isValid())
        return appendNull(col);
    Column& c = columns_[col];
    switch (c.info.kind) {
    case ColumnKind::Time:
        c.ints.push_back(t.msecsSinceStartOfDay());
        break;
    case ColumnKind::Text:
    case ColumnKind::Bytes:
        pushArena(c, timeText(t.msecsSinceStartOfDay()));
        break;
    default:
        convertColumn(col, ColumnKind::Text);
        return appendTime(col, t);
    }
    ++c.count;
}

void ResultSet::appendDateTime(int col, const QDateTime& dt) {
    if (!dt.isValid())
        return appendNull(col);
    Column& c = columns_[col];
    const std::int64_t ms = dayNumber(dt.date()) * kMsPerDay + dt.time().msecsSinceStartOfDay();
    switch (c.info.kind) {
    case ColumnKind::DateTime:
        c.ints.push_back(ms);
        break;
    case ColumnKind::Date:
        convertColumn(col, ColumnKind::DateTime);
        return appendDateTime(col, dt);
    case ColumnKind::Text:
    case ColumnKind::Bytes:
        pushArena(c, dt.date().toString(Qt::ISODate).toStdString() + ' ' +
                         timeText(dt.time().msecsSinceStartOfDay()));
        break;
    default:
        convertColumn(col, ColumnKind::Text);
        return appendDateTime(col, dt);
    }
    ++c.count;
}

void ResultSet::appendText(int col, std::string_view utf8) {
    Column& c = columns_[col];
    if (c.info.kind != ColumnKind::Text && c.info.kind != ColumnKind::Bytes) {
        convertColumn(col, ColumnKind::Text);
        return appendText(col, utf8);
    }
    pushArena(c, utf8);
    ++c.count;
}

void ResultSet::appendBytes(int col, std::string_view bytes) {
    Column& c = columns_[col];
    if (c.info.kind != ColumnKind::Text && c.info.kind != ColumnKind::Bytes) {
        convertColumn(col, ColumnKind::Bytes);
        return appendBytes(col, bytes);
    }
    pushArena(c, bytes);
    ++c.count;
}

void ResultSet::endRow() {
    ++rows_;
    for (int col = 0; col < int(columns_.size()); ++col) {
        if (columns_[col].count > rows_)
            throw std::logic_error("ResultSet: more values than columns in a row");
        while (columns_[col].count < rows_)
            appendNull(col);
    }
}

int ResultSet::fieldCount() const {
    return int(columns_.size());
}
const FieldInfo& ResultSet::field(int col) const {
    return columns_.at(col).info;
}
FieldInfo& ResultSet::field(int col) {
    return columns_.at(col).info;
}

int ResultSet::fieldIndex(const QString& name) const {
    for (int i = 0; i < int(columns_.size()); ++i)
        if (columns_[i].info.name == name)
            return i;
    return -1;
}

std::int64_t ResultSet::rowCount() const {
    return rows_;
}

bool ResultSet::isNull(std::int64_t row, int col) const {
    const auto& nulls = columns_[col].nulls;
    const std::size_t word = std::size_t(row) / 64;
    return word < nulls.size() && (nulls[word] >> (row % 64) & 1);
}

std::int64_t ResultSet::intAt(std::int64_t row, int col) const {
    const Column& c = columns_[col];
    if (usesInts(c.info.kind))
        return c.ints[row];
    if (usesDoubles(c.info.kind))
        return std::int64_t(std::llround(c.doubles[row]));
    return 0;
}

double ResultSet::doubleAt(std::int64_t row, int col) const {
    const Column& c = columns_[col];
    if (usesDoubles(c.info.kind))
        return c.doubles[row];
    if (c.info.kind == ColumnKind::Int64 || c.info.kind == ColumnKind::Bool)
        return double(c.ints[row]);
    if (c.info.kind == ColumnKind::Text)
        return decimalToDouble(bytesAt(row, col));
    return 0;
}

bool ResultSet::boolAt(std::int64_t row, int col) const {
    const Column& c = columns_[col];
    if (usesInts(c.info.kind))
        return c.ints[row] != 0;
    if (usesDoubles(c.info.kind))
        return c.doubles[row] != 0;
    return false;
}

std::string_view ResultSet::bytesAt(std::int64_t row, int col) const {
    const Column& c = columns_[col];
    if (!usesArena(c.info.kind))
        return {};
    const auto b = std::size_t(c.offsets[std::size_t(row)]);
    return std::string_view(c.arena.data() + b, std::size_t(c.offsets[std::size_t(row) + 1]) - b);
}

QDate ResultSet::dateAt(std::int64_t row, int col) const {
    const Column& c = columns_[col];
    if (isNull(row, col))
        return {};
    if (c.info.kind == ColumnKind::Date)
        return dateOfDay(c.ints[row]);
    if (c.info.kind == ColumnKind::DateTime)
        return dateOfDay(floorDiv(c.ints[row], kMsPerDay));
    return {};
}

QTime ResultSet::timeAt(std::int64_t row, int col) const {
    const Column& c = columns_[col];
    if (isNull(row, col))
        return {};
    if (c.info.kind == ColumnKind::Time)
        return QTime::fromMSecsSinceStartOfDay(int(c.ints[row]));
    if (c.info.kind == ColumnKind::DateTime) {
        const std::int64_t ms = c.ints[row];
        return QTime::fromMSecsSinceStartOfDay(int(ms - floorDiv(ms, kMsPerDay) * kMsPerDay));
    }
    if (c.info.kind == ColumnKind::Date)
        return QTime(0, 0);
    return {};
}

QDateTime ResultSet::dateTimeAt(std::int64_t row, int col) const {
    const Column& c = columns_[col];
    if (isNull(row, col))
        return {};
    switch (c.info.kind) {
    case ColumnKind::Date:
    case ColumnKind::DateTime:
        return QDateTime(dateAt(row, col), timeAt(row, col));
    case ColumnKind::Time:
        return QDateTime(QDate(1899, 12, 30), timeAt(row, col));
    default:
        return {};
    }
}

QString ResultSet::textAt(std::int64_t row, int col) const {
    const Column& c = columns_[col];
    if (isNull(row, col))
        return {};
    if (usesArena(c.info.kind)) {
        const std::string_view b = bytesAt(row, col);
        return QString::fromUtf8(b.data(), qsizetype(b.size()));
    }
    return QString::fromStdString(canonicalText(row, col));
}

QVariant ResultSet::value(std::int64_t row, int col) const {
    if (isNull(row, col))
        return {};
    const Column& c = columns_[col];
    switch (c.info.kind) {
    case ColumnKind::Int64:
        return QVariant(qint64(c.ints[row]));
    case ColumnKind::Bool:
        return QVariant(c.ints[row] != 0);
    case ColumnKind::Double:
        return QVariant(c.doubles[row]);
    case ColumnKind::Date:
        return QVariant(dateAt(row, col));
    case ColumnKind::Time:
        return QVariant(timeAt(row, col));
    case ColumnKind::DateTime:
        return QVariant(dateTimeAt(row, col));
    case ColumnKind::Decimal:
    case ColumnKind::Text:
        return QVariant(textAt(row, col));
    case ColumnKind::Bytes: {
        const std::string_view b = bytesAt(row, col);
        return QVariant(QByteArray(b.data(), qsizetype(b.size())));
    }
    }
    return {};
}

void ResultSet::shrinkToFit() {
    for (Column& c : columns_) {
        c.ints.shrink_to_fit();
        c.doubles.shrink_to_fit();
        c.offsets.shrink_to_fit();
        c.arena.shrink_to_fit();
        c.nulls.shrink_to_fit();
    }
}

std::size_t ResultSet::memoryBytes() const {
    std::size_t total = 0;
    for (const Column& c : columns_)
        total += c.ints.bytes() + c.doubles.capacity() * sizeof(double) + c.offsets.bytes() +
                 c.arena.capacity() + c.nulls.capacity() * sizeof(std::uint64_t);
    return total;
}

} // namespace velmora
