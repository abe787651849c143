#include "QueryFileReader.h"

#include "LineCodec.h"

#include <QFile>
#include <QStringDecoder>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

namespace {

// Windows-1252 at 0x80..0x9F; the five unassigned bytes keep their C1 code points, as Windows
// itself maps them.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

class Fd {
public:
    explicit Fd(int fd)
        : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

[[noreturn]] void raiseIo(const QString& path, int error) {
    throw std::runtime_error(QStringLiteral("Cannot read query file \"%1\": %2")
                                 .arg(path, QString::fromLocal8Bit(std::strerror(error)))
                                 .toStdString());
}

} // namespace

std::vector<QByteArray> fnSplitQueryFileLines(const QByteArray& bytes) {
    std::vector<QByteArray> lines;
    QByteArray line;
    bool open = false; // characters seen since the last line ending
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (c == 26)
            break;
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
            open = false;
        } else if (c == '\r') {
            open = true; // CR LF ends the line at the LF; a lone CR is dropped
        } else {
            line.append(c);
            open = true;
        }
    }
    if (open)
        lines.push_back(line);
    return lines;
}

QString fnQueryBytesToText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    text.clear();
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        text.append(b >= 0x80 && b < 0xA0 ? QChar(kCp1252High[b - 0x80]) : QChar(b));
    }
    return text;
}

QueryFile fnParseQueryFile(const QByteArray& bytes) {
    QueryFile file;
    std::vector<QByteArray> lines = fnSplitQueryFileLines(bytes);
    // A byte-order mark some editors put first would make line 1 undecodable.
    if (!lines.empty() && lines.front().startsWith("\xEF\xBB\xBF"))
        lines.front().remove(0, 3);
    file.lineCount = int(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const char separator = i == 1 ? '-' : '\0';
        const QString text = fnQueryBytesToText(fnDecodeLine(lines[i], separator));
        if (i == 0)
            file.description = text;
        else if (i == 1)
            file.connectionString = text;
        else
            file.sqlLines.append(text);
    }
    return file;
}

QByteArray fnReadQueryFileBytes(const QString& path) {
    const Fd fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        raiseIo(path, errno);
    struct stat st {};
    if (::fstat(fd.get(), &st) == 0 && S_ISDIR(st.st_mode))
        raiseIo(path, EISDIR);
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            raiseIo(path, errno);
        }
        if (got == 0)
            break;
        bytes.append(buffer, got);
    }
    return bytes;
}

QueryFile fnReadQueryFile(const QString& path) {
    return fnParseQueryFile(fnReadQueryFileBytes(path));
}

QString fnReadQueryDescription(const QString& path) {
    try {
        const std::vector<QByteArray> lines = fnSplitQueryFileLines(fnReadQueryFileBytes(path));
        if (lines.empty())
            return {};
        QByteArray first = lines.front();
        if (first.startsWith("\xEF\xBB\xBF"))
            first.remove(0, 3);
        return fnQueryBytesToText(fnDecodeLine(first, '\0'));
    } catch (const std::runtime_error&) {
        return {};
    }
}

} // namespace velmora
