#include "GlobalVar.h"

namespace velmora {

QString fnGetVersionText() {
    // The build number is left out: major.minor.release, each without leading zeros.
    return QStringLiteral(" Ver %1.%2.%3.")
        .arg(VELMORA_VERSION_MAJOR)
        .arg(VELMORA_VERSION_MINOR)
        .arg(VELMORA_VERSION_PATCH);
}

QString OptionsKey(const SessionState& state) {
    return QStringLiteral("SOFTWARE\\") + state.RegistryProductKey + QStringLiteral("\\Options");
}

bool fnIsStrInteger(const QString& text, int* value) {
    // Optional leading blanks, an optional sign, then decimal digits, or a hexadecimal number
    // after "$", "x" or "0x"; the whole text must convert to a 32-bit signed integer.
    int i = 0;
    const int n = text.size();
    while (i < n && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    int base = 10;
    if (i < n && text[i] == QLatin1Char('$')) {
        base = 16;
        ++i;
    } else if (i < n && (text[i] == QLatin1Char('x') || text[i] == QLatin1Char('X'))) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == QLatin1Char('0') &&
               (text[i + 1] == QLatin1Char('x') || text[i + 1] == QLatin1Char('X'))) {
        base = 16;
        i += 2;
    }
    if (i >= n)
        return false;
    qint64 v = 0;
    for (; i < n; ++i) {
        const int digit = QChar(text[i]).isDigit() && text[i].unicode() < 128
                              ? text[i].unicode() - '0'
                          : base == 16 && text[i].toLower() >= QLatin1Char('a') &&
                                  text[i].toLower() <= QLatin1Char('f')
                              ? text[i].toLower().unicode() - 'a' + 10
                              : -1;
        if (digit < 0)
            return false;
        v = v * base + digit;
        if (v > qint64(1) << 32)
            return false;
    }
    if (base == 16 && !negative && v <= 0xFFFFFFFFLL)
        v = qint64(qint32(quint32(v))); // hexadecimal covers the whole 32-bit pattern
    else if (negative)
        v = -v;
    if (v < INT32_MIN || v > INT32_MAX)
        return false;
    if (value)
        *value = int(v);
    return true;
}

} // namespace velmora
