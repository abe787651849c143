#pragma once

#include "ParamRow.h"
#include "ParamType.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace velmora {

// "'" + text + "'"; doubles nothing itself.
QString fnQuote(const QString& text);
// fnQuote of the text with every "'" doubled: the only way free text enters a statement.
QString fnQuoteDoubled(const QString& text);

// The lines of a multi-line box: split at CR LF, LF or CR; a break at the very end starts no
// further line, so an empty text has no lines.
QStringList fnMemoLines(const QString& text);

// The SQL text for one parameter's value, without its caption and operator prefix. timeSeparator
// is the locale's character between hours, minutes and seconds.
QString fnRenderValue(ParamType type, const ParamRow& row, const QString& timeSeparator);
// The caption and operator items that go before the value ("price < "), from the name's parts.
QString fnRenderPrefix(const QString& name, const ParamRow& row);

// Renders each parameter and replaces its markers ?TYPE_NAME? (letter case ignored) in
// preparedSql in one left-to-right pass over the author's text; inserted values are never
// searched again, so no value can bring in another parameter's value. A row missing from rows
// counts as empty.
void fnSubstituteParams(QString& preparedSql, const QStringList& types, const QStringList& names,
                        const std::vector<ParamRow>& rows, const QString& timeSeparator);

} // namespace velmora
