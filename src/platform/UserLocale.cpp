#include "UserLocale.h"

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

} // namespace velmora
