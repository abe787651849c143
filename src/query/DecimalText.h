#pragma once

#include <string>
#include <string_view>

namespace velmora {

// A plain decimal literal: an optional sign, digits, optionally a point and more digits (at least
// one digit in all). What the result set keeps as a decimal's exact digits.
bool fnIsDecimalLiteral(std::string_view text);

// The exact text of a floating-point value shown with `scale` decimals (scale < 0: the shortest
// text that reads back as the same double, never in exponent form).
std::string fnDoubleAsDecimal(double value, int scale);

} // namespace velmora
