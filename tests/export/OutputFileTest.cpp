#include "export/OutputFile.h"

#include "TestEnv.h"

#include <QFile>

#include <gtest/gtest.h>

namespace velmora {
namespace {

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void expectFailure(const std::function<void()>& action, const QString& message) {
    try {
        action();
        ADD_FAILURE() << "no failure, expected: " << message.toStdString();
    } catch (const OutputFileError& e) {
        EXPECT_EQ(QString::fromUtf8(e.what()), message);
    }
}

TEST(OutputFileTest, ReplacesAnExistingFile) {
    const QString path = test::freshDir("out") + "/a.csv";
    {
        OutputFile out(path);
        out.write("a much longer first content\r\n");
        out.close();
    }
    OutputFile out(path);
    out.write("b\r\n");
    out.close();
    EXPECT_EQ(contents(path), "b\r\n");
}

TEST(OutputFileTest, WritesMoreThanItsBuffer) {
    const QString path = test::freshDir("out") + "/big.txt";
    const std::string chunk(1000, 'x');
    OutputFile out(path);
    for (int i = 0; i < 3000; ++i)
        out.write(chunk);
    out.write(std::string(3 * OutputFile::kBufferBytes / 2, 'y'));
    out.close();
    EXPECT_EQ(QFile(path).size(), qint64(3000 * 1000 + 3 * OutputFile::kBufferBytes / 2));
}

// A second writer of a file being written fails and leaves the first writer's lines alone.
TEST(OutputFileTest, SecondWriterFailsWithoutEmptyingTheFile) {
    const QString path = test::freshDir("out") + "/locked.csv";
    OutputFile first(path);
    first.write("first\r\n");
    first.close();
    OutputFile holder(path);
    holder.write("held\r\n");
    expectFailure([&] { OutputFile second(path); },
                  "Cannot write " + path + ": the file is in use by another program");
    holder.close();
    EXPECT_EQ(contents(path), "held\r\n");
}

TEST(OutputFileTest, FailuresNameTheFileAndTheSystemReason) {
    const QString dir = test::freshDir("out");
    expectFailure([&] { OutputFile out(dir + "/missing/a.csv"); },
                  "Cannot create " + dir + "/missing/a.csv: No such file or directory");
    expectFailure([&] { OutputFile out(dir); }, "Cannot create " + dir + ": Is a directory");
    expectFailure(
        [&] {
            OutputFile out("/dev/full");
            out.write("x");
            out.close();
        },
        "Cannot write /dev/full: No space left on device");
}

} // namespace
} // namespace velmora
