#include "export/CellText.h"

#include <QDateTime>
#include <QLocale>

#include <gtest/gtest.h>

#include <limits>

namespace velmora {
namespace {

// Fixes the user's locale for one test and puts the previous one back.
class LocaleScope {
public:
    explicit LocaleScope(const char* name)
        : saved_(QLocale()) {
        QLocale::setDefault(QLocale(QString::fromLatin1(name)));
    }
    ~LocaleScope() { QLocale::setDefault(saved_); }

private:
    QLocale saved_;
};

struct TextCase {
    const char* name;
    const char* locale;
    QVariant value;
    QString expected;
};

class VariantToTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(VariantToTextTest, GivesText) {
    const TextCase& c = GetParam();
    LocaleScope locale(c.locale);
    EXPECT_EQ(fnVariantToText(c.value), c.expected);
}

QDateTime at(int y, int mo, int d, int h, int mi, int s, int ms = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms));
}

INSTANTIATE_TEST_SUITE_P(
    Values, VariantToTextTest,
    ::testing::Values(
        TextCase{"null", "en_US", QVariant(), ""},
        TextCase{"null_typed", "en_US", QVariant(QMetaType::fromType<double>()), ""},
        TextCase{"empty_text", "en_US", QString(), ""},
        TextCase{"text", "en_US", QString::fromUtf8("Grüße, \"x\""),
                 QString::fromUtf8("Grüße, \"x\"")},
        TextCase{"int_negative", "de_DE", qint64(-1234567), "-1234567"},
        TextCase{"int64_min", "en_US", std::numeric_limits<qint64>::min(), "-9223372036854775808"},
        TextCase{"uint64_max", "en_US", std::numeric_limits<quint64>::max(),
                 "18446744073709551615"},
        TextCase{"float_fraction_en", "en_US", 1234.5, "1234.5"},
        TextCase{"float_fraction_de", "de_DE", 1234.5, "1234,5"},
        TextCase{"float_whole", "de_DE", 100.0, "100"},
        TextCase{"float_rounded_to_15", "en_US", 0.1 + 0.2, "0.3"},
        TextCase{"float_third", "en_US", 1.0 / 3, "0.333333333333333"},
        TextCase{"float_15_digits", "en_US", 123456789012345.0, "123456789012345"},
        TextCase{"float_16_digits", "en_US", 1234567890123456.0, "1.23456789012346E15"},
        TextCase{"float_large", "de_DE", 1.5e20, "1,5E20"},
        TextCase{"float_smallest_fixed", "en_US", 0.00001, "0.00001"},
        TextCase{"float_small", "en_US", 0.000001, "1E-6"},
        TextCase{"float_small_negative", "de_DE", -2.5e-7, "-2,5E-7"},
        TextCase{"float_zero", "en_US", 0.0, "0"}, TextCase{"bool_true", "de_DE", true, "True"},
        TextCase{"bool_false", "en_US", false, "False"},
        TextCase{"date_en", "en_US", QDate(2024, 3, 5), "3/5/2024"},
        TextCase{"date_de", "de_DE", QDate(2024, 3, 5), "05.03.2024"},
        TextCase{"datetime_midnight", "en_GB", at(2024, 3, 5, 0, 0, 0), "05/03/2024"},
        TextCase{"datetime_en", "en_US", at(2024, 3, 5, 13, 4, 5), "3/5/2024 1:04:05 PM"},
        TextCase{"datetime_de", "de_DE", at(2024, 3, 5, 13, 4, 5), "05.03.2024 13:04:05"},
        TextCase{"datetime_just_after_midnight", "de_DE", at(2024, 3, 5, 0, 0, 0, 1),
                 "05.03.2024 00:00:00"},
        TextCase{"datetime_zero_day", "en_US", at(1899, 12, 30, 8, 30, 0), "8:30:00 AM"},
        TextCase{"datetime_zero_day_midnight", "de_DE", at(1899, 12, 30, 0, 0, 0), "00:00:00"},
        TextCase{"time_midnight", "en_US", QTime(0, 0), "12:00:00 AM"},
        TextCase{"time_de", "de_DE", QTime(23, 59, 58), "23:59:58"},
        TextCase{"bytes_one_char_each", "en_US", QByteArray("a\xe9z"), QString::fromUtf8("aéz")}),
    [](const auto& info) { return std::string(info.param.name); });

// Exact decimals keep every digit the database gave, with the locale separator; the QVariant of
// a decimal cell is its text, so only the cell knows it is a number.
TEST(CellTextTest, DecimalCellKeepsDigitsWithLocaleSeparator) {
    ResultSet rows;
    FieldInfo f;
    f.name = "amount";
    f.kind = ColumnKind::Decimal;
    rows.addColumn(f);
    for (const char* digits : {"-12.50", "12345678901234567890.0001", "7"}) {
        rows.appendDecimal(0, digits);
        rows.endRow();
    }
    LocaleScope locale("de_DE");
    EXPECT_EQ(fnVariantToText(rows, 0, 0), "-12,50");
    EXPECT_EQ(fnVariantToText(rows, 1, 0), "12345678901234567890,0001");
    EXPECT_EQ(fnVariantToText(rows, 2, 0), "7");
}

// The compiled patterns must give what QLocale gives for the same pattern, in locales with
// other orders, separators, 12-hour clocks and month names. (Digits are always ASCII, as in the
// numbers, so locales with native digits are left out here.)
TEST(CellTextTest, PatternsMatchQLocale) {
    const QList<QDateTime> values{at(2024, 3, 5, 13, 4, 5), at(1999, 12, 31, 0, 0, 59),
                                  at(2000, 1, 1, 12, 0, 0), at(1, 1, 1, 9, 9, 9),
                                  at(2038, 7, 14, 23, 59, 59)};
    for (const char* name : {"en_US", "de_DE", "fr_FR", "fi_FI", "ja_JP", "C", "ko_KR", "sv_SE"}) {
        const QLocale l{QString::fromLatin1(name)};
        const CellText text(l);
        for (const QDateTime& v : values) {
            std::string date, time;
            text.appendDate(date, v.date().toJulianDay() - QDate(1970, 1, 1).toJulianDay());
            text.appendTime(time, v.time().msecsSinceStartOfDay());
            EXPECT_EQ(QString::fromStdString(date), l.toString(v.date(), exportDatePattern(l)))
                << name;
            EXPECT_EQ(QString::fromStdString(time), l.toString(v.time(), exportTimePattern(l)))
                << name;
        }
    }
}

TEST(CellTextTest, ExportPatternsWidenYearAndDropZone) {
    const QLocale us(QStringLiteral("en_US"));
    EXPECT_EQ(exportDatePattern(us), "M/d/yyyy");
    EXPECT_EQ(exportTimePattern(us), "h:mm:ss AP");
    EXPECT_EQ(exportTimePattern(QLocale(QStringLiteral("de_DE"))), "HH:mm:ss");
}

} // namespace
} // namespace velmora
