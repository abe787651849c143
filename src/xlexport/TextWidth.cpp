#include "TextWidth.h"

#include <QList>

#include <algorithm>
#include <cmath>

namespace velmora::xl {

namespace {

constexpr double kDigitPixels = 7.0;
constexpr double kDefaultPoints = 11.0;

double charPixels(char32_t c) {
    if (c >= '0' && c <= '9')
        return kDigitPixels;
    switch (c) {
    case ' ':
        return 3;
    case 'i':
    case 'j':
    case 'l':
    case 'I':
    case '!':
    case '|':
    case '.':
    case ',':
    case ':':
    case ';':
    case '\'':
        return 3;
    case 'f':
    case 'r':
    case 't':
    case 'J':
    case '(':
    case ')':
    case '[':
    case ']':
    case '-':
    case '/':
    case '\\':
    case '"':
        return 4.5;
    case 'm':
    case 'w':
        return 11;
    case 'M':
    case 'W':
        return 13;
    case '@':
    case '%':
        return 11;
    default:
        break;
    }
    if (c >= 'a' && c <= 'z')
        return 7;
    if (c >= 'A' && c <= 'Z')
        return 8.5;
    if (c < 0x80)
        return 7;
    // East Asian wide characters take about two digits.
    if ((c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
        (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
        (c >= 0xFF00 && c <= 0xFF60) || (c >= 0x20000 && c <= 0x3FFFD))
        return 14;
    if (c >= 0x0300 && c <= 0x036F)
        return 0; // combining marks
    return 8;
}

} // namespace

double textPixels(const QString& text, double points, bool bold) {
    double px = 0;
    double line = 0;
    for (char32_t c : text.toUcs4()) {
        if (c == '\n') {
            px = std::max(px, line);
            line = 0;
            continue;
        }
        line += charPixels(c);
    }
    px = std::max(px, line);
    const double scale = (points > 0 ? points : kDefaultPoints) / kDefaultPoints;
    return px * scale * (bold ? 1.07 : 1.0);
}

double columnWidthForPixels(double pixels) {
    const double width = std::floor((pixels + 5.0) / kDigitPixels * 100.0 + 0.5) / 100.0;
    return std::min(width, 255.0);
}

} // namespace velmora::xl
