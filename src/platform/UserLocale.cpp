#include "UserLocale.h"

#include <QRegularExpression>

#include <algorithm>

namespace velmora {

QLocale userLocale() {
    return QLocale();
}

QChar localeDecimalSeparator() {
    const QString s = userLocale().decimalPoint();
    return s.isEmpty() ? QLatin1Char('.') : s.front();
}

QChar localeThousandSeparator() {
    const QString s = userLocale().groupSeparator();
    return s.isEmpty() ? QLatin1Char(',') : s.front();
}

namespace {

// The first run of non-letter characters after the first occurrence of one of the letters.
QString separatorAfter(const QString& pattern, const QString& letters, const QString& fallback) {
    int i = 0;
    while (i < pattern.size() && !letters.contains(pattern[i]))
        ++i;
    while (i < pattern.size() && letters.contains(pattern[i]))
        ++i;
    QString sep;
    while (i < pattern.size() && !pattern[i].isLetter() && pattern[i] != QLatin1Char('\'')) {
        sep += pattern[i];
        ++i;
    }
    sep = sep.trimmed().isEmpty() ? sep : sep.trimmed();
    return sep.isEmpty() ? fallback : sep;
}

} // namespace

QString localeTimeSeparator() {
    return separatorAfter(userLocale().timeFormat(QLocale::ShortFormat), QStringLiteral("hH"),
                          QStringLiteral(":"));
}

QString localeDateSeparator() {
    return separatorAfter(userLocale().dateFormat(QLocale::ShortFormat), QStringLiteral("dMy"),
                          QStringLiteral("/"));
}

QString localeCurrencySymbol() {
    return userLocale().currencySymbol(QLocale::CurrencySymbol);
}

int localeCurrencyFormat() {
    const QLocale locale = userLocale();
    const QString symbol = locale.currencySymbol(QLocale::CurrencySymbol);
    const QString shown = locale.toCurrencyString(1.0);
    const int at = symbol.isEmpty() ? -1 : shown.indexOf(symbol);
    if (at < 0)
        return 0;
    const int digit = shown.indexOf(QRegularExpression(QStringLiteral("\\d")));
    const bool before = at < digit;
    const QString between = before ? shown.mid(at + symbol.size(), digit - at - symbol.size())
                                   : shown.mid(digit, at - digit);
    const bool spaced = std::any_of(between.begin(), between.end(), [](QChar c) {
        return c.isSpace() || c == QChar(0x00A0) || c == QChar(0x202F);
    });
    if (before)
        return spaced ? 2 : 0;
    return spaced ? 3 : 1;
}

int localeCurrencyDecimals() {
    const QLocale locale = userLocale();
    const QString shown = locale.toCurrencyString(1.0);
    const int point = shown.indexOf(locale.decimalPoint());
    if (point < 0)
        return 0;
    int n = 0;
    for (int i = point + 1; i < shown.size() && shown[i].isDigit(); ++i)
        ++n;
    return n;
}

QString localeShortDatePattern() {
    // Qt writes months as "M"; the display-format letters use "m" and read it as a month when
    // no hour stands before it.
    const QString qt = userLocale().dateFormat(QLocale::ShortFormat);
    QString out;
    bool quoted = false;
    for (QChar c : qt) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        out += (!quoted && c == QLatin1Char('M')) ? QLatin1Char('m') : c;
    }
    return out;
}

QString localeShortTimePattern() {
    const QString qt = userLocale().timeFormat(QLocale::ShortFormat);
    QString hour;
    bool twelve = false;
    bool markerFirst = false;
    bool seenHour = false;
    for (int i = 0; i < qt.size(); ++i) {
        const QChar c = qt[i];
        if (c == QLatin1Char('h') || c == QLatin1Char('H')) {
            if (!seenHour) {
                int n = 1;
                while (i + n < qt.size() && qt[i + n].toLower() == QLatin1Char('h'))
                    ++n;
                hour = n >= 2 ? QStringLiteral("hh") : QStringLiteral("h");
                twelve = twelve || c == QLatin1Char('h');
                seenHour = true;
            }
        } else if (c == QLatin1Char('a') || c == QLatin1Char('A')) {
            twelve = true;
            markerFirst = markerFirst || !seenHour;
        }
    }
    // Qt's "h" is a 12-hour clock only together with an AM/PM marker.
    twelve = twelve && (qt.contains(QLatin1Char('a')) || qt.contains(QLatin1Char('A')));
    if (hour.isEmpty())
        hour = QStringLiteral("hh");
    const QString hm = hour + localeTimeSeparator() + QStringLiteral("mm");
    if (!twelve)
        return hm;
    return markerFirst ? QStringLiteral("AMPM ") + hm : hm + QStringLiteral(" AMPM");
}

} // namespace velmora
