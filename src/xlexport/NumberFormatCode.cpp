#include "NumberFormatCode.h"

#include "platform/UserLocale.h"

#include <algorithm>

namespace velmora::xl {

FormatNotation userNotation() {
    return {localeDecimalSeparator(), localeThousandSeparator(), localeCurrencySymbol()};
}

namespace {

bool isPlaceholder(QChar c) {
    return c == QLatin1Char('0') || c == QLatin1Char('#') || c == QLatin1Char('?');
}

bool isDateLetter(QChar c) {
    const QChar l = c.toLower();
    return l == QLatin1Char('y') || l == QLatin1Char('m') || l == QLatin1Char('d') ||
           l == QLatin1Char('h') || l == QLatin1Char('s');
}

bool startsWithNoCase(const QString& text, int at, QLatin1StringView word) {
    return QStringView(text).mid(at, word.size()).compare(word, Qt::CaseInsensitive) == 0;
}

// Unquoted characters of a format, with the positions of quoted and escaped parts masked, so
// that the rules below look at format codes only.
struct Scan {
    QString code; // the text with literal parts replaced by '\x01'
    bool ok = true;
};

Scan scan(const QString& f) {
    Scan s;
    s.code.reserve(f.size());
    for (int i = 0; i < f.size(); ++i) {
        const QChar c = f[i];
        if (c == QLatin1Char('"')) {
            const int end = f.indexOf(QLatin1Char('"'), i + 1);
            if (end < 0) {
                s.ok = false;
                return s;
            }
            s.code += QString(end - i + 1, QChar(1));
            i = end;
        } else if (c == QLatin1Char('\\') || c == QLatin1Char('_') || c == QLatin1Char('*')) {
            if (i + 1 >= f.size()) {
                s.ok = false;
                return s;
            }
            s.code += QString(2, QChar(1));
            ++i;
        } else if (c == QLatin1Char('[')) {
            const int end = f.indexOf(QLatin1Char(']'), i + 1);
            if (end < 0) {
                s.ok = false;
                return s;
            }
            // [h], [mm], [ss] are elapsed-time codes; colours and conditions are no codes.
            const QString inside = f.mid(i + 1, end - i - 1).toLower();
            const bool elapsed = !inside.isEmpty() && inside.count(inside[0]) == inside.size() &&
                                 (inside[0] == QLatin1Char('h') || inside[0] == QLatin1Char('m') ||
                                  inside[0] == QLatin1Char('s'));
            s.code +=
                elapsed ? QString(end - i + 1, QLatin1Char('h')) : QString(end - i + 1, QChar(1));
            i = end;
        } else if (c == QLatin1Char(']')) {
            s.ok = false;
            return s;
        } else {
            s.code += c;
        }
    }
    return s;
}

bool codesAreDateTime(const QString& code) {
    for (int i = 0; i < code.size(); ++i) {
        if (startsWithNoCase(code, i, QLatin1StringView("general"))) {
            i += 6;
            continue;
        }
        if (isDateLetter(code[i]))
            return true;
    }
    return false;
}

// Letters allowed outside quotes: the date and time codes, "AM/PM", "A/P", "General", and the
// exponent "E+"/"E-".
bool lettersAreCodes(const QString& code, bool dateTime) {
    for (int i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (!c.isLetter())
            continue;
        if (startsWithNoCase(code, i, QLatin1StringView("general"))) {
            i += 6;
            continue;
        }
        if (startsWithNoCase(code, i, QLatin1StringView("am/pm"))) {
            i += 4;
            continue;
        }
        if (startsWithNoCase(code, i, QLatin1StringView("a/p"))) {
            i += 2;
            continue;
        }
        if (dateTime && isDateLetter(c))
            continue;
        if (!dateTime && (c == QLatin1Char('E') || c == QLatin1Char('e')) && i + 1 < code.size() &&
            (code[i + 1] == QLatin1Char('+') || code[i + 1] == QLatin1Char('-')))
            continue;
        return false;
    }
    return true;
}

QString quoteCurrency(const QString& f, const QString& symbol) {
    const bool hasLetters =
        std::any_of(symbol.begin(), symbol.end(), [](QChar c) { return c.isLetter(); });
    if (symbol.isEmpty() || !hasLetters)
        return f;
    QString out;
    bool quoted = false;
    for (int i = 0; i < f.size(); ++i) {
        if (f[i] == QLatin1Char('"'))
            quoted = !quoted;
        if (!quoted && QStringView(f).mid(i).startsWith(symbol)) {
            out += QLatin1Char('"') + symbol + QLatin1Char('"');
            i += static_cast<int>(symbol.size()) - 1;
            continue;
        }
        out += f[i];
    }
    return out;
}

} // namespace

bool isDateTimeFormat(const QString& code) {
    const Scan s = scan(code);
    return s.ok && codesAreDateTime(s.code);
}

std::optional<QString> fileNumberFormat(const QString& format, const FormatNotation& notation) {
    if (format.isEmpty() || format.compare(QLatin1StringView("General"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("General");
    QString f = quoteCurrency(format, notation.currencySymbol);
    Scan s = scan(f);
    if (!s.ok)
        return std::nullopt;
    if (s.code.count(QLatin1Char(';')) > 3)
        return std::nullopt;
    const bool dateTime = codesAreDateTime(s.code);
    if (dateTime) {
        // The 12-hour marker of the display formats.
        for (int i = 0; i + 4 <= s.code.size(); ++i) {
            if (startsWithNoCase(s.code, i, QLatin1StringView("ampm"))) {
                f.replace(i, 4, QStringLiteral("AM/PM"));
                s.code.replace(i, 4, QStringLiteral("AM/PM"));
            }
        }
    } else {
        // The locale's separators count where they stand next to digit placeholders; elsewhere
        // (a space after the number, a full stop in a literal) they are literal characters.
        const QString code = s.code;
        for (int i = 0; i < code.size(); ++i) {
            const QChar c = code[i];
            const bool before = i > 0 && isPlaceholder(code[i - 1]);
            const bool after = i + 1 < code.size() && isPlaceholder(code[i + 1]);
            if (c == notation.decimal && (before || after))
                f[i] = QLatin1Char('.');
            else if (c == notation.thousand && before && (after || notation.thousand == ','))
                f[i] = QLatin1Char(',');
        }
    }
    if (!lettersAreCodes(s.code, dateTime))
        return std::nullopt;
    return f;
}

} // namespace velmora::xl
