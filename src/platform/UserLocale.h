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

} // namespace velmora
