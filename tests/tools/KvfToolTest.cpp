// velmora-kvf run as a program: what it writes is read back with the program's own reader.
#include "query/QueryFileReader.h"

#include "TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

namespace velmora {
namespace {

struct ToolRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

ToolRun kvf(const QStringList& args, const QByteArray& input = {}) {
    QProcess p;
    p.start(qEnvironmentVariable("VELMORA_KVF"), args);
    EXPECT_TRUE(p.waitForStarted())
        << "VELMORA_KVF=" << qPrintable(qEnvironmentVariable("VELMORA_KVF"));
    p.write(input);
    p.closeWriteChannel();
    EXPECT_TRUE(p.waitForFinished(30000));
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(KvfTool, EncodesFromStandardInputAndDecodesBack) {
    const QString dir = test::freshDir(QStringLiteral("kvf"));
    const QString out = dir + QStringLiteral("/q.kvf");
    // A Windows-1252 byte in the SQL stays a byte; the file is read back as Windows-1252 text.
    const ToolRun enc =
        kvf({QStringLiteral("encode"), QStringLiteral("-d"), QStringLiteral("Über – uns"),
             QStringLiteral("-c"), QStringLiteral("Provider=SQLite;Data Source=a-b.db"),
             QStringLiteral("-o"), out},
            "SELECT 'caf\xe9'\r\n\r\nFROM t\n");
    ASSERT_EQ(enc.exitCode, 0) << enc.err.constData();
    const QByteArray bytes = readFile(out);
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    EXPECT_EQ(bytes.count("\r\n"), 5);
    const QueryFile q = fnReadQueryFile(out);
    EXPECT_EQ(q.description, QStringLiteral("Über – uns"));
    EXPECT_EQ(q.connectionString, QStringLiteral("Provider=SQLite;Data Source=a-b.db"));
    EXPECT_EQ(q.sqlLines,
              (QStringList{QStringLiteral("SELECT 'café'"), QString(), QStringLiteral("FROM t")}));

    const ToolRun dec = kvf({QStringLiteral("decode"), out});
    EXPECT_EQ(dec.exitCode, 0);
    EXPECT_EQ(QString::fromUtf8(dec.out),
              QStringLiteral("-- description: Über – uns\n-- connection: Provider=SQLite;Data "
                             "Source=a-b.db\nSELECT 'café'\n\nFROM t\n"));
}

TEST(KvfTool, RefusesWhatWouldNotBeAQueryFile) {
    const QString dir = test::freshDir(QStringLiteral("kvf"));
    struct Case {
        QStringList args;
        int exitCode;
        const char* message;
    };
    QFile(dir + QStringLiteral("/empty.kvf")).open(QIODevice::WriteOnly);
    const Case cases[] = {
        {{QStringLiteral("encode"), QStringLiteral("-d"), QStringLiteral("x")},
         2,
         "no connection string"},
        {{QStringLiteral("encode"), QStringLiteral("-c"), QStringLiteral("x")},
         2,
         "no description"},
        {{QStringLiteral("encode"), QStringLiteral("--source"), dir + QStringLiteral("/none.sql")},
         2,
         "No such file or directory"},
        {{QStringLiteral("decode"), dir + QStringLiteral("/none.kvf")},
         2,
         "No such file or directory"},
        {{QStringLiteral("decode"), dir + QStringLiteral("/empty.kvf")},
         1,
         "is not a valid query file"},
        {{QStringLiteral("frobnicate")}, 2, "unknown command"},
    };
    for (const Case& c : cases) {
        const ToolRun r = kvf(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << qPrintable(c.args.join(u' '));
        EXPECT_TRUE(r.err.contains(c.message)) << r.err.constData();
    }
}

// Every sample source is built into a query file that decodes to the source again.
TEST(KvfTool, SamplesAreBuiltFromTheirSources) {
    const QDir sources(test::sourcePath(QStringLiteral("samples/queries")));
    const QStringList names = sources.entryList({QStringLiteral("*.sql")}, QDir::Files);
    ASSERT_FALSE(names.isEmpty());
    for (const QString& name : names) {
        const QString built =
            test::binaryPath(QStringLiteral("samples/") + QFileInfo(name).completeBaseName() +
                             QStringLiteral(".kvf"));
        if (!QFile::exists(built)) {
            ADD_FAILURE() << qPrintable(built) << " was not built (build the samples target)";
            continue;
        }
        const ToolRun dec = kvf({QStringLiteral("decode"), built});
        EXPECT_EQ(dec.exitCode, 0) << qPrintable(built);
        QByteArray source = readFile(sources.filePath(name));
        source.replace("\r\n", "\n");
        if (!source.endsWith('\n'))
            source += '\n';
        EXPECT_EQ(dec.out, source) << qPrintable(name);
        EXPECT_TRUE(fnReadQueryFile(built).connectionString.startsWith(QStringLiteral("Provider=")))
            << qPrintable(name);
    }
    EXPECT_TRUE(QFile::exists(test::binaryPath(QStringLiteral("samples/sample.db"))));
}

} // namespace
} // namespace velmora
