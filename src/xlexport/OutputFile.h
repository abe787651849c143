#pragma once

#include <QString>

#include <cstdio>
#include <string>
#include <string_view>

namespace velmora::xl {

// A file written through a large buffer. Every failure raises std::runtime_error naming the
// file and the system's reason.
class OutputFile {
public:
    explicit OutputFile(const QString& path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void write(std::string_view bytes);
    OutputFile& operator<<(std::string_view bytes) {
        write(bytes);
        return *this;
    }
    // Flushes and closes; a file not closed this way is removed as incomplete.
    void close();

private:
    [[noreturn]] void fail(int error);
    QString path_;
    std::FILE* file_ = nullptr;
    std::string buffer_;
};

// Shortest text that reads back as the same double.
std::string numberText(double value);

// Escapes for XML and HTML text and attribute values; characters XML cannot carry are dropped.
void appendXmlEscaped(std::string& out, std::string_view utf8, bool attribute);
std::string xmlEscaped(std::string_view utf8, bool attribute = false);
std::string xmlEscaped(const QString& text, bool attribute = false);

} // namespace velmora::xl
