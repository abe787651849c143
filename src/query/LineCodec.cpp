#include "LineCodec.h"

#include <algorithm>
#include <cstdint>

namespace velmora {

bool fnCodecInteger(const QByteArray& token, int& value) {
    const qsizetype n = token.size();
    qsizetype i = 0;
    while (i < n && token[i] == ' ')
        ++i;
    bool negative = false;
    if (i < n && (token[i] == '+' || token[i] == '-')) {
        negative = token[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < n && (token[i] == '$' || token[i] == 'x' || token[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && token[i] == '0' && (token[i + 1] == 'x' || token[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= n)
        return false;
    std::int64_t v = 0;
    for (; i < n; ++i) {
        const char c = token[i];
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            return false;
        v = v * base + digit;
        if (v > (std::int64_t(1) << 32))
            return false;
    }
    if (base == 16 && v <= 0xFFFFFFFFLL)
        v = std::int32_t(std::uint32_t(v)); // the whole 32-bit pattern
    if (negative)
        v = -v;
    if (v < INT32_MIN || v > INT32_MAX)
        return false;
    value = int(v);
    return true;
}

QByteArray fnDecodeLine(const QByteArray& encoded, char separator) {
    QByteArray out;
    QByteArray token;
    std::int64_t length = 0;
    std::int64_t k = 0;
    for (const char c : encoded) {
        if (c != separator) {
            token.append(c);
            continue;
        }
        int v = 0;
        if (length == 0) {
            if (!fnCodecInteger(token, v))
                return {};
            length = std::int64_t(v) - 97;
        } else {
            ++k;
            if (k > 2 && length >= k - 2) {
                if (!fnCodecInteger(token, v))
                    return {};
                out.append(char((std::int64_t(v) - (k - 2) - length) & 0xFF));
            }
        }
        token.clear();
    }
    std::reverse(out.begin(), out.end());
    return out;
}

QByteArray fnEncodeLine(const QByteArray& plain, char separator) {
    const qsizetype length = plain.size();
    QByteArray out;
    out.reserve((length + 4) * 4);
    auto put = [&](qint64 number) {
        out.append(QByteArray::number(number));
        out.append(separator);
    };
    put(length + 97);
    put(length + 32);
    put(length + 41);
    for (qsizetype j = 1; j <= length; ++j)
        put(length + j + static_cast<unsigned char>(plain[length - j]));
    put(length + 26);
    return out;
}

} // namespace velmora
