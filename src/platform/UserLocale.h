#pragma once

#include <QLocale>
#include <QString>

namespace velmora {

// The user's regional settings. Everything reads QLocale() (the system locale unless a test has
// set a default), so a test can fix the locale with QLocale::setDefault.
QLocale userLocale();
QChar localeDecimalSeparator();
QChar localeThousandSeparator();
// The character between hours and minutes in the locale's time format (":" in most).
QString localeTimeSeparator();
QString localeDateSeparator();

// Currency: the symbol, where it stands (0 symbol then number, 1 number then symbol, 2 symbol,
// space, number, 3 number, space, symbol) and the number of decimals the locale shows.
QString localeCurrencySymbol();
int localeCurrencyFormat();
int localeCurrencyDecimals();
// The short date and time patterns in the letters of the query files' display formats: d, m, y
// for dates; h, m (minutes after an hour), "AMPM" for 12-hour clocks. The time pattern holds
// hours and minutes only.
QString localeShortDatePattern();
QString localeShortTimePattern();

} // namespace velmora
