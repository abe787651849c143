#include "CellText.h"

#include "platform/UserLocale.h"

#include <QDateTime>

#include <charconv>
#include <cmath>

namespace velmora {

namespace {

constexpr std::int64_t kMsPerDay = 86'400'000;
// 1899-12-30, the day number 0 of the date-time values the program was first written for: a
// value on that day is a time of day without a date.
constexpr std::int64_t kZeroDay = -25'569;

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if (a % b != 0 && (a < 0) != (b < 0))
        --q;
    return q;
}

// Civil date of a day count since 1970-01-01 (proleptic Gregorian, the calendar QDate uses).
void civilFromDays(std::int64_t z, int& y, int& m, int& d) {
    z += 719'468;
    const std::int64_t era = floorDiv(z, 146'097);
    const std::int64_t doe = z - era * 146'097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36'524 - doe / 146'096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    d = int(doy - (153 * mp + 2) / 5 + 1);
    m = int(mp < 10 ? mp + 3 : mp - 9);
    y = int(yoe + era * 400 + (m <= 2 ? 1 : 0));
    // QDate has no year 0: the year before 1 is -1.
    if (y <= 0)
        --y;
}

int dayOfWeek(std::int64_t days) {
    return int((days % 7 + 7 + 3) % 7) + 1;
} // 1 Monday

std::int64_t daysOf(QDate d) {
    return d.toJulianDay() - QDate(1970, 1, 1).toJulianDay();
}

} // namespace

CellText::CellText(const QLocale& locale)
    : decimalSeparator_(locale.decimalPoint().toStdString())
    , date_(exportDatePattern(locale), locale)
    , time_(exportTimePattern(locale), locale) {
    if (decimalSeparator_.empty())
        decimalSeparator_ = ".";
}

void CellText::appendInt(std::string& out, std::int64_t v) const {
    char buf[24];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

void CellText::appendDouble(std::string& out, double v) const {
    if (std::isnan(v)) {
        out += "NAN";
        return;
    }
    if (std::isinf(v)) {
        out += v < 0 ? "-INF" : "INF";
        return;
    }
    if (v == 0) {
        out += '0';
        return;
    }
    // d.dddddddddddddde±XX: the 15 significant digits and the decimal exponent.
    char buf[40];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 14);
    std::string_view s(buf, std::size_t(r.ptr - buf));
    if (s.front() == '-') {
        out += '-';
        s.remove_prefix(1);
    }
    const std::size_t e = s.find('e');
    std::string_view expText = s.substr(e + 1);
    if (expText.front() == '+')
        expText.remove_prefix(1);
    int exp = 0;
    std::from_chars(expText.data(), expText.data() + expText.size(), exp);
    char digits[16];
    int n = 0;
    digits[n++] = s[0];
    for (std::size_t i = 2; i < e; ++i)
        digits[n++] = s[i];
    while (n > 1 && digits[n - 1] == '0')
        --n;

    if (exp >= 15 || exp < -5) {
        out += digits[0];
        if (n > 1) {
            out += decimalSeparator_;
            out.append(digits + 1, std::size_t(n - 1));
        }
        out += 'E';
        appendInt(out, exp);
    } else if (exp >= 0) {
        const int whole = exp + 1;
        for (int i = 0; i < whole; ++i)
            out += i < n ? digits[i] : '0';
        if (n > whole) {
            out += decimalSeparator_;
            out.append(digits + whole, std::size_t(n - whole));
        }
    } else {
        out += '0';
        out += decimalSeparator_;
        out.append(std::size_t(-exp - 1), '0');
        out.append(digits, std::size_t(n));
    }
}

void CellText::appendDecimal(std::string& out, std::string_view digits) const {
    const std::size_t dot = digits.find('.');
    if (dot == std::string_view::npos) {
        out.append(digits);
        return;
    }
    out.append(digits.substr(0, dot));
    out += decimalSeparator_;
    out.append(digits.substr(dot + 1));
}

void CellText::appendBool(std::string& out, bool v) const {
    out += v ? "True" : "False";
}

void CellText::appendBytes(std::string& out, std::string_view bytes) const {
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += char(c);
        } else {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        }
    }
}

void CellText::appendDate(std::string& out, std::int64_t days) const {
    int y = 0, m = 0, d = 0;
    civilFromDays(days, y, m, d);
    date_.appendDate(out, y, m, d, dayOfWeek(days));
}

void CellText::appendTime(std::string& out, std::int64_t ms) const {
    const int msec = int(ms % 1000);
    const int sec = int(ms / 1000);
    time_.appendTime(out, sec / 3600, sec / 60 % 60, sec % 60, msec);
}

void CellText::appendDateTime(std::string& out, std::int64_t ms) const {
    const std::int64_t day = floorDiv(ms, kMsPerDay);
    const std::int64_t time = ms - day * kMsPerDay;
    if (day == kZeroDay) {
        appendTime(out, time);
        return;
    }
    appendDate(out, day);
    if (time != 0) {
        out += ' ';
        appendTime(out, time);
    }
}

void CellText::append(std::string& out, const ResultSet& rows, std::int64_t row, int col) const {
    if (rows.isNull(row, col))
        return;
    switch (rows.field(col).kind) {
    case ColumnKind::Int64:
        appendInt(out, rows.intAt(row, col));
        break;
    case ColumnKind::Double:
        appendDouble(out, rows.doubleAt(row, col));
        break;
    case ColumnKind::Decimal:
        appendDecimal(out, rows.bytesAt(row, col));
        break;
    case ColumnKind::Bool:
        appendBool(out, rows.boolAt(row, col));
        break;
    case ColumnKind::Date:
        appendDate(out, rows.intAt(row, col));
        break;
    case ColumnKind::Time:
        appendTime(out, rows.intAt(row, col));
        break;
    case ColumnKind::DateTime:
        appendDateTime(out, rows.intAt(row, col));
        break;
    case ColumnKind::Text:
        out.append(rows.bytesAt(row, col));
        break;
    case ColumnKind::Bytes:
        appendBytes(out, rows.bytesAt(row, col));
        break;
    }
}

QString CellText::text(const QVariant& value) const {
    if (!value.isValid() || value.isNull())
        return {};
    std::string out;
    switch (value.typeId()) {
    case QMetaType::Bool:
        appendBool(out, value.toBool());
        break;
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
        appendInt(out, value.toLongLong());
        break;
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return QString::number(value.toULongLong());
    case QMetaType::Float:
    case QMetaType::Double:
        appendDouble(out, value.toDouble());
        break;
    case QMetaType::QDate:
        appendDate(out, daysOf(value.toDate()));
        break;
    case QMetaType::QTime:
        appendTime(out, value.toTime().msecsSinceStartOfDay());
        break;
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        appendDateTime(out, daysOf(dt.date()) * kMsPerDay + dt.time().msecsSinceStartOfDay());
        break;
    }
    case QMetaType::QByteArray:
        return QString::fromLatin1(value.toByteArray());
    default:
        return value.toString();
    }
    return QString::fromStdString(out);
}

QString fnVariantToText(const QVariant& value) {
    return CellText(userLocale()).text(value);
}

QString fnVariantToText(const ResultSet& rows, std::int64_t row, int col) {
    std::string out;
    CellText(userLocale()).append(out, rows, row, col);
    return QString::fromStdString(out);
}

} // namespace velmora
