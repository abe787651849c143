// The data-access layer against real databases: SQLite files, the SQLite ODBC driver and the
// PostgreSQL server of tests/services.sh.
#include "DbTestSupport.h"

#include "query/Tdm1.h"

#include "TestEnv.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace velmora {
namespace {

struct Expect {
    const char* column;
    FieldType type;
    ColumnKind kind;
    QVariant value;         // row 1
    bool nullInRow2 = true; // row 2 holds NULL in every column of the table
};

void checkColumns(Tdm1& dm, const std::vector<Expect>& expected) {
    Query& q = dm.ADOQry1;
    ASSERT_TRUE(q.active());
    ASSERT_GE(q.fieldCount(), int(expected.size()));
    ASSERT_EQ(q.recordCount(), 2);
    for (int c = 0; c < int(expected.size()); ++c) {
        const Expect& e = expected[std::size_t(c)];
        const FieldInfo& f = q.field(c);
        EXPECT_EQ(f.name, QString::fromUtf8(e.column));
        EXPECT_EQ(fieldTypeName(f.type), fieldTypeName(e.type)) << e.column;
        EXPECT_EQ(int(f.kind), int(e.kind)) << e.column;
        EXPECT_EQ(q.rows().value(0, c), e.value)
            << e.column << " is " << qPrintable(q.rows().value(0, c).toString());
        EXPECT_EQ(q.rows().isNull(1, c), e.nullInRow2) << e.column;
    }
}

class Sqlite : public ::testing::Test {
protected:
    void SetUp() override {
        dir = test::freshDir(QStringLiteral("sqlite"));
        db = test::makeSqliteDb(dir, QStringLiteral("types.db"), R"(
            CREATE TABLE t (i INTEGER, bi BIGINT, r REAL, d DECIMAL(12,2), n NUMERIC, dt DATE,
                            ts DATETIME, tm TIME, b BOOLEAN, s VARCHAR(20), m TEXT, bl BLOB);
            INSERT INTO t VALUES (42, 9007199254740993, 2.5, 12.5, 7, '2024-02-29',
                                  '2024-02-29 13:45:10.250', '07:08:09', 1, 'Zoë', 'memo', x'00ff');
            INSERT INTO t VALUES (NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL);
            CREATE TABLE names (id INTEGER, name TEXT);
            INSERT INTO names VALUES (1, 'b'), (2, NULL), (3, 'a'), (4, 'B'), (5, 'a');
        )");
        previous = QDir::currentPath();
        QDir::setCurrent(dir);
    }
    void TearDown() override { QDir::setCurrent(previous); }

    void connect(const QString& cs) {
        dm.ADOConn1.setConnectionString(cs);
        dm.ADOConn1.open();
        ASSERT_TRUE(dm.ADOConn1.connected());
    }
    void run(const char* sql) {
        dm.ADOQry1.setSql(QString::fromUtf8(sql));
        dm.ADOQry1.openQuery();
    }
    QString dir, db, previous;
    Tdm1 dm;
};

const char* kTypesQuery = "SELECT t.*, 1 + 1 AS e_int, 'x' AS e_text, NULL AS e_null, 0.5 AS e_real"
                          " FROM t ORDER BY rowid";

TEST_F(Sqlite, MapsDeclaredTypesAndExpressionValues) {
    connect(
        QStringLiteral("Provider=SQLite;Data Source=types.db")); // relative to the current folder
    run(kTypesQuery);
    checkColumns(dm,
                 {
                     {"i", FieldType::ftInteger, ColumnKind::Int64, qint64(42)},
                     {"bi", FieldType::ftLargeint, ColumnKind::Int64, qint64(9007199254740993LL)},
                     {"r", FieldType::ftFloat, ColumnKind::Double, 2.5},
                     {"d", FieldType::ftBCD, ColumnKind::Decimal, QStringLiteral("12.50")},
                     {"n", FieldType::ftBCD, ColumnKind::Decimal, QStringLiteral("7")},
                     {"dt", FieldType::ftDate, ColumnKind::Date, QDate(2024, 2, 29)},
                     {"ts", FieldType::ftDateTime, ColumnKind::DateTime,
                      QDateTime(QDate(2024, 2, 29), QTime(13, 45, 10, 250))},
                     {"tm", FieldType::ftTime, ColumnKind::Time, QTime(7, 8, 9)},
                     {"b", FieldType::ftBoolean, ColumnKind::Bool, true},
                     {"s", FieldType::ftString, ColumnKind::Text, QStringLiteral("Zoë")},
                     {"m", FieldType::ftMemo, ColumnKind::Text, QStringLiteral("memo")},
                     {"bl", FieldType::ftBlob, ColumnKind::Bytes, QByteArray("\0\xff", 2)},
                 });
    // The expressions: not NULL in both rows, except e_null.
    const Query& q = dm.ADOQry1;
    ASSERT_EQ(q.fieldCount(), 16);
    EXPECT_EQ(q.field(12).type, FieldType::ftInteger);
    EXPECT_EQ(q.rows().value(1, 12), QVariant(qint64(2)));
    EXPECT_EQ(q.field(13).type, FieldType::ftString);
    EXPECT_EQ(q.field(14).type, FieldType::ftString);
    EXPECT_TRUE(q.rows().isNull(0, 14));
    EXPECT_EQ(q.field(15).type, FieldType::ftFloat);
    EXPECT_EQ(q.field(9).displayWidth, 20);
}

TEST_F(Sqlite, SortsFetchedRowsAndKeepsBookmarks) {
    connect(QStringLiteral("Provider=SQLite;Data Source=") + db);
    run("SELECT id, name FROM names");
    Query& q = dm.ADOQry1;
    q.moveTo(3);
    const auto mark = q.bookmark();
    q.setSort(QStringLiteral("name ASC"));
    std::vector<int> ids;
    for (q.first(); !q.eof(); q.next())
        ids.push_back(q.value(0).toInt());
    EXPECT_EQ(ids, (std::vector<int>{2, 3, 5, 4, 1})); // letter case only breaks ties
    q.gotoBookmark(mark);
    EXPECT_EQ(q.value(0).toInt(), 3);
}

TEST_F(Sqlite, StatementsWithoutRowsRunAndSaySo) {
    connect(QStringLiteral("Provider=SQLite;Data Source=types.db"));
    for (const char* sql :
         {"UPDATE names SET name = 'z' WHERE id = 2", "", "  -- only a comment"}) {
        dm.ADOQry1.setSql(QString::fromUtf8(sql));
        try {
            dm.ADOQry1.openQuery();
            ADD_FAILURE() << sql;
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "ADOQry1: CommandText does not return a result set") << sql;
        }
        EXPECT_FALSE(dm.ADOQry1.active());
    }
    run("SELECT name FROM names WHERE id = 2");
    EXPECT_EQ(dm.ADOQry1.value(0), QVariant(QStringLiteral("z")));
}

TEST_F(Sqlite, ReportsTheDatabasesMessages) {
    connect(QStringLiteral("Provider=SQLite;Data Source=types.db"));
    struct Case {
        const char* sql;
        const char* message;
    };
    for (const Case& c : {Case{"SELEC 1", "near \"SELEC\": syntax error"},
                          Case{"SELECT nope FROM t", "no such column: nope"}}) {
        dm.ADOQry1.setSql(QString::fromUtf8(c.sql));
        try {
            dm.ADOQry1.openQuery();
            ADD_FAILURE() << c.sql;
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
    // A failed statement leaves the connection usable.
    run("SELECT count(*) FROM t");
    EXPECT_EQ(dm.ADOQry1.value(0), QVariant(qint64(2)));
}

TEST_F(Sqlite, ClosingTheConnectionClosesTheResult) {
    connect(QStringLiteral("Provider=SQLite;Data Source=types.db"));
    run("SELECT * FROM names");
    dm.ADOConn1.close();
    EXPECT_FALSE(dm.ADOConn1.connected());
    EXPECT_FALSE(dm.ADOQry1.active());
    dm.ADOQry1.setSql(QStringLiteral("SELECT 1"));
    EXPECT_THROW(dm.ADOQry1.openQuery(), std::runtime_error);
}

TEST_F(Sqlite, ConnectionsAreIndependent) {
    connect(QStringLiteral("Provider=SQLite;Data Source=types.db"));
    Tdm1 other;
    other.ADOConn1.setConnectionString(QStringLiteral("Driver=SQLite3;Database=") + db);
    other.ADOConn1.open();
    run("SELECT count(*) FROM names");
    other.ADOQry1.setSql(QStringLiteral("SELECT count(*) FROM t"));
    other.ADOQry1.openQuery();
    EXPECT_EQ(dm.ADOQry1.value(0).toInt(), 5);
    EXPECT_EQ(other.ADOQry1.value(0).toInt(), 2);
}

// Refusals before anything is opened; a missing SQLite file is never created.
TEST_F(Sqlite, RefusesBadConnectionStrings) {
    struct Case {
        QString connection;
        QString message;
    };
    const Case cases[] = {
        {QStringLiteral("-"),
         QStringLiteral("Invalid connection string \"-\": \"-\" is not a key=value item")},
        {QStringLiteral("Provider=SQLOLEDB.1;Data Source=x"),
         QStringLiteral(
             "The provider \"SQLOLEDB.1\" is not supported (use SQLite, PostgreSQL or MSDASQL)")},
        {QStringLiteral("Data Source=x.db"),
         QStringLiteral(
             "The connection string \"Data Source=x.db\" names no provider (Provider=SQLite, "
             "Provider=PostgreSQL, or an ODBC Driver= or DSN=)")},
        {QStringLiteral("Provider=SQLite"),
         QStringLiteral("The connection string names no SQLite database (Data Source=...)")},
        {QStringLiteral("Provider=SQLite;Data Source=missing.db"),
         QStringLiteral("SQLite database not found: %1/missing.db").arg(dir)},
        {QStringLiteral("Driver=SQLite3;Database=missing.db"),
         QStringLiteral("SQLite database not found: %1/missing.db").arg(dir)},
        {QStringLiteral("Provider=SQLite;Data Source=."),
         QStringLiteral("SQLite database is a folder: %1").arg(dir)},
        {QStringLiteral("Provider=PostgreSQL;Port=http"),
         QStringLiteral("Invalid port \"http\" in the connection string")},
    };
    for (const Case& c : cases) {
        dm.ADOConn1.setConnectionString(c.connection);
        try {
            dm.ADOConn1.open();
            ADD_FAILURE() << qPrintable(c.connection);
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(QString::fromUtf8(e.what()), c.message);
        }
        EXPECT_FALSE(dm.ADOConn1.connected());
    }
    EXPECT_FALSE(QFile::exists(dir + QStringLiteral("/missing.db")));

    QFile junk(dir + QStringLiteral("/junk.db"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'j'));
    junk.close();
    dm.ADOConn1.setConnectionString(QStringLiteral("Provider=SQLite;Data Source=junk.db"));
    try {
        dm.ADOConn1.open();
        ADD_FAILURE();
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(QString::fromUtf8(e.what()),
                  QStringLiteral("file is not a database: %1/junk.db").arg(dir));
    }
}

TEST_F(Sqlite, OdbcDriverMapsTheSameTable) {
    connect(QStringLiteral("Provider=MSDASQL;Driver=SQLite3;Database=types.db"));
    run(kTypesQuery);
    ASSERT_EQ(dm.ADOQry1.fieldCount(), 16);
    checkColumns(dm,
                 {
                     {"i", FieldType::ftInteger, ColumnKind::Int64, qint64(42)},
                     {"bi", FieldType::ftLargeint, ColumnKind::Int64, qint64(9007199254740993LL)},
                     {"r", FieldType::ftFloat, ColumnKind::Double, 2.5},
                     // The SQLite ODBC driver reports DECIMAL as VARCHAR and NUMERIC as DOUBLE.
                     {"d", FieldType::ftString, ColumnKind::Text, QStringLiteral("12.5")},
                     {"n", FieldType::ftFloat, ColumnKind::Double, 7.0},
                     {"dt", FieldType::ftDate, ColumnKind::Date, QDate(2024, 2, 29)},
                     {"ts", FieldType::ftDateTime, ColumnKind::DateTime,
                      QDateTime(QDate(2024, 2, 29), QTime(13, 45, 10, 250))},
                     {"tm", FieldType::ftTime, ColumnKind::Time, QTime(7, 8, 9)},
                     {"b", FieldType::ftBoolean, ColumnKind::Bool, true},
                     {"s", FieldType::ftString, ColumnKind::Text, QStringLiteral("Zoë")},
                     {"m", FieldType::ftMemo, ColumnKind::Text, QStringLiteral("memo")},
                     {"bl", FieldType::ftBlob, ColumnKind::Bytes, QByteArray("\0\xff", 2)},
                     {"e_int", FieldType::ftInteger, ColumnKind::Int64, qint64(2), false},
                     {"e_text", FieldType::ftString, ColumnKind::Text, QStringLiteral("x"), false},
                     {"e_null", FieldType::ftString, ColumnKind::Text, QVariant()},
                     {"e_real", FieldType::ftFloat, ColumnKind::Double, 0.5, false},
                 });
}

class Postgres : public ::testing::Test {
protected:
    void connect(const QString& cs) {
        dm.ADOConn1.setConnectionString(cs);
        dm.ADOConn1.open();
    }
    Tdm1 dm;
};

TEST_F(Postgres, MapsTypesAndKeepsExactDecimals) {
    VELMORA_REQUIRE_PG(pg);
    ASSERT_NO_THROW(connect(pg.connectionString()))
        << "PostgreSQL on port " << pg.port << " does not answer";
    test::execute(dm, QStringLiteral(R"(
        CREATE TEMP TABLE t (i int4, bi int8, si int2, r float8, d numeric(12,2), n numeric(20,0),
            f numeric(30,12), dt date, ts timestamp(3), tm time, b boolean, s varchar(20), c char(3),
            m text, bl bytea, u uuid);
        INSERT INTO t VALUES (42, 9007199254740993, -7, 2.5, 12.5, 12345678901234567890,
            -0.000000000001, '2024-02-29', '2024-02-29 13:45:10.250', '07:08:09', true, 'Zoë', 'ab',
            'memo', '\x00ff', 'a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11');
        INSERT INTO t DEFAULT VALUES;)"));
    dm.ADOQry1.setSql(QStringLiteral("SELECT * FROM t ORDER BY i NULLS LAST"));
    dm.ADOQry1.openQuery();
    checkColumns(
        dm,
        {
            {"i", FieldType::ftInteger, ColumnKind::Int64, qint64(42)},
            {"bi", FieldType::ftLargeint, ColumnKind::Int64, qint64(9007199254740993LL)},
            {"si", FieldType::ftSmallint, ColumnKind::Int64, qint64(-7)},
            {"r", FieldType::ftFloat, ColumnKind::Double, 2.5},
            {"d", FieldType::ftBCD, ColumnKind::Decimal, QStringLiteral("12.50")},
            {"n", FieldType::ftBCD, ColumnKind::Decimal, QStringLiteral("12345678901234567890")},
            {"f", FieldType::ftBCD, ColumnKind::Decimal, QStringLiteral("-0.000000000001")},
            {"dt", FieldType::ftDate, ColumnKind::Date, QDate(2024, 2, 29)},
            {"ts", FieldType::ftDateTime, ColumnKind::DateTime,
             QDateTime(QDate(2024, 2, 29), QTime(13, 45, 10, 250))},
            {"tm", FieldType::ftTime, ColumnKind::Time, QTime(7, 8, 9)},
            {"b", FieldType::ftBoolean, ColumnKind::Bool, true},
            {"s", FieldType::ftString, ColumnKind::Text, QStringLiteral("Zoë")},
            {"c", FieldType::ftString, ColumnKind::Text, QStringLiteral("ab ")},
            {"m", FieldType::ftMemo, ColumnKind::Text, QStringLiteral("memo")},
            {"bl", FieldType::ftBlob, ColumnKind::Bytes, QByteArray("\0\xff", 2)},
            {"u", FieldType::ftGuid, ColumnKind::Text,
             QStringLiteral("a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11")},
        });
    // As a number the decimal is a double; its text stays exact.
    EXPECT_DOUBLE_EQ(dm.ADOQry1.asFloat(5), 12345678901234567890.0);
    EXPECT_EQ(dm.ADOQry1.field(11).displayWidth, 20);
}

TEST_F(Postgres, UpdateHasNoRowSet) {
    VELMORA_REQUIRE_PG(pg);
    ASSERT_NO_THROW(connect(pg.connectionString()));
    test::execute(dm, QStringLiteral("CREATE TEMP TABLE u (x int); INSERT INTO u VALUES (1)"));
    dm.ADOQry1.setSql(QStringLiteral("UPDATE u SET x = 2"));
    try {
        dm.ADOQry1.openQuery();
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "ADOQry1: CommandText does not return a result set");
    }
    dm.ADOQry1.setSql(QStringLiteral("SELECT x, 'a:b' AS colon FROM u"));
    dm.ADOQry1.openQuery();
    EXPECT_EQ(dm.ADOQry1.value(0), QVariant(qint64(2)));
    EXPECT_EQ(dm.ADOQry1.value(1), QVariant(QStringLiteral("a:b")));
}

// Every backend reports a refused login with the same beginning, so the login retry works.
TEST_F(Postgres, RefusedLoginsBeginAlike) {
    VELMORA_REQUIRE_PG(pg);
    const QString odbc =
        QStringLiteral("Driver={PostgreSQL Unicode};Server=%1;Port=%2;Database=%3;Uid=%4;Pwd=wrong")
            .arg(pg.host)
            .arg(pg.port)
            .arg(pg.database, pg.user);
    for (const QString& cs : {pg.connectionString(QStringLiteral("wrong")), odbc}) {
        dm.ADOConn1.setConnectionString(cs);
        try {
            dm.ADOConn1.open();
            ADD_FAILURE() << qPrintable(cs);
        } catch (const std::runtime_error& e) {
            const QString m = QString::fromUtf8(e.what());
            EXPECT_TRUE(m.startsWith(QStringLiteral("Login failed for user \"%1\": ").arg(pg.user)))
                << e.what();
            EXPECT_TRUE(m.contains(QStringLiteral("password authentication failed for user")))
                << e.what();
        }
        EXPECT_FALSE(dm.ADOConn1.connected());
    }
}

TEST_F(Postgres, LoginPromptSuppliesTheCredentials) {
    VELMORA_REQUIRE_PG(pg);
    QStringList asked;
    std::optional<Credentials> answer = Credentials{pg.user, pg.password};
    dm.ADOConn1.loginPrompt = [&](const QString& user) {
        asked << user;
        return answer;
    };
    dm.ADOConn1.loginPromptEnabled = true;
    ASSERT_NO_THROW(connect(pg.connectionString(QStringLiteral("wrong"))));
    EXPECT_EQ(asked, QStringList{pg.user});
    EXPECT_TRUE(dm.ADOConn1.connected());

    answer.reset();
    try {
        connect(pg.connectionString());
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Database login cancelled");
    }
    EXPECT_FALSE(dm.ADOConn1.connected());
}

// A server that takes the connection and never answers: the caller's thread keeps handling its
// events (so windows paint) until the connect timeout ends the attempt.
TEST(DatabaseThread, KeepsTheCallerResponsiveWhileConnecting) {
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    socklen_t len = sizeof addr;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len);

    Tdm1 dm;
    dm.ADOConn1.setConnectionString(
        QStringLiteral("Provider=PostgreSQL;Host=127.0.0.1;Port=%1;Database=x;User "
                       "ID=u;Password=p;Connect Timeout=2")
            .arg(ntohs(addr.sin_port)));
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(50);
    QElapsedTimer clock;
    clock.start();
    EXPECT_THROW(dm.ADOConn1.open(), std::runtime_error);
    EXPECT_GE(clock.elapsed(), 1500);
    EXPECT_GE(ticks, 10);
    ::close(listener);
}

} // namespace
} // namespace velmora
