#include "NameParts.h"

#include "SplitDelimited.h"

namespace velmora {

namespace {

bool inBraces(const QString& trimmed) {
    return trimmed.size() >= 2 && trimmed.front() == QLatin1Char('{') &&
           trimmed.back() == QLatin1Char('}');
}

} // namespace

QStringList fnSplitName(const QString& name) {
    return fnSplitDelimited(name, QLatin1Char('|'), QLatin1Char('"'));
}

NamePart fnParseNamePart(const QString& part) {
    NamePart result;
    result.text = part;
    const QString trimmed = fnTrim(part);
    if (!inBraces(trimmed))
        return result;
    result.inner = trimmed.mid(1, trimmed.size() - 2);
    result.items = fnSplitDelimited(result.inner, QLatin1Char(','), QLatin1Char('\''));
    if (result.items.isEmpty()) {
        result.mode = PartMode::FixedItem;
        result.emptyBraces = true;
    } else {
        result.mode = result.items.size() == 1 ? PartMode::FixedItem : PartMode::ChoiceList;
    }
    return result;
}

bool fnListPartInner(const QString& part, QString* inner) {
    const QString trimmed = fnTrim(part);
    if (!inBraces(trimmed))
        return false;
    *inner = trimmed.mid(1, trimmed.size() - 2);
    return true;
}

} // namespace velmora
