#pragma once

#include <QByteArray>

namespace velmora {

// The keyless line codec of query files. An encoded line is a run of decimal numbers, each
// followed by the separator: L+97 (the length), L+32 and L+41 (padding), then for each byte of
// the line reversed, L+j+byte (j counting from 1), then L+26 (trailer). Line 2 of a query file
// (the connection string) uses "-" as separator, every other line NUL.

// Never fails: a token that must be read and is not an integer makes the whole line empty. Only
// the length and the data tokens are parsed; a length of 0 is not kept, so the next token is
// read as the length again (the encoded empty line reads "32" as -65 and decodes to nothing).
QByteArray fnDecodeLine(const QByteArray& encoded, char separator);

QByteArray fnEncodeLine(const QByteArray& plain, char separator);

// The integer rule of the codec: optional leading blanks, an optional sign, then decimal digits,
// or hexadecimal digits after "$", "x", "X", "0x" or "0X"; the value must fit 32 bits
// (hexadecimal may use the whole 32-bit pattern, $FFFFFFFF being -1). Nothing may follow.
bool fnCodecInteger(const QByteArray& token, int& value);

} // namespace velmora
