#pragma once

#include <QString>

namespace velmora {

// Whether the whole text is a number: optional blanks, an optional sign, digits with an optional
// "." and fraction (at least one digit in all), an optional exponent "E"/"e" with optional sign
// and at least one digit, optional blanks. The decimal separator is always ".", whatever the
// locale, because the text goes into SQL as it stands.
bool fnIsStrFloatNum(const QString& text);

} // namespace velmora
