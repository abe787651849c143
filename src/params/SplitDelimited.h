#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

namespace velmora {

// Splits text into items at the delimiter and also at blanks and control characters (codes 1 to
// 32); an item starting with the quote character runs to the next undoubled quote and may hold
// blanks and delimiters. The target is emptied first; an empty or blank text gives no items.
// A null target is a programming error.
void fnSplitDelimited(const QString& text, QChar delimiter, QChar quote, QStringList* target);
QStringList fnSplitDelimited(const QString& text, QChar delimiter, QChar quote);

// Removes leading and trailing characters with codes 0 to 32 (blanks and control characters).
QString fnTrim(const QString& text);

} // namespace velmora
