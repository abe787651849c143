#pragma once

#include "DateTimePattern.h"
#include "query/ResultSet.h"

#include <QLocale>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

// The text of a field value in the user's locale, as UTF-8, appended to a line:
// - NULL: empty;
// - texts as stored; bytes one character per byte (Latin-1), so the output stays valid UTF-8;
// - integers: decimal digits, "-" when negative, no grouping;
// - floating point: at most 15 significant digits, no trailing zeros, the locale decimal
//   separator only when there is a fraction, no grouping; "1.5E20" / "1E-6" form when the
//   integer part has more than 15 digits or the magnitude is below 0.00001;
// - exact decimals: their digits as the database gave them, with the locale decimal separator;
// - booleans: "True" / "False";
// - date-times: the locale short date (four-digit year), a blank and the locale long time (no
//   zone); the time is left out at exactly midnight and the date on the zero day 1899-12-30.
//   Date columns give the date, time columns the time.
// Everything locale-bound is taken once, at construction.
class CellText {
public:
    explicit CellText(const QLocale& locale);

    void append(std::string& out, const ResultSet& rows, std::int64_t row, int col) const;

    void appendInt(std::string& out, std::int64_t v) const;
    void appendDouble(std::string& out, double v) const;
    void appendDecimal(std::string& out, std::string_view digits) const;
    void appendBool(std::string& out, bool v) const;
    void appendBytes(std::string& out, std::string_view bytes) const;
    void appendDate(std::string& out, std::int64_t daysSince1970) const;
    void appendTime(std::string& out, std::int64_t msSinceMidnight) const;
    void appendDateTime(std::string& out, std::int64_t msSince1970) const;

    QString text(const QVariant& value) const;
    const std::string& decimalSeparator() const { return decimalSeparator_; }

private:
    std::string decimalSeparator_;
    DateTimePattern date_;
    DateTimePattern time_;
};

// The text of one field value; a null value gives the empty string.
QString fnVariantToText(const QVariant& value);
// The same for one cell of a result set; unlike a QVariant, the cell knows that an exact decimal
// is a number, so it gets the locale decimal separator.
QString fnVariantToText(const ResultSet& rows, std::int64_t row, int col);

} // namespace velmora
