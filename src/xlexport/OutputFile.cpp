#include "OutputFile.h"

#include <QFile>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <stdexcept>

namespace velmora::xl {

namespace {
constexpr std::size_t kBuffer = 1 << 20;
}

OutputFile::OutputFile(const QString& path)
    : path_(path) {
    file_ = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!file_)
        fail(errno);
    buffer_.reserve(kBuffer);
}

OutputFile::~OutputFile() {
    if (file_) {
        std::fclose(file_);
        std::remove(QFile::encodeName(path_).constData());
    }
}

void OutputFile::fail(int error) {
    throw std::runtime_error(QStringLiteral("Cannot write the file %1: %2")
                                 .arg(path_, QString::fromLocal8Bit(std::strerror(error)))
                                 .toStdString());
}

void OutputFile::write(std::string_view bytes) {
    buffer_.append(bytes.data(), bytes.size());
    if (buffer_.size() >= kBuffer) {
        if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size())
            fail(errno);
        buffer_.clear();
    }
}

void OutputFile::close() {
    if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size())
        fail(errno);
    buffer_.clear();
    std::FILE* f = file_;
    file_ = nullptr;
    if (std::fclose(f) != 0) {
        const int error = errno;
        std::remove(QFile::encodeName(path_).constData());
        fail(error);
    }
}

std::string numberText(double value) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

void appendXmlEscaped(std::string& out, std::string_view s, bool attribute) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += attribute ? "&quot;" : "\"";
            break;
        case '\n':
            out += attribute ? "&#10;" : "\n";
            break;
        case '\r':
            // A reader turns a raw CR (and CR LF) into LF; the reference keeps the value whole.
            out += "&#13;";
            break;
        case '\t':
            out += attribute ? "&#9;" : "\t";
            break;
        default:
            if (c < 0x20)
                break; // not allowed in XML 1.0
            // U+FFFE and U+FFFF are not allowed either (EF BF BE, EF BF BF).
            if (c == 0xEF && i + 2 < s.size() && static_cast<unsigned char>(s[i + 1]) == 0xBF &&
                (static_cast<unsigned char>(s[i + 2]) & 0xFE) == 0xBE) {
                i += 2;
                break;
            }
            out += static_cast<char>(c);
        }
    }
}

std::string xmlEscaped(std::string_view utf8, bool attribute) {
    std::string out;
    out.reserve(utf8.size() + 8);
    appendXmlEscaped(out, utf8, attribute);
    return out;
}

std::string xmlEscaped(const QString& text, bool attribute) {
    const QByteArray b = text.toUtf8();
    return xmlEscaped(std::string_view(b.constData(), static_cast<std::size_t>(b.size())),
                      attribute);
}

} // namespace velmora::xl
