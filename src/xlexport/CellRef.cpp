#include "CellRef.h"

namespace velmora::xl {

std::optional<CellRef> parseA1(const QString& text) {
    int i = 0;
    const int n = static_cast<int>(text.size());
    if (i < n && text[i] == QLatin1Char('$'))
        ++i;
    long long column = 0;
    int letters = 0;
    while (i < n && text[i].isLetter() && text[i].unicode() < 128) {
        column = column * 26 + (text[i].toUpper().unicode() - 'A' + 1);
        ++letters;
        ++i;
        if (letters > 3)
            return std::nullopt;
    }
    if (i < n && text[i] == QLatin1Char('$'))
        ++i;
    long long row = 0;
    int digits = 0;
    while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
        row = row * 10 + (text[i].unicode() - '0');
        ++digits;
        ++i;
        if (digits > 7)
            return std::nullopt;
    }
    if (i != n || letters == 0 || digits == 0 || row < 1 || row > kSheetRows || column < 1 ||
        column > kSheetColumns)
        return std::nullopt;
    return CellRef{static_cast<int>(row - 1), static_cast<int>(column - 1)};
}

QString columnLetters(int column) {
    QString out;
    while (column > 0) {
        out.prepend(QChar(QLatin1Char('A').unicode() + (column - 1) % 26));
        column = (column - 1) / 26;
    }
    return out;
}

} // namespace velmora::xl
