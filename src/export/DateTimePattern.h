#pragma once

#include <QLocale>
#include <QString>

#include <array>
#include <string>
#include <vector>

namespace velmora {

// A locale date or time pattern ("M/d/yyyy", "HH:mm:ss") compiled once, so that formatting a
// value appends UTF-8 straight to a line instead of going through QLocale for every cell. Gives
// the same text as QLocale::toString with the same pattern, for the tokens locale patterns use.
class DateTimePattern {
public:
    DateTimePattern() = default;
    DateTimePattern(const QString& pattern, const QLocale& locale);

    void appendDate(std::string& out, int year, int month, int day, int dayOfWeek) const;
    void appendTime(std::string& out, int hour, int minute, int second, int msec) const;

private:
    enum class Token {
        Literal,
        Day,
        Day2,
        DayNameShort,
        DayNameLong,
        Month,
        Month2,
        MonthNameShort,
        MonthNameLong,
        Year2,
        Year4,
        Hour,
        Hour2,
        Hour24,
        Hour24_2,
        Minute,
        Minute2,
        Second,
        Second2,
        Msec,
        Msec3,
        AmPmUpper,
        AmPmLower,
    };
    struct Piece {
        Token token;
        std::string literal;
    };
    std::vector<Piece> pieces_;
    bool twelveHour_ = false;
    std::array<std::string, 12> monthShort_, monthLong_;
    std::array<std::string, 7> dayShort_, dayLong_;
    std::string am_, pm_, amLower_, pmLower_;
};

// The locale's short date pattern with a two-digit year widened to four digits: an export must
// not lose the century.
QString exportDatePattern(const QLocale& locale);
// The locale's long time pattern without its time-zone part: stored date-times carry no zone.
QString exportTimePattern(const QLocale& locale);

} // namespace velmora
