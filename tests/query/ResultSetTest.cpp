#include "query/ResultSet.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

FieldInfo column(const char* name, FieldType type, ColumnKind kind) {
    FieldInfo f;
    f.name = QString::fromUtf8(name);
    f.type = type;
    f.kind = kind;
    return f;
}

TEST(ResultSet, StoresEveryKindWithNulls) {
    ResultSet rs;
    rs.addColumn(column("i", FieldType::ftLargeint, ColumnKind::Int64));
    rs.addColumn(column("f", FieldType::ftFloat, ColumnKind::Double));
    rs.addColumn(column("d", FieldType::ftBCD, ColumnKind::Decimal));
    rs.addColumn(column("b", FieldType::ftBoolean, ColumnKind::Bool));
    rs.addColumn(column("dt", FieldType::ftDate, ColumnKind::Date));
    rs.addColumn(column("tm", FieldType::ftTime, ColumnKind::Time));
    rs.addColumn(column("ts", FieldType::ftDateTime, ColumnKind::DateTime));
    rs.addColumn(column("s", FieldType::ftString, ColumnKind::Text));
    rs.addColumn(column("y", FieldType::ftBlob, ColumnKind::Bytes));

    rs.appendInt(0, -9223372036854775807LL);
    rs.appendDouble(1, 2.5);
    rs.appendDecimal(2, "12345678901234567890");
    rs.appendBool(3, true);
    rs.appendDate(4, QDate(1899, 12, 30));
    rs.appendTime(5, QTime(23, 59, 58, 7));
    rs.appendDateTime(6, QDateTime(QDate(1969, 12, 31), QTime(23, 0)));
    rs.appendText(7, "Zoë");
    rs.appendBytes(8, std::string_view("\0\xff", 2));
    rs.endRow();
    for (int c = 0; c < 9; ++c)
        rs.appendNull(c);
    rs.endRow();
    rs.appendText(7, "only text"); // the other columns get NULL from endRow
    rs.endRow();

    ASSERT_EQ(rs.rowCount(), 3);
    EXPECT_EQ(rs.value(0, 0), QVariant(qint64(-9223372036854775807LL)));
    EXPECT_EQ(rs.value(0, 1), QVariant(2.5));
    EXPECT_EQ(rs.value(0, 2), QVariant(QStringLiteral("12345678901234567890")));
    EXPECT_DOUBLE_EQ(rs.doubleAt(0, 2), 12345678901234567890.0);
    EXPECT_EQ(rs.value(0, 3), QVariant(true));
    EXPECT_EQ(rs.value(0, 4), QVariant(QDate(1899, 12, 30)));
    EXPECT_EQ(rs.value(0, 5), QVariant(QTime(23, 59, 58, 7)));
    EXPECT_EQ(rs.dateTimeAt(0, 6), QDateTime(QDate(1969, 12, 31), QTime(23, 0)));
    EXPECT_EQ(rs.value(0, 7), QVariant(QStringLiteral("Zoë")));
    EXPECT_EQ(rs.value(0, 8), QVariant(QByteArray("\0\xff", 2)));
    EXPECT_EQ(rs.dateTimeAt(0, 4), QDateTime(QDate(1899, 12, 30), QTime(0, 0)));
    for (int c = 0; c < 9; ++c) {
        EXPECT_TRUE(rs.isNull(1, c)) << c;
        EXPECT_FALSE(rs.value(1, c).isValid()) << c;
        EXPECT_FALSE(rs.isNull(0, c)) << c;
    }
    EXPECT_TRUE(rs.isNull(2, 0));
    EXPECT_EQ(rs.textAt(2, 7), QStringLiteral("only text"));
    EXPECT_EQ(rs.fieldIndex(QStringLiteral("ts")), 6);
    EXPECT_EQ(rs.fieldIndex(QStringLiteral("TS")), -1);
}

// SQLite may hold any type in any row of a declared column: nothing is lost, the column
// widens instead.
struct Widening {
    const char* name;
    ColumnKind kind;
    std::function<void(ResultSet&)> second;
    ColumnKind expectedKind;
    FieldType expectedType;
    QVariant first;
    QVariant secondValue;
};

class ResultSetWidening : public ::testing::TestWithParam<Widening> {};

TEST_P(ResultSetWidening, KeepsEveryValue) {
    const Widening& w = GetParam();
    ResultSet rs;
    rs.addColumn(column("c", FieldType::ftInteger, w.kind));
    switch (w.kind) {
    case ColumnKind::Int64:
        rs.appendInt(0, 7);
        break;
    case ColumnKind::Date:
        rs.appendDate(0, QDate(2024, 2, 29));
        break;
    case ColumnKind::Double:
        rs.appendDouble(0, 0.5);
        break;
    default:
        FAIL();
    }
    rs.endRow();
    rs.appendNull(0);
    rs.endRow();
    w.second(rs);
    rs.endRow();
    EXPECT_EQ(rs.field(0).kind, w.expectedKind);
    EXPECT_EQ(rs.field(0).type, w.expectedType);
    EXPECT_EQ(rs.value(0, 0), w.first);
    EXPECT_TRUE(rs.isNull(1, 0));
    EXPECT_EQ(rs.value(2, 0), w.secondValue);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResultSetWidening,
    ::testing::Values(
        Widening{"IntThenText", ColumnKind::Int64, [](ResultSet& r) { r.appendText(0, "abc"); },
                 ColumnKind::Text, FieldType::ftString, QVariant(QStringLiteral("7")),
                 QVariant(QStringLiteral("abc"))},
        Widening{"IntThenDouble", ColumnKind::Int64, [](ResultSet& r) { r.appendDouble(0, 1.25); },
                 ColumnKind::Double, FieldType::ftFloat, QVariant(7.0), QVariant(1.25)},
        Widening{"IntThenDecimal", ColumnKind::Int64,
                 [](ResultSet& r) { r.appendDecimal(0, "0.10"); }, ColumnKind::Decimal,
                 FieldType::ftBCD, QVariant(QStringLiteral("7")), QVariant(QStringLiteral("0.10"))},
        Widening{"IntThenWholeDecimal", ColumnKind::Int64,
                 [](ResultSet& r) { r.appendDecimal(0, "42"); }, ColumnKind::Int64,
                 FieldType::ftInteger, QVariant(qint64(7)), QVariant(qint64(42))},
        Widening{
            "DateThenDateTime", ColumnKind::Date,
            [](ResultSet& r) { r.appendDateTime(0, QDateTime(QDate(2024, 3, 1), QTime(12, 30))); },
            ColumnKind::DateTime, FieldType::ftDateTime,
            QVariant(QDateTime(QDate(2024, 2, 29), QTime(0, 0))),
            QVariant(QDateTime(QDate(2024, 3, 1), QTime(12, 30)))},
        Widening{"DateThenText", ColumnKind::Date, [](ResultSet& r) { r.appendText(0, "soon"); },
                 ColumnKind::Text, FieldType::ftString, QVariant(QStringLiteral("2024-02-29")),
                 QVariant(QStringLiteral("soon"))},
        Widening{"DoubleThenInt", ColumnKind::Double, [](ResultSet& r) { r.appendInt(0, 3); },
                 ColumnKind::Double, FieldType::ftInteger, QVariant(0.5), QVariant(3.0)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ResultSet, RejectsTwoValuesForOneCell) {
    ResultSet rs;
    rs.addColumn(column("a", FieldType::ftInteger, ColumnKind::Int64));
    rs.appendInt(0, 1);
    rs.appendInt(0, 2);
    EXPECT_THROW(rs.endRow(), std::logic_error);
}

TEST(ResultSet, MemoryGrowsWithTheData) {
    ResultSet rs;
    rs.addColumn(column("a", FieldType::ftInteger, ColumnKind::Int64));
    rs.addColumn(column("s", FieldType::ftString, ColumnKind::Text));
    rs.reserveRows(1000);
    for (int i = 0; i < 1000; ++i) {
        rs.appendInt(0, i);
        rs.appendText(1, "abcdefghij");
        rs.endRow();
    }
    // 4 bytes per small integer, 4 per text offset plus its 10 bytes: no per-cell object.
    rs.shrinkToFit();
    EXPECT_GE(rs.memoryBytes(), 1000u * 18);
    EXPECT_LT(rs.memoryBytes(), 1000u * 18 + 1024);
}

TEST(ResultSet, WidensIntegersThatOutgrow32Bits) {
    ResultSet rs;
    rs.addColumn(column("a", FieldType::ftLargeint, ColumnKind::Int64));
    const std::int64_t values[] = {1, -2147483648LL, 2147483647LL, 2147483648LL, -5};
    for (std::int64_t v : values) {
        rs.appendInt(0, v);
        rs.endRow();
    }
    for (int r = 0; r < 5; ++r)
        EXPECT_EQ(rs.intAt(r, 0), values[r]);
}

} // namespace
} // namespace velmora
