#include "NumberText.h"

#include <QRegularExpression>

namespace velmora {

bool fnIsStrFloatNum(const QString& text) {
    // A mantissa needs a digit, so "." and "e5" (which would reach the SQL unquoted) fail.
    static const QRegularExpression number(
        QStringLiteral(R"(\A *[+-]?(?:[0-9]+\.?[0-9]*|\.[0-9]+)(?:[eE][+-]?[0-9]+)? *\z)"));
    return number.match(text).hasMatch();
}

} // namespace velmora
