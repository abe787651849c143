#include "DecimalText.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace velmora {

bool fnIsDecimalLiteral(std::string_view t) {
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '-' || t[i] == '+'))
        ++i;
    bool digits = false, point = false;
    for (; i < t.size(); ++i) {
        if (t[i] >= '0' && t[i] <= '9')
            digits = true;
        else if (t[i] == '.' && !point)
            point = true;
        else
            return false;
    }
    return digits;
}

std::string fnDoubleAsDecimal(double value, int scale) {
    if (!std::isfinite(value))
        return {};
    char buf[512];
    if (scale >= 0) {
        const int n = std::snprintf(buf, sizeof buf, "%.*f", scale > 60 ? 60 : scale, value);
        return std::string(buf, std::size_t(n));
    }
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    return std::string(buf, r.ptr);
}

} // namespace velmora
