#pragma once

#include "ParamRow.h"

#include <QString>
#include <QStringList>

namespace velmora {

// The parts of a marker NAME: split at "|" with "\"" as the quote character. A part with blanks
// must be in double quotes, since the splitter also splits at blanks.
QStringList fnSplitName(const QString& name);

// A caption or operator part and how it is used.
struct NamePart {
    PartMode mode = PartMode::CaptionOnly;
    QString text;      // the part as split (what a CaptionOnly label shows)
    QString inner;     // between the braces (FixedItem and ChoiceList)
    QStringList items; // the items between the braces, split at "," with "'" quoting
    // "{}" or "{ }": braces without an item; the dialog treats the name as malformed.
    bool emptyBraces = false;
};

NamePart fnParseNamePart(const QString& part);

// A list part: after trimming, "{" inner "}". Returns false when it is not enclosed in braces.
bool fnListPartInner(const QString& part, QString* inner);

} // namespace velmora
