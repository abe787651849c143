#pragma once

#include <QString>

#include <array>
#include <string>
#include <string_view>

namespace velmora {

// Encodes one field of a delimited line. A field is enclosed in double quotes, with each double
// quote inside it doubled, when it holds the whole delimiter, a CR, an LF or a double quote;
// otherwise it is written unchanged. Quoting on LF and on a double quote too (not only on the
// delimiter and CR) is what keeps a multi-line or quote-led value one field for CSV readers.
// Works on UTF-8 bytes: a delimiter is found as a byte sequence, which for valid UTF-8 is the
// same as finding it as characters.
class FieldEncoder {
public:
    explicit FieldEncoder(const QString& delimiter);

    const std::string& delimiter() const { return delimiter_; }
    bool needsQuotes(std::string_view text) const;
    // True when no text made only of these bytes can need quotes, so a writer may skip the scan.
    bool neverQuotes(std::string_view alphabet) const;
    // Appends the encoded text to a line.
    void append(std::string& line, std::string_view text) const;
    // Encodes text that was appended to line from position begin, in place.
    void encodeTail(std::string& line, std::size_t begin) const;
    QString encode(const QString& text) const;

private:
    std::string delimiter_;
    // Bytes that force quoting on their own: CR, LF, '"', and a one-byte delimiter.
    std::array<bool, 256> special_{};
};

} // namespace velmora
