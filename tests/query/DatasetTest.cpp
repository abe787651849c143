#include "query/Dataset.h"

#include <QLocale>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace velmora {
namespace {

// id, name, amount (decimal), seen (date); rows in fetch order.
ResultSet sample() {
    ResultSet rs;
    auto add = [&](const char* name, FieldType t, ColumnKind k) {
        FieldInfo f;
        f.name = QString::fromUtf8(name);
        f.type = t;
        f.kind = k;
        rs.addColumn(f);
    };
    add("ID", FieldType::ftInteger, ColumnKind::Int64);
    add("NAME", FieldType::ftString, ColumnKind::Text);
    add("AMOUNT", FieldType::ftBCD, ColumnKind::Decimal);
    add("IDX", FieldType::ftFloat, ColumnKind::Double);
    struct Row {
        int id;
        const char* name;
        const char* amount;
        double idx;
    };
    const Row rows[] = {{1, "beta", "10.5", 2},
                        {2, nullptr, "-3", 1},
                        {3, "Alpha", nullptr, 2},
                        {4, "alpha", "9.99", 0.5},
                        {5, "beta", "10.50", -1}};
    for (const Row& r : rows) {
        rs.appendInt(0, r.id);
        r.name ? rs.appendText(1, r.name) : rs.appendNull(1);
        r.amount ? rs.appendDecimal(2, r.amount) : rs.appendNull(2);
        rs.appendDouble(3, r.idx);
        rs.endRow();
    }
    return rs;
}

std::vector<int> ids(Dataset& ds) {
    std::vector<int> out;
    for (ds.first(); !ds.eof(); ds.next())
        out.push_back(ds.value(0).toInt());
    return out;
}

TEST(Dataset, CursorWalksAndStopsOnTheLastRecord) {
    Dataset ds(QStringLiteral("ADOQry1"));
    EXPECT_FALSE(ds.active());
    EXPECT_TRUE(ds.eof());
    EXPECT_EQ(ds.recNo(), 0);
    ds.open(sample());
    EXPECT_EQ(ds.name(), QStringLiteral("ADOQry1"));
    EXPECT_EQ(ds.recordCount(), 5);
    EXPECT_EQ(ds.recNo(), 1);
    EXPECT_FALSE(ds.eof());
    EXPECT_EQ(ids(ds), (std::vector<int>{1, 2, 3, 4, 5}));
    // After a full pass: end of data, last record current.
    EXPECT_TRUE(ds.eof());
    EXPECT_EQ(ds.recNo(), 5);
    EXPECT_EQ(ds.value(0).toInt(), 5);
    ds.moveTo(2);
    EXPECT_TRUE(ds.isNull(1));
    EXPECT_EQ(ds.text(1), QString());
    ds.close();
    EXPECT_FALSE(ds.active());
    EXPECT_EQ(ds.recordCount(), 0);
}

TEST(Dataset, EmptyResultIsAtEndOfData) {
    ResultSet rs;
    FieldInfo f;
    f.name = QStringLiteral("X");
    rs.addColumn(f);
    Dataset ds(QStringLiteral("ADOQry1"));
    ds.open(std::move(rs));
    EXPECT_TRUE(ds.active());
    EXPECT_TRUE(ds.eof());
    EXPECT_EQ(ds.recNo(), 0);
    EXPECT_EQ(ds.fieldCount(), 1);
    EXPECT_TRUE(ds.isNull(0));
}

struct SortCase {
    const char* expression;
    std::vector<int> order;
};

class DatasetSort : public ::testing::TestWithParam<SortCase> {};

TEST_P(DatasetSort, IsStableWithNullsFirstAscending) {
    Dataset ds(QStringLiteral("ADOQry1"));
    ds.open(sample());
    ds.setSort(QString::fromUtf8(GetParam().expression));
    EXPECT_EQ(ds.sort(), QString::fromUtf8(GetParam().expression));
    EXPECT_EQ(ids(ds), GetParam().order);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DatasetSort,
    ::testing::Values(SortCase{"NAME ASC", {2, 3, 4, 1, 5}}, SortCase{"NAME DESC", {1, 5, 4, 3, 2}},
                      // exact decimals: 10.5 and 10.50 are equal, so fetch order stays
                      SortCase{"AMOUNT ASC", {3, 2, 4, 1, 5}},
                      SortCase{"AMOUNT DESC", {1, 5, 4, 2, 3}}, SortCase{"IDX", {5, 4, 2, 1, 3}},
                      SortCase{"[IDX] desc", {1, 3, 2, 4, 5}}, SortCase{"", {1, 2, 3, 4, 5}}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(Dataset, SortOnUnknownFieldFailsWithItsName) {
    Dataset ds(QStringLiteral("ADOQry1"));
    ds.open(sample());
    try {
        ds.setSort(QStringLiteral("NOPE ASC"));
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "ADOQry1: Field 'NOPE' not found");
    }
    EXPECT_EQ(ds.sort(), QString());
}

TEST(Dataset, BookmarksSurviveASort) {
    Dataset ds(QStringLiteral("ADOQry1"));
    ds.open(sample());
    ds.moveTo(4); // ID 4
    const Dataset::Bookmark b = ds.bookmark();
    ds.setSort(QStringLiteral("IDX DESC"));
    EXPECT_EQ(ds.recNo(), 1);
    ds.gotoBookmark(b);
    EXPECT_EQ(ds.value(0).toInt(), 4);
    EXPECT_EQ(ds.recNo(), 4);
    ds.freeBookmark(b);
    EXPECT_THROW(ds.gotoBookmark(99), std::runtime_error);
}

TEST(Dataset, DisabledControlsHearNothingButHandlersRun) {
    Dataset ds(QStringLiteral("ADOQry1"));
    ds.open(sample());
    QSignalSpy moved(&ds, &Dataset::cursorMoved);
    int before = 0, after = 0;
    ds.beforeScroll = [&] {
        ++before;
    };
    ds.afterScroll = [&] {
        ++after;
    };
    ds.disableControls();
    ds.disableControls();
    ds.next();
    ds.next();
    ds.enableControls();
    EXPECT_TRUE(ds.controlsDisabled());
    EXPECT_EQ(moved.count(), 0);
    ds.enableControls();
    EXPECT_FALSE(ds.controlsDisabled());
    EXPECT_EQ(moved.count(), 1);
    ds.next();
    EXPECT_EQ(moved.count(), 2);
    EXPECT_EQ(before, 3);
    EXPECT_EQ(after, 3);
}

TEST(Dataset, OpenCloseAndSortResetViews) {
    Dataset ds(QStringLiteral("ADOQry1"));
    QSignalSpy reset(&ds, &Dataset::layoutReset);
    ds.open(sample());
    ds.setSort(QStringLiteral("ID DESC"));
    ds.close();
    ds.close(); // already closed: nothing to tell
    EXPECT_EQ(reset.count(), 3);
}

TEST(Dataset, TextFollowsTheLocale) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    ResultSet rs;
    auto add = [&](ColumnKind k) {
        FieldInfo f;
        f.name = QStringLiteral("c%1").arg(rs.fieldCount());
        f.kind = k;
        rs.addColumn(f);
    };
    for (ColumnKind k :
         {ColumnKind::Int64, ColumnKind::Double, ColumnKind::Decimal, ColumnKind::Bool,
          ColumnKind::Date, ColumnKind::DateTime, ColumnKind::DateTime, ColumnKind::Double})
        add(k);
    rs.appendInt(0, -1234567890123LL);
    rs.appendDouble(1, 1.0 / 3);
    rs.appendDecimal(2, "12345678901234567890.25");
    rs.appendBool(3, false);
    rs.appendDate(4, QDate(2024, 3, 9));
    rs.appendDateTime(5, QDateTime(QDate(2024, 3, 9), QTime(0, 0)));
    rs.appendDateTime(6, QDateTime(QDate(2024, 3, 9), QTime(7, 5, 3)));
    rs.appendDouble(7, 1e20);
    rs.endRow();
    Dataset ds(QStringLiteral("ADOQry1"));
    ds.open(std::move(rs));
    EXPECT_EQ(ds.text(0), QStringLiteral("-1234567890123"));
    EXPECT_EQ(ds.text(1), QStringLiteral("0,333333333333333"));
    EXPECT_EQ(ds.text(2), QStringLiteral("12345678901234567890,25"));
    EXPECT_EQ(ds.text(3), QStringLiteral("False"));
    EXPECT_EQ(ds.text(4), QStringLiteral("09.03.24"));
    EXPECT_EQ(ds.text(5), QStringLiteral("09.03.24"));
    EXPECT_EQ(ds.text(6), QStringLiteral("09.03.24 07:05:03"));
    EXPECT_EQ(ds.text(7), QStringLiteral("1E+20"));
    EXPECT_DOUBLE_EQ(ds.asFloat(2), 12345678901234567890.25);
    EXPECT_EQ(ds.asDateTime(4), QDateTime(QDate(2024, 3, 9), QTime(0, 0)));
    QLocale::setDefault(QLocale::c());
}

} // namespace
} // namespace velmora
