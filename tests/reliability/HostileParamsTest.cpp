// Hostile parameter values against real databases: whatever a user types or picks, the statement
// that reaches the database is the author's statement with each value as one literal, or the
// numeric check refuses the value. The verbatim V pick types are the documented exception: their
// choices are SQL written by the query's author.
#include "RelDb.h"
#include "TestEnv.h"

#include "params/MarkerScan.h"
#include "params/NumberText.h"
#include "params/ParamType.h"
#include "params/Substitution.h"
#include "params/TCheckedComboBox.h"

#include <gtest/gtest.h>

#include <QSet>

#include <algorithm>
#include <functional>

using namespace velmora;
using namespace velmora::test;

namespace {

// Values with quotes, statement separators, comment markers, markers of this and other
// parameters, line breaks, dollar quoting and backslash escapes.
const QStringList kHostileTexts = {
    QStringLiteral("O'Brien"),
    QStringLiteral("'"),
    QStringLiteral("''"),
    QStringLiteral("'; DROP TABLE probe; --"),
    QStringLiteral("' OR '1'='1"),
    QStringLiteral("\\'; SELECT 1; --"),
    QStringLiteral("-- not a comment"),
    QStringLiteral("/* opens a comment"),
    QStringLiteral("closes a comment */"),
    QStringLiteral("a;b;c"),
    QStringLiteral("?NUM_n?"),
    QStringLiteral("?STR_v?"),
    QStringLiteral("?str_V?"),
    QStringLiteral("?TEXT_v?"),
    QStringLiteral("\"double\" quotes"),
    QStringLiteral("$$dollar$$ $q$"),
    QStringLiteral("E'\\x41'"),
    QStringLiteral("   padded   "),
    QStringLiteral(""),
    QStringLiteral("%_ wildcards"),
    QStringLiteral("\ttab"),
    QStringLiteral("Ünïcødé ☃ 𝄞"),
    QStringLiteral("two\nlines"),
    QStringLiteral("cr\r\nlf"),
};

// Texts the numeric check must refuse; each would change the statement if it went in unquoted.
const QStringList kNonNumbers = {
    QStringLiteral("1; DROP TABLE probe"),
    QStringLiteral("1 OR 1=1"),
    QStringLiteral("1--"),
    QStringLiteral("1/*"),
    QStringLiteral("0x1F"),
    QStringLiteral("1,5"),
    QStringLiteral("."),
    QStringLiteral("e5"),
    QStringLiteral("1e"),
    QStringLiteral("?STR_v?"),
    QStringLiteral("'1'"),
    QStringLiteral("1)"),
    QStringLiteral("(1)"),
    QStringLiteral("NaN"),
    QStringLiteral("Infinity"),
    QStringLiteral("- 1"),
    QStringLiteral(""),
    QStringLiteral("1 2"),
};

const QStringList kNumbers = {QStringLiteral("42"),  QStringLiteral(" 12.5 "),
                              QStringLiteral("+.5"), QStringLiteral("5."),
                              QStringLiteral("1e3"), QStringLiteral("-7E-2")};

bool singleLine(const QString& s) {
    return !s.contains(QLatin1Char('\n')) && !s.contains(QLatin1Char('\r'));
}

class HostileParams : public ::testing::TestWithParam<Db> {
protected:
    void SetUp() override {
        if (GetParam() == Db::SQLite) {
            const QString file =
                makeSqliteDb(freshDir(QStringLiteral("hostile")), QStringLiteral("hostile.db"),
                             "CREATE TABLE unused(x);");
            dm.ADOConn1.setConnectionString(QStringLiteral("Provider=SQLite;Data Source=") + file);
        } else {
            const auto pg = pgServer();
            if (!pg)
                GTEST_SKIP() << "no PostgreSQL server (VELMORA_TEST_PG_PORT)";
            dm.ADOConn1.setConnectionString(pg->connectionString());
        }
        dm.ADOConn1.open();
        // A table of its own per session; the values go in as hexadecimal UTF-8, so no quoting
        // of ours is involved in making the expected data.
        execute(dm, QStringLiteral("CREATE TEMP TABLE probe (s TEXT)"));
        for (const QString& v : kHostileTexts)
            execute(dm, QStringLiteral("INSERT INTO probe VALUES (%1)").arg(fromHex(v)));
    }

    QString fromHex(const QString& v) const {
        const QString hex = QString::fromLatin1(v.toUtf8().toHex());
        if (GetParam() == Db::SQLite)
            return QStringLiteral("CAST(X'%1' AS TEXT)").arg(hex);
        return QStringLiteral("convert_from(decode('%1', 'hex'), 'UTF8')").arg(hex);
    }

    // The author's statement with its markers replaced by the rows' values, as the parameter
    // stage does it, then run.
    std::vector<QStringList> run(const QString& sql,
                                 const std::function<void(int, ParamRow&)>& fill) {
        const MarkerScan scan = fnScanMarkers(sql);
        EXPECT_FALSE(scan.invalidType.has_value()) << sql.toStdString();
        std::vector<ParamRow> rows(static_cast<std::size_t>(scan.names.size()));
        for (std::size_t i = 0; i < rows.size(); ++i)
            fill(int(i), rows[i]);
        QString prepared = sql;
        fnSubstituteParams(prepared, scan.types, scan.names, rows, QStringLiteral(":"));
        lastSql = prepared;
        return fetchAll(dm, prepared);
    }

    Tdm1 dm;
    QString lastSql;
};

// Every type that writes its value in quotes: the value comes back from the database unchanged
// and matches exactly the one row that holds it. A marker of an earlier parameter or of the
// parameter itself inside a value stays text.
TEST_P(HostileParams, QuotedTypesArriveAsOneLiteral) {
    struct Slot {
        const char* type;
        QString ParamRow::*slot;
    };
    const Slot cases[] = {
        {"STR", &ParamRow::ValueEdit},        {"PWD", &ParamRow::ValueEdit},
        {"TEXT", &ParamRow::ValueMemo},       {"SFIXPICKW", &ParamRow::ValueCombo},
        {"SFIXPICKR", &ParamRow::ValueCombo}, {"SSQLPICKW", &ParamRow::ValueCombo},
        {"SSQLPICKR", &ParamRow::ValueCombo}};
    for (const Slot& s : cases) {
        const QString marker = QStringLiteral("?%1_v?").arg(QLatin1String(s.type));
        const QString sql =
            QStringLiteral("SELECT ?NUM_n? AS n, %1 AS v, s FROM probe WHERE s = %1").arg(marker);
        for (const QString& value : kHostileTexts) {
            if (!singleLine(value) && s.slot != &ParamRow::ValueMemo)
                continue; // only the multi-line box can hold a line break
            SCOPED_TRACE(std::string(s.type) + " " + value.toStdString());
            const auto rows = run(sql, [&](int i, ParamRow& row) {
                if (i == 0)
                    row.ValueEdit = QStringLiteral("7");
                else
                    row.*(s.slot) = value;
            });
            ASSERT_EQ(rows.size(), 1u) << lastSql.toStdString();
            EXPECT_EQ(rows[0], (QStringList{QStringLiteral("7"), value, value}))
                << lastSql.toStdString();
        }
    }
}

// The list types: every line or ticked item is one literal, so the statement finds exactly the
// rows that hold those texts.
TEST_P(HostileParams, ListTypesArriveAsOneLiteralPerItem) {
    QStringList lines;
    for (const QString& v : kHostileTexts)
        if (singleLine(v))
            lines.append(v);
    const QSet<QString> expected(lines.begin(), lines.end());
    auto found = [](const std::vector<QStringList>& rows) {
        QSet<QString> texts;
        for (const QStringList& r : rows)
            texts.insert(r[0]);
        return texts;
    };

    for (const char* breakText : {"\n", "\r\n"}) {
        const auto rows =
            run(QStringLiteral("SELECT s FROM probe WHERE s IN ?SLIST_v?"),
                [&](int, ParamRow& row) { row.ValueMemo = lines.join(QLatin1String(breakText)); });
        EXPECT_EQ(found(rows), expected) << lastSql.toStdString();
    }

    // The checked combo box hands out its ticked items quoted; every item, line breaks too.
    TCheckedComboBox combo;
    combo.setItems(kHostileTexts);
    combo.setQuoteStyle(TCHBQuoteStyle::qsSingle);
    combo.SelectAllClick();
    ASSERT_EQ(combo.checkedItems().size(), kHostileTexts.size());
    const QSet<QString> all(kHostileTexts.begin(), kHostileTexts.end());
    for (const char* type : {"SFIXPICKC", "SSQLPICKC"}) {
        SCOPED_TRACE(type);
        const auto rows =
            run(QStringLiteral("SELECT s FROM probe WHERE s IN ?%1_v?").arg(QLatin1String(type)),
                [&](int, ParamRow& row) { row.ValueCheckedCombo = combo.GetValueText(); });
        EXPECT_EQ(found(rows), all) << lastSql.toStdString();
    }
}

// The numeric types write their value unquoted, so the numeric check is what keeps the statement
// whole: it refuses every text that is not a number, and the numbers it lets through arrive as
// numbers.
TEST_P(HostileParams, NumericTypesRefuseNonNumbersAndPassNumbers) {
    for (const char* type : {"NUM", "NLIST", "NFIXPICKW", "NFIXPICKR", "NSQLPICKW", "NSQLPICKR",
                             "NFIXPICKC", "NSQLPICKC"})
        EXPECT_TRUE(fnIsNumericType(*fnParseParamType(QLatin1String(type)))) << type;
    for (const QString& v : kNonNumbers)
        EXPECT_FALSE(fnIsStrFloatNum(v)) << v.toStdString();
    for (const QString& v : kHostileTexts)
        EXPECT_FALSE(fnIsStrFloatNum(v)) << v.toStdString();

    for (const QString& number : kNumbers) {
        ASSERT_TRUE(fnIsStrFloatNum(number)) << number.toStdString();
        for (const auto& [type, slot] :
             {std::pair{"NUM", &ParamRow::ValueEdit}, std::pair{"NFIXPICKW", &ParamRow::ValueCombo},
              std::pair{"NSQLPICKR", &ParamRow::ValueCombo}}) {
            SCOPED_TRACE(std::string(type) + " " + number.toStdString());
            const auto rows = run(QStringLiteral("SELECT ?%1_v? AS v").arg(QLatin1String(type)),
                                  [&](int, ParamRow& row) { row.*slot = number; });
            ASSERT_EQ(rows.size(), 1u) << lastSql.toStdString();
            EXPECT_DOUBLE_EQ(rows[0][0].toDouble(), number.trimmed().toDouble())
                << lastSql.toStdString();
        }
    }
    const QString list = kNumbers.join(QLatin1Char('\n'));
    EXPECT_EQ(run(QStringLiteral("SELECT 1 AS one WHERE 42 IN ?NLIST_v?"),
                  [&](int, ParamRow& row) { row.ValueMemo = list; })
                  .size(),
              1u)
        << lastSql.toStdString();
    EXPECT_EQ(
        run(QStringLiteral("SELECT 1 AS one WHERE 42 IN ?NFIXPICKC_v?"),
            [&](int, ParamRow& row) { row.ValueCheckedCombo = kNumbers.join(QLatin1Char(',')); })
            .size(),
        1u)
        << lastSql.toStdString();
}

// Dates and times come from pickers, not from free text; their extremes still render as one
// literal the database reads back.
TEST_P(HostileParams, DateAndTimeTypesRenderOneLiteral) {
    const struct {
        const char* type;
        QDate date;
        QTime time;
        const char* expected;
    } cases[] = {{"DATE", QDate(1, 1, 1), {}, "0001-01-01"},
                 {"DATE", QDate(9999, 12, 31), {}, "9999-12-31"},
                 {"TIME", {}, QTime(23, 59, 59), "23:59:59"},
                 {"DT", QDate(2024, 2, 29), QTime(0, 0, 0), "2024-02-29 00:00:00"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        const auto rows = run(QStringLiteral("SELECT ?%1_v? AS v").arg(QLatin1String(c.type)),
                              [&](int, ParamRow& row) {
                                  row.DatePicker = c.date;
                                  row.TimePicker = c.time;
                              });
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0][0], QLatin1String(c.expected)) << lastSql.toStdString();
    }
}

// The documented exception: a V type's choice is SQL from the query's author and goes in as it
// stands.
TEST_P(HostileParams, VerbatimTypesInsertTheAuthorsSql) {
    for (const char* type : {"VFIXPICKR", "VSQLPICKR"}) {
        const auto rows =
            run(QStringLiteral("SELECT ?%1_v? AS v").arg(QLatin1String(type)),
                [](int, ParamRow& row) { row.ValueCombo = QStringLiteral("40 + 2"); });
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0][0], QStringLiteral("42"));
    }
}

INSTANTIATE_TEST_SUITE_P(Databases, HostileParams, ::testing::Values(Db::SQLite, Db::PostgreSQL),
                         [](const auto& info) { return std::string(dbName(info.param)); });

} // namespace
