#include "query/QueryFileReader.h"
#include "query/LineCodec.h"

#include "TestEnv.h"

#include <QFile>
#include <gtest/gtest.h>

namespace velmora {
namespace {

struct SplitCase {
    const char* name;
    QByteArray bytes;
    std::vector<QByteArray> lines;
};

class Split : public ::testing::TestWithParam<SplitCase> {};

TEST_P(Split, FollowsTheLineRules) {
    EXPECT_EQ(fnSplitQueryFileLines(GetParam().bytes), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Split,
    ::testing::Values(SplitCase{"Empty", "", {}}, SplitCase{"CrLf", "a\r\nb\r\n", {"a", "b"}},
                      SplitCase{"LoneLf", "a\nb", {"a", "b"}},
                      SplitCase{"LoneCrDropped", "a\rb\r\nc", {"ab", "c"}},
                      SplitCase{"EmptyLines", "\r\n\r\nx", {"", "", "x"}},
                      SplitCase{"Ctrl26EndsTheFile", QByteArray("a\r\nb\x1a\r\nc\r\n"), {"a", "b"}},
                      SplitCase{"Ctrl26First",
                                QByteArray("\x1a"
                                           "a\r\n"),
                                {}},
                      SplitCase{"NulKept", QByteArray("a\0b\r\n", 5), {QByteArray("a\0b", 3)}},
                      SplitCase{
                          "LongLine", QByteArray(1 << 20, '7') + "\n", {QByteArray(1 << 20, '7')}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(QueryText, IsUtf8ElseWindows1252) {
    EXPECT_EQ(fnQueryBytesToText("Caf\xc3\xa9"), QStringLiteral("Café"));
    EXPECT_EQ(fnQueryBytesToText("Caf\xe9 \x80 \x93x\x94 \x81"),
              QStringLiteral("Café € \u201cx\u201d \u0081"));
    EXPECT_EQ(fnQueryBytesToText(QByteArray("a\0b", 3)), QString::fromUtf8("a\0b", 3));
}

QByteArray kvf(const QByteArray& description, const QByteArray& connection,
               const QList<QByteArray>& sql, const char* ending = "\r\n") {
    QByteArray out =
        fnEncodeLine(description, '\0') + ending + fnEncodeLine(connection, '-') + ending;
    for (const QByteArray& line : sql)
        out += fnEncodeLine(line, '\0') + ending;
    return out;
}

TEST(QueryFile, DecodesEachLineWithItsSeparator) {
    const QueryFile q =
        fnParseQueryFile(kvf("Sales \xe9t\xe9", "Provider=SQLite;Data Source=a-b.db",
                             {"SELECT 1", "", "-- x\xc3\xa9"}, "\n"));
    EXPECT_EQ(q.lineCount, 5);
    EXPECT_EQ(q.description, QStringLiteral("Sales été"));
    EXPECT_EQ(q.connectionString, QStringLiteral("Provider=SQLite;Data Source=a-b.db"));
    EXPECT_EQ(q.sqlLines,
              (QStringList{QStringLiteral("SELECT 1"), QString(), QStringLiteral("-- xé")}));
}

TEST(QueryFile, ToleratesAByteOrderMark) {
    const QueryFile q = fnParseQueryFile("\xEF\xBB\xBF" + kvf("d", "c", {}));
    EXPECT_EQ(q.description, QStringLiteral("d"));
    EXPECT_EQ(q.connectionString, QStringLiteral("c"));
    EXPECT_TRUE(q.sqlLines.isEmpty());
}

TEST(QueryFile, ReadFailuresNameTheFileAndTheReason) {
    const QString dir = test::freshDir(QStringLiteral("reader"));
    try {
        fnReadQueryFile(dir + QStringLiteral("/missing.kvf"));
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(
            QString::fromUtf8(e.what()),
            QStringLiteral("Cannot read query file \"%1/missing.kvf\": No such file or directory")
                .arg(dir));
    }
    try {
        fnReadQueryFile(dir);
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).endsWith(QStringLiteral(": Is a directory")))
            << e.what();
    }
    EXPECT_EQ(fnReadQueryDescription(dir + QStringLiteral("/missing.kvf")), QString());

    QFile f(dir + QStringLiteral("/q.kvf"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(kvf("First line", "c", {"x"}));
    f.close();
    EXPECT_EQ(fnReadQueryDescription(f.fileName()), QStringLiteral("First line"));
    EXPECT_EQ(fnReadQueryFile(f.fileName()).sqlLines, QStringList{QStringLiteral("x")});
}

} // namespace
} // namespace velmora
