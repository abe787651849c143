#include "DateTimePattern.h"

#include <charconv>

namespace velmora {

namespace {

void appendNumber(std::string& out, int v, int width) {
    char buf[16];
    auto r = std::to_chars(buf, buf + sizeof buf, v < 0 ? -v : v);
    if (v < 0)
        out.push_back('-');
    for (int pad = width - int(r.ptr - buf); pad > 0; --pad)
        out.push_back('0');
    out.append(buf, r.ptr);
}

int runLength(const QString& p, int i) {
    int n = 1;
    while (i + n < p.size() && p[i + n] == p[i])
        ++n;
    return n;
}

// Removes time-zone letters and the blanks that separate them from the rest.
QString withoutZone(const QString& pattern) {
    QString out;
    bool quoted = false;
    for (QChar c : pattern) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        out += c;
    }
    return out.trimmed();
}

} // namespace

QString exportDatePattern(const QLocale& locale) {
    const QString p = locale.dateFormat(QLocale::ShortFormat);
    QString out;
    bool quoted = false;
    for (int i = 0; i < p.size();) {
        if (p[i] == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && p[i] == QLatin1Char('y')) {
            const int n = runLength(p, i);
            out += n == 2 ? QStringLiteral("yyyy") : p.mid(i, n);
            i += n;
            continue;
        }
        out += p[i++];
    }
    return out;
}

QString exportTimePattern(const QLocale& locale) {
    return withoutZone(locale.timeFormat(QLocale::LongFormat));
}

DateTimePattern::DateTimePattern(const QString& p, const QLocale& locale) {
    for (int m = 1; m <= 12; ++m) {
        monthShort_[m - 1] = locale.monthName(m, QLocale::ShortFormat).toStdString();
        monthLong_[m - 1] = locale.monthName(m, QLocale::LongFormat).toStdString();
    }
    for (int d = 1; d <= 7; ++d) {
        dayShort_[d - 1] = locale.dayName(d, QLocale::ShortFormat).toStdString();
        dayLong_[d - 1] = locale.dayName(d, QLocale::LongFormat).toStdString();
    }
    am_ = locale.amText().toUpper().toStdString();
    pm_ = locale.pmText().toUpper().toStdString();
    amLower_ = locale.amText().toLower().toStdString();
    pmLower_ = locale.pmText().toLower().toStdString();

    auto literal = [this](const QString& text) {
        if (!pieces_.empty() && pieces_.back().token == Token::Literal)
            pieces_.back().literal += text.toStdString();
        else
            pieces_.push_back({Token::Literal, text.toStdString()});
    };
    auto token = [this](Token t) {
        pieces_.push_back({t, {}});
    };

    for (int i = 0; i < p.size();) {
        const QChar c = p[i];
        if (c == QLatin1Char('\'')) {
            // Quoted text; two quotes stand for one quote, inside or outside quoted text.
            if (i + 1 < p.size() && p[i + 1] == QLatin1Char('\'')) {
                literal(QStringLiteral("'"));
                i += 2;
                continue;
            }
            QString text;
            ++i;
            while (i < p.size()) {
                if (p[i] == QLatin1Char('\'')) {
                    if (i + 1 < p.size() && p[i + 1] == QLatin1Char('\'')) {
                        text += QLatin1Char('\'');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                text += p[i++];
            }
            literal(text);
            continue;
        }
        const int n = runLength(p, i);
        int used = n;
        switch (c.unicode()) {
        case 'd':
            used = std::min(n, 4);
            token(used == 1   ? Token::Day
                  : used == 2 ? Token::Day2
                  : used == 3 ? Token::DayNameShort
                              : Token::DayNameLong);
            break;
        case 'M':
            used = std::min(n, 4);
            token(used == 1   ? Token::Month
                  : used == 2 ? Token::Month2
                  : used == 3 ? Token::MonthNameShort
                              : Token::MonthNameLong);
            break;
        case 'y':
            if (n >= 4) {
                used = 4;
                token(Token::Year4);
            } else if (n >= 2) {
                used = 2;
                token(Token::Year2);
            } else {
                literal(QStringLiteral("y"));
            }
            break;
        case 'h':
            used = std::min(n, 2);
            token(used == 1 ? Token::Hour : Token::Hour2);
            break;
        case 'H':
            used = std::min(n, 2);
            token(used == 1 ? Token::Hour24 : Token::Hour24_2);
            break;
        case 'm':
            used = std::min(n, 2);
            token(used == 1 ? Token::Minute : Token::Minute2);
            break;
        case 's':
            used = std::min(n, 2);
            token(used == 1 ? Token::Second : Token::Second2);
            break;
        case 'z':
            used = n >= 3 ? 3 : 1;
            token(used == 3 ? Token::Msec3 : Token::Msec);
            break;
        case 'A':
        case 'a': {
            const bool upper = c == QLatin1Char('A');
            used =
                i + 1 < p.size() && (p[i + 1] == QLatin1Char('P') || p[i + 1] == QLatin1Char('p'))
                    ? 2
                    : 1;
            token(upper ? Token::AmPmUpper : Token::AmPmLower);
            twelveHour_ = true;
            break;
        }
        default:
            used = 1;
            literal(QString(c));
            break;
        }
        i += used;
    }
    // "h" is a 12-hour clock only when the pattern shows AM/PM; otherwise it counts to 23.
    if (!twelveHour_) {
        for (Piece& piece : pieces_) {
            if (piece.token == Token::Hour)
                piece.token = Token::Hour24;
            else if (piece.token == Token::Hour2)
                piece.token = Token::Hour24_2;
        }
    }
}

void DateTimePattern::appendDate(std::string& out, int year, int month, int day,
                                 int dayOfWeek) const {
    for (const Piece& piece : pieces_) {
        switch (piece.token) {
        case Token::Literal:
            out += piece.literal;
            break;
        case Token::Day:
            appendNumber(out, day, 1);
            break;
        case Token::Day2:
            appendNumber(out, day, 2);
            break;
        case Token::DayNameShort:
            out += dayShort_[dayOfWeek - 1];
            break;
        case Token::DayNameLong:
            out += dayLong_[dayOfWeek - 1];
            break;
        case Token::Month:
            appendNumber(out, month, 1);
            break;
        case Token::Month2:
            appendNumber(out, month, 2);
            break;
        case Token::MonthNameShort:
            out += monthShort_[month - 1];
            break;
        case Token::MonthNameLong:
            out += monthLong_[month - 1];
            break;
        case Token::Year2:
            appendNumber(out, (year % 100 + 100) % 100, 2);
            break;
        case Token::Year4:
            appendNumber(out, year, 4);
            break;
        default:
            break; // time tokens have no meaning in a date
        }
    }
}

void DateTimePattern::appendTime(std::string& out, int hour, int minute, int second,
                                 int msec) const {
    const int hour12 = hour % 12 == 0 ? 12 : hour % 12;
    for (const Piece& piece : pieces_) {
        switch (piece.token) {
        case Token::Literal:
            out += piece.literal;
            break;
        case Token::Hour:
            appendNumber(out, hour12, 1);
            break;
        case Token::Hour2:
            appendNumber(out, hour12, 2);
            break;
        case Token::Hour24:
            appendNumber(out, hour, 1);
            break;
        case Token::Hour24_2:
            appendNumber(out, hour, 2);
            break;
        case Token::Minute:
            appendNumber(out, minute, 1);
            break;
        case Token::Minute2:
            appendNumber(out, minute, 2);
            break;
        case Token::Second:
            appendNumber(out, second, 1);
            break;
        case Token::Second2:
            appendNumber(out, second, 2);
            break;
        case Token::Msec3:
            appendNumber(out, msec, 3);
            break;
        case Token::Msec: {
            // The fraction without trailing zeros, as QLocale writes "z".
            std::string digits;
            appendNumber(digits, msec, 3);
            while (digits.size() > 1 && digits.back() == '0')
                digits.pop_back();
            out += digits;
            break;
        }
        case Token::AmPmUpper:
            out += hour < 12 ? am_ : pm_;
            break;
        case Token::AmPmLower:
            out += hour < 12 ? amLower_ : pmLower_;
            break;
        default:
            break; // date tokens have no meaning in a time
        }
    }
}

} // namespace velmora
