#include "ShownText.h"

#include "NumberFormatCode.h"
#include "platform/UserLocale.h"

#include <QDate>

#include <algorithm>
#include <cmath>

namespace velmora::xl {

namespace {

enum class Tok {
    Literal,
    Number,
    Year2,
    Year4,
    Month,
    Month2,
    MonthShort,
    MonthLong,
    Day,
    Day2,
    DayShort,
    DayLong,
    Hour,
    Hour2,
    Minute,
    Minute2,
    Second,
    Second2,
    AmPm,
    AP,
    ElapsedHours,
    Fraction,
    Text
};

struct Token {
    Tok kind = Tok::Literal;
    QString text; // literal text; for Fraction the digits count in text.size()
};

struct Section {
    bool dateTime = false;
    bool twelveHour = false;
    std::vector<Token> tokens;
    // Number layout, for sections that show numbers.
    int minInteger = 0;
    int minDecimals = 0;
    int maxDecimals = 0;
    bool grouping = false;
    int scaling = 0; // thousands dropped by trailing commas
    int percent = 0;
    bool exponent = false;
    bool point = false; // a decimal point, shown even without decimals
    int exponentDigits = 2;
    bool hasNumber = false;
};

bool isPlaceholder(QChar c) {
    return c == QLatin1Char('0') || c == QLatin1Char('#') || c == QLatin1Char('?');
}

QString generalText(double value, int digits) {
    if (value == 0)
        return QStringLiteral("0");
    if (std::fabs(value) < 1e15 && value == std::floor(value))
        return QString::number(static_cast<long long>(value));
    QString s = QString::number(value, 'g', digits);
    const int e = static_cast<int>(s.indexOf(QLatin1Char('e')));
    if (e >= 0) {
        QString mant = s.left(e);
        QString exp = s.mid(e + 1);
        const QChar sign = exp.startsWith(QLatin1Char('-')) ? QLatin1Char('-') : QLatin1Char('+');
        if (exp.startsWith(QLatin1Char('-')) || exp.startsWith(QLatin1Char('+')))
            exp.remove(0, 1);
        while (exp.size() < 2)
            exp.prepend(QLatin1Char('0'));
        s = mant + QLatin1Char('E') + sign + exp;
    }
    return s.replace(QLatin1Char('.'), localeDecimalSeparator());
}

// Splits a format code into sections at unquoted semicolons and reads each one.
std::vector<Section> parse(const QString& code) {
    std::vector<Section> out;
    std::vector<QString> parts;
    QString cur;
    for (int i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == QLatin1Char('"')) {
            const int end = static_cast<int>(code.indexOf(QLatin1Char('"'), i + 1));
            const int stop = end < 0 ? static_cast<int>(code.size()) - 1 : end;
            cur += code.mid(i, stop - i + 1);
            i = stop;
        } else if (c == QLatin1Char('\\') && i + 1 < code.size()) {
            cur += code.mid(i, 2);
            ++i;
        } else if (c == QLatin1Char(';')) {
            parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    parts.push_back(cur);
    for (const QString& p : parts) {
        Section s;
        s.dateTime = isDateTimeFormat(p);
        auto literal = [&s](const QString& t) {
            if (!s.tokens.empty() && s.tokens.back().kind == Tok::Literal)
                s.tokens.back().text += t;
            else
                s.tokens.push_back({Tok::Literal, t});
        };
        bool numberDone = false;
        for (int i = 0; i < p.size(); ++i) {
            const QChar c = p[i];
            const QChar l = c.toLower();
            auto run = [&](QChar ch) {
                int n = 1;
                while (i + n < p.size() && p[i + n].toLower() == ch)
                    ++n;
                return n;
            };
            if (c == QLatin1Char('"')) {
                const int end = static_cast<int>(p.indexOf(QLatin1Char('"'), i + 1));
                const int stop = end < 0 ? static_cast<int>(p.size()) : end;
                literal(p.mid(i + 1, stop - i - 1));
                i = stop;
            } else if (c == QLatin1Char('\\')) {
                if (i + 1 < p.size())
                    literal(QString(p[++i]));
            } else if (c == QLatin1Char('_')) {
                ++i;
                literal(QStringLiteral(" "));
            } else if (c == QLatin1Char('*')) {
                ++i;
            } else if (c == QLatin1Char('[')) {
                const int end = static_cast<int>(p.indexOf(QLatin1Char(']'), i + 1));
                const int stop = end < 0 ? static_cast<int>(p.size()) : end;
                const QString inside = p.mid(i + 1, stop - i - 1).toLower();
                if (!inside.isEmpty() && inside[0] == QLatin1Char('h'))
                    s.tokens.push_back({Tok::ElapsedHours, {}});
                i = stop;
            } else if (c == QLatin1Char('@')) {
                s.tokens.push_back({Tok::Text, {}});
            } else if (p.mid(i, 7).compare(QLatin1StringView("General"), Qt::CaseInsensitive) ==
                       0) {
                s.tokens.push_back({Tok::Number, QStringLiteral("General")});
                s.hasNumber = true;
                i += 6;
            } else if (s.dateTime &&
                       p.mid(i, 5).compare(QLatin1StringView("AM/PM"), Qt::CaseInsensitive) == 0) {
                s.tokens.push_back({Tok::AmPm, {}});
                s.twelveHour = true;
                i += 4;
            } else if (s.dateTime &&
                       p.mid(i, 3).compare(QLatin1StringView("A/P"), Qt::CaseInsensitive) == 0) {
                s.tokens.push_back({Tok::AP, {}});
                s.twelveHour = true;
                i += 2;
            } else if (s.dateTime && l == QLatin1Char('y')) {
                const int n = run(l);
                s.tokens.push_back({n <= 2 ? Tok::Year2 : Tok::Year4, {}});
                i += n - 1;
            } else if (s.dateTime && l == QLatin1Char('d')) {
                const int n = run(l);
                s.tokens.push_back({n == 1   ? Tok::Day
                                    : n == 2 ? Tok::Day2
                                    : n == 3 ? Tok::DayShort
                                             : Tok::DayLong,
                                    {}});
                i += n - 1;
            } else if (s.dateTime && l == QLatin1Char('h')) {
                const int n = run(l);
                s.tokens.push_back({n == 1 ? Tok::Hour : Tok::Hour2, {}});
                i += n - 1;
            } else if (s.dateTime && l == QLatin1Char('s')) {
                const int n = run(l);
                s.tokens.push_back({n == 1 ? Tok::Second : Tok::Second2, {}});
                i += n - 1;
            } else if (s.dateTime && l == QLatin1Char('m')) {
                const int n = run(l);
                s.tokens.push_back({n == 1   ? Tok::Month
                                    : n == 2 ? Tok::Month2
                                    : n == 3 ? Tok::MonthShort
                                             : Tok::MonthLong,
                                    {}});
                i += n - 1;
            } else if (s.dateTime && c == QLatin1Char('.') && i + 1 < p.size() &&
                       p[i + 1] == QLatin1Char('0')) {
                int n = 0;
                while (i + 1 + n < p.size() && p[i + 1 + n] == QLatin1Char('0'))
                    ++n;
                s.tokens.push_back({Tok::Fraction, QString(n, QLatin1Char('0'))});
                i += n;
            } else if (!s.dateTime && !numberDone &&
                       (isPlaceholder(c) ||
                        (c == QLatin1Char('.') && i + 1 < p.size() && isPlaceholder(p[i + 1])))) {
                // The number: placeholders, separators and an exponent, in one stretch.
                bool inDecimals = false;
                int j = i;
                for (; j < p.size(); ++j) {
                    const QChar d = p[j];
                    if (isPlaceholder(d)) {
                        if (inDecimals) {
                            ++s.maxDecimals;
                            if (d == QLatin1Char('0'))
                                ++s.minDecimals;
                        } else if (d == QLatin1Char('0')) {
                            ++s.minInteger;
                        }
                    } else if (d == QLatin1Char('.') && !inDecimals) {
                        inDecimals = true;
                        s.point = true;
                    } else if (d == QLatin1Char(',')) {
                        const bool more = j + 1 < p.size() && isPlaceholder(p[j + 1]);
                        if (more && !inDecimals)
                            s.grouping = true;
                        else if (!more)
                            ++s.scaling;
                    } else if ((d == QLatin1Char('E') || d == QLatin1Char('e')) &&
                               j + 1 < p.size() &&
                               (p[j + 1] == QLatin1Char('+') || p[j + 1] == QLatin1Char('-'))) {
                        s.exponent = true;
                        j += 2;
                        int digits = 0;
                        while (j < p.size() && isPlaceholder(p[j])) {
                            ++digits;
                            ++j;
                        }
                        s.exponentDigits = std::max(1, digits);
                        break;
                    } else {
                        break;
                    }
                }
                s.tokens.push_back({Tok::Number, {}});
                s.hasNumber = true;
                numberDone = true;
                i = j - 1;
            } else if (c == QLatin1Char('%')) {
                ++s.percent;
                literal(QStringLiteral("%"));
            } else {
                literal(QString(c));
            }
        }
        // A minute is an "m" after an hour or before a second.
        for (std::size_t k = 0; k < s.tokens.size(); ++k) {
            Tok& t = s.tokens[k].kind;
            if (t != Tok::Month && t != Tok::Month2)
                continue;
            bool minute = false;
            for (std::size_t b = k; b-- > 0;) {
                const Tok prev = s.tokens[b].kind;
                if (prev == Tok::Literal)
                    continue;
                minute = prev == Tok::Hour || prev == Tok::Hour2 || prev == Tok::ElapsedHours;
                break;
            }
            for (std::size_t a = k + 1; !minute && a < s.tokens.size(); ++a) {
                const Tok next = s.tokens[a].kind;
                if (next == Tok::Literal)
                    continue;
                minute = next == Tok::Second || next == Tok::Second2;
                break;
            }
            if (minute)
                t = t == Tok::Month ? Tok::Minute : Tok::Minute2;
        }
        out.push_back(std::move(s));
    }
    return out;
}

QString groupDigits(const QString& digits) {
    QString out;
    const QChar sep = localeThousandSeparator();
    const int n = static_cast<int>(digits.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += sep;
        out += digits[i];
    }
    return out;
}

QString numberPart(const Section& s, double v) {
    for (int i = 0; i < s.percent; ++i)
        v *= 100;
    for (int i = 0; i < s.scaling; ++i)
        v /= 1000;
    QString exponentText;
    if (s.exponent && v != 0) {
        int e = static_cast<int>(std::floor(std::log10(v)));
        const int step = std::max(1, s.minInteger);
        e = e - (step - 1);
        v /= std::pow(10.0, e);
        QString digits = QString::number(std::abs(e));
        while (digits.size() < s.exponentDigits)
            digits.prepend(QLatin1Char('0'));
        exponentText =
            QStringLiteral("E") + (e < 0 ? QStringLiteral("-") : QStringLiteral("+")) + digits;
    } else if (s.exponent) {
        exponentText = QStringLiteral("E+") + QString(s.exponentDigits, QLatin1Char('0'));
    }
    QString fixed = QString::number(v, 'f', s.maxDecimals);
    QString integer = fixed.section(QLatin1Char('.'), 0, 0);
    QString decimals = s.maxDecimals > 0 ? fixed.section(QLatin1Char('.'), 1, 1) : QString();
    while (decimals.size() > s.minDecimals && decimals.endsWith(QLatin1Char('0')))
        decimals.chop(1);
    if (integer == QLatin1String("0") && s.minInteger == 0)
        integer.clear();
    while (integer.size() < s.minInteger)
        integer.prepend(QLatin1Char('0'));
    if (s.grouping)
        integer = groupDigits(integer);
    QString out = integer;
    if (s.maxDecimals > 0 && (!decimals.isEmpty() || s.minDecimals > 0))
        out += localeDecimalSeparator() + decimals;
    else if (s.point)
        out += localeDecimalSeparator();
    return out + exponentText;
}

QString dateTimePart(const Section& s, double serial) {
    if (serial < 0)
        return QStringLiteral("########");
    double days = std::floor(serial);
    double fraction = serial - days;
    int ms = static_cast<int>(std::llround(fraction * 86400000.0));
    if (ms >= 86400000) {
        ms -= 86400000;
        days += 1;
    }
    bool hasFraction = false;
    for (const Token& t : s.tokens)
        hasFraction = hasFraction || t.kind == Tok::Fraction;
    if (!hasFraction)
        ms = static_cast<int>(std::llround(ms / 1000.0)) * 1000;
    if (ms >= 86400000) {
        ms -= 86400000;
        days += 1;
    }
    const QDate date = QDate(1899, 12, 30).addDays(static_cast<qint64>(days));
    const int hour = ms / 3600000;
    const int minute = ms / 60000 % 60;
    const int second = ms / 1000 % 60;
    const QLocale locale = userLocale();
    auto two = [](int n) {
        return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
    };
    const int shownHour = s.twelveHour ? ((hour + 11) % 12 + 1) : hour;
    QString out;
    for (const Token& t : s.tokens) {
        switch (t.kind) {
        case Tok::Literal:
            out += t.text;
            break;
        case Tok::Year2:
            out += two(date.year() % 100);
            break;
        case Tok::Year4:
            out += QString::number(date.year());
            break;
        case Tok::Month:
            out += QString::number(date.month());
            break;
        case Tok::Month2:
            out += two(date.month());
            break;
        case Tok::MonthShort:
            out += locale.monthName(date.month(), QLocale::ShortFormat);
            break;
        case Tok::MonthLong:
            out += locale.monthName(date.month(), QLocale::LongFormat);
            break;
        case Tok::Day:
            out += QString::number(date.day());
            break;
        case Tok::Day2:
            out += two(date.day());
            break;
        case Tok::DayShort:
            out += locale.dayName(date.dayOfWeek(), QLocale::ShortFormat);
            break;
        case Tok::DayLong:
            out += locale.dayName(date.dayOfWeek(), QLocale::LongFormat);
            break;
        case Tok::Hour:
            out += QString::number(shownHour);
            break;
        case Tok::Hour2:
            out += two(shownHour);
            break;
        case Tok::ElapsedHours:
            out += QString::number(static_cast<long long>(days) * 24 + hour);
            break;
        case Tok::Minute:
            out += QString::number(minute);
            break;
        case Tok::Minute2:
            out += two(minute);
            break;
        case Tok::Second:
            out += QString::number(second);
            break;
        case Tok::Second2:
            out += two(second);
            break;
        case Tok::AmPm:
            out += hour < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
            break;
        case Tok::AP:
            out += hour < 12 ? QStringLiteral("A") : QStringLiteral("P");
            break;
        case Tok::Fraction: {
            const QString f = QStringLiteral("%1").arg(ms % 1000, 3, 10, QLatin1Char('0'));
            out += localeDecimalSeparator() + f.left(static_cast<int>(t.text.size()));
            break;
        }
        case Tok::Number:
        case Tok::Text:
            break;
        }
    }
    return out;
}

} // namespace

struct ShownText::Format {
    std::vector<Section> sections;
};

QString generalNumber(double value) {
    return generalText(value, 15);
}

ShownText::ShownText(const SheetStore& sheet)
    : sheet_(sheet) {}
ShownText::~ShownText() = default;

const ShownText::Format& ShownText::format(int id) {
    if (static_cast<int>(formats_.size()) <= id)
        formats_.resize(static_cast<std::size_t>(id) + 1);
    auto& f = formats_[static_cast<std::size_t>(id)];
    if (!f) {
        f = std::make_unique<Format>();
        f->sections = parse(sheet_.formatCode(id));
    }
    return *f;
}

QString ShownText::number(double value, int formatId) {
    const Format& f = format(formatId);
    const auto& sections = f.sections;
    const Section* s = &sections[0];
    bool dropSign = false;
    if (value < 0 && sections.size() >= 2 && !sections[1].tokens.empty()) {
        s = &sections[1];
        dropSign = true;
    } else if (value == 0 && sections.size() >= 3 && !sections[2].tokens.empty()) {
        s = &sections[2];
    }
    if (s->dateTime)
        return dateTimePart(*s, value);
    bool onlyText = !s->hasNumber;
    for (const Token& t : s->tokens)
        onlyText = onlyText && t.kind != Tok::Number;
    if (onlyText && std::none_of(s->tokens.begin(), s->tokens.end(),
                                 [](const Token& t) { return t.kind == Tok::Literal; }))
        return generalNumber(value);
    const double magnitude = dropSign ? std::fabs(value) : value;
    QString out;
    bool signShown = false;
    for (const Token& t : s->tokens) {
        if (t.kind == Tok::Literal) {
            out += t.text;
        } else if (t.kind == Tok::Number) {
            if (t.text == QLatin1String("General")) {
                out += generalNumber(magnitude);
                signShown = true;
                continue;
            }
            QString digits = numberPart(*s, std::fabs(magnitude));
            const bool negative =
                magnitude < 0 && std::any_of(digits.begin(), digits.end(), [](QChar c) {
                    return c >= QLatin1Char('1') && c <= QLatin1Char('9');
                });
            if (negative && !signShown)
                out += QLatin1Char('-');
            out += digits;
            signShown = true;
        } else if (t.kind == Tok::Text) {
            out += generalNumber(magnitude);
        }
    }
    return out;
}

QString ShownText::operator()(int row, int column) {
    switch (sheet_.kind(row, column)) {
    case CellKind::Empty:
        return {};
    case CellKind::Bool:
        return sheet_.boolean(row, column) ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case CellKind::Text: {
        const QString text = sheet_.text(row, column);
        const int id = sheet_.styles().style(sheet_.styleAt(row, column)).numberFormat;
        if (id == 0)
            return text;
        const Format& f = format(id);
        const Section* s = f.sections.size() >= 4 ? &f.sections[3] : &f.sections[0];
        const bool hasText = std::any_of(s->tokens.begin(), s->tokens.end(),
                                         [](const Token& t) { return t.kind == Tok::Text; });
        if (!hasText)
            return text;
        QString out;
        for (const Token& t : s->tokens) {
            if (t.kind == Tok::Literal)
                out += t.text;
            else if (t.kind == Tok::Text)
                out += text;
        }
        return out;
    }
    case CellKind::Number:
    case CellKind::Date: {
        const int id = sheet_.styles().style(sheet_.styleAt(row, column)).numberFormat;
        return number(sheet_.number(row, column), id);
    }
    }
    return {};
}

} // namespace velmora::xl
