#include "FieldEncoder.h"

namespace velmora {

FieldEncoder::FieldEncoder(const QString& delimiter)
    : delimiter_(delimiter.toStdString()) {
    special_['\r'] = true;
    special_['\n'] = true;
    special_['"'] = true;
    if (delimiter_.size() == 1)
        special_[static_cast<unsigned char>(delimiter_[0])] = true;
}

bool FieldEncoder::needsQuotes(std::string_view text) const {
    for (char c : text) {
        if (special_[static_cast<unsigned char>(c)])
            return true;
    }
    return delimiter_.size() > 1 && text.find(delimiter_) != std::string_view::npos;
}

bool FieldEncoder::neverQuotes(std::string_view alphabet) const {
    for (char c : alphabet) {
        if (c == '\r' || c == '\n' || c == '"')
            return false;
    }
    // A delimiter byte outside the alphabet cannot occur, so neither can the whole delimiter.
    for (char d : delimiter_) {
        if (alphabet.find(d) == std::string_view::npos)
            return true;
    }
    return delimiter_.empty();
}

void FieldEncoder::append(std::string& line, std::string_view text) const {
    if (!needsQuotes(text)) {
        line.append(text);
        return;
    }
    line.push_back('"');
    for (char c : text) {
        if (c == '"')
            line.push_back('"');
        line.push_back(c);
    }
    line.push_back('"');
}

void FieldEncoder::encodeTail(std::string& line, std::size_t begin) const {
    const std::string_view tail(line.data() + begin, line.size() - begin);
    if (!needsQuotes(tail))
        return;
    const std::string text(tail);
    line.resize(begin);
    append(line, text);
}

QString FieldEncoder::encode(const QString& text) const {
    std::string line;
    append(line, text.toStdString());
    return QString::fromStdString(line);
}

} // namespace velmora
