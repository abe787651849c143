#pragma once

// Readable GoogleTest failure output for Qt strings.
#include <QString>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
