#include "export/DelimitedWriter.h"

#include "TestEnv.h"

#include <QFile>

#include <gtest/gtest.h>

namespace velmora {
namespace {

FieldInfo column(const char* name, ColumnKind kind) {
    FieldInfo f;
    f.name = QString::fromUtf8(name);
    f.kind = kind;
    return f;
}

// One column of each kind, with values that need quoting, NULLs and empty texts.
ResultSet sample() {
    ResultSet rows;
    rows.addColumn(column("id", ColumnKind::Int64));
    rows.addColumn(column("name, full", ColumnKind::Text));
    rows.addColumn(column("amount", ColumnKind::Decimal));
    rows.addColumn(column("ratio", ColumnKind::Double));
    rows.addColumn(column("at", ColumnKind::DateTime));
    rows.addColumn(column("ok", ColumnKind::Bool));
    rows.addColumn(column("raw", ColumnKind::Bytes));

    rows.appendInt(0, 1);
    rows.appendText(1, "Smith, John");
    rows.appendDecimal(2, "10.50");
    rows.appendDouble(3, 0.25);
    rows.appendDateTime(4, QDateTime(QDate(2024, 3, 5), QTime(13, 4, 5)));
    rows.appendBool(5, true);
    rows.appendBytes(6, "\xff");
    rows.endRow();

    rows.appendInt(0, -2);
    rows.appendText(1, "");
    rows.appendNull(2);
    rows.appendNull(3);
    rows.appendDateTime(4, QDateTime(QDate(2024, 3, 6), QTime(0, 0)));
    rows.appendBool(5, false);
    rows.appendNull(6);
    rows.endRow();

    rows.appendInt(0, 3);
    rows.appendText(1, "two\nlines \"q\"");
    rows.appendDecimal(2, "-0.01");
    rows.appendDouble(3, 1e20);
    rows.appendNull(4);
    rows.appendNull(5);
    rows.appendBytes(6, "ab");
    rows.endRow();
    return rows;
}

QByteArray writeAll(const QString& delimiter, bool header, std::int64_t& rowsWritten, Dataset& ds) {
    const QString path = test::freshDir("writer") + "/out.txt";
    OutputFile out(path);
    DelimitedWriter writer(out, delimiter, QLocale(QStringLiteral("de_DE")));
    if (header)
        writer.writeHeader(ds);
    writer.writeRecords(ds, rowsWritten);
    out.close();
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

// The file's lines, split at CR LF only (a bare LF inside a value stays in its line).
std::vector<std::string> lines(const QByteArray& file) {
    std::vector<std::string> out;
    const std::string text = file.toStdString();
    for (std::size_t begin = 0, end; (end = text.find("\r\n", begin)) != std::string::npos;
         begin = end + 2)
        out.push_back(text.substr(begin, end - begin));
    return out;
}

TEST(DelimitedWriterTest, WritesHeaderAndEveryRecordWithCrLf) {
    Dataset ds(QStringLiteral("ADOQry1"));
    ds.open(sample());
    std::int64_t n = 0;
    const QByteArray file = writeAll(QStringLiteral(","), true, n, ds);
    EXPECT_EQ(n, 3);
    EXPECT_EQ(file.toStdString(),
              "id,\"name, full\",amount,ratio,at,ok,raw\r\n"
              "1,\"Smith, John\",\"10,50\",\"0,25\",05.03.2024 13:04:05,True,\xc3\xbf\r\n"
              "-2,,,,06.03.2024,False,\r\n"
              "3,\"two\nlines \"\"q\"\"\",\"-0,01\",1E20,,,ab\r\n");
}

TEST(DelimitedWriterTest, OtherDelimiterWithoutHeader) {
    Dataset ds(QStringLiteral("ADOQry1"));
    ds.open(sample());
    std::int64_t n = 0;
    const QByteArray file = writeAll(QStringLiteral(";"), false, n, ds);
    EXPECT_EQ(file.toStdString(), "1;Smith, John;10,50;0,25;05.03.2024 13:04:05;True;\xc3\xbf\r\n"
                                  "-2;;;;06.03.2024;False;\r\n"
                                  "3;\"two\nlines \"\"q\"\"\";-0,01;1E20;;;ab\r\n");
}

// Numbers and booleans are quoted too when the delimiter can occur in their text.
TEST(DelimitedWriterTest, DelimiterInsideNumbersAndBooleans) {
    const struct {
        const char* delimiter;
        int line;
        const char* expected;
    } cases[] = {
        {"0", 0, "10Smith, John0\"10,50\"0\"0,25\"0\"05.03.2024 13:04:05\"0True0\xc3\xbf"},
        {"E", 2, "3E\"two\nlines \"\"q\"\"\"E-0,01E\"1E20\"EEEab"},
        {"ru", 0, "1ruSmith, Johnru10,50ru0,25ru05.03.2024 13:04:05ru\"True\"ru\xc3\xbf"},
        {"1E", 2, "31E\"two\nlines \"\"q\"\"\"1E-0,011E\"1E20\"1E1E1Eab"},
    };
    for (const auto& c : cases) {
        Dataset ds(QStringLiteral("ADOQry1"));
        ds.open(sample());
        std::int64_t n = 0;
        const QByteArray file = writeAll(QString::fromUtf8(c.delimiter), false, n, ds);
        EXPECT_EQ(lines(file).at(std::size_t(c.line)), c.expected) << c.delimiter;
    }
}

TEST(DelimitedWriterTest, FollowsTheSortAndEndsAtTheLastRecord) {
    Dataset ds(QStringLiteral("ADOQry1"));
    ds.open(sample());
    ds.setSort(QStringLiteral("id ASC"));
    std::int64_t n = 0;
    const QByteArray file = writeAll(QStringLiteral("\t"), false, n, ds);
    EXPECT_TRUE(file.startsWith("-2\t"));
    EXPECT_TRUE(ds.eof());
    EXPECT_EQ(ds.recNo(), 3);
}

TEST(DelimitedWriterTest, NoRecordsGivesTheHeaderOnly) {
    ResultSet rows;
    rows.addColumn(column("a", ColumnKind::Int64));
    rows.addColumn(column("b", ColumnKind::Text));
    Dataset ds(QStringLiteral("ADOQry1"));
    ds.open(std::move(rows));
    std::int64_t n = 0;
    EXPECT_EQ(writeAll(QStringLiteral("||"), true, n, ds), "a||b\r\n");
    EXPECT_EQ(n, 0);
}

} // namespace
} // namespace velmora
