#pragma once

#include <QChar>
#include <QString>

#include <optional>

namespace velmora::xl {

// The separators and currency symbol a format in the user's notation is written with.
struct FormatNotation {
    QChar decimal = QLatin1Char('.');
    QChar thousand = QLatin1Char(',');
    QString currencySymbol;
};

// The user's notation from the user locale.
FormatNotation userNotation();

// Turns a number format written in the user's notation (the locale's separators, the locale's
// currency symbol unquoted, "AMPM" for the 12-hour marker) into the files' own notation ("." and
// "," separators, quoted literals, "AM/PM"). Nullopt when a spreadsheet would refuse the format:
// unbalanced quotes or brackets, more than four sections, a dangling escape, or letters that are
// no format code.
std::optional<QString> fileNumberFormat(const QString& format, const FormatNotation& notation);

// True when a format in the file notation shows dates or times.
bool isDateTimeFormat(const QString& code);

} // namespace velmora::xl
