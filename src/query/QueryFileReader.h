#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace velmora {

// A query file after decoding: line 1 the description, line 2 the connection string, every
// further line one line of the SQL text.
struct QueryFile {
    int lineCount = 0; // lines found in the file
    QString description;
    QString connectionString;
    QStringList sqlLines;
};

// Splits file bytes into lines: CR LF and a lone LF end a line, a lone CR inside a line is
// dropped, byte 26 ends the file. A last line without an ending still counts; the ending of the
// last line does not start another.
std::vector<QByteArray> fnSplitQueryFileLines(const QByteArray& bytes);

// Decoded bytes as text: UTF-8 when they are valid UTF-8, otherwise Windows-1252 (the code page of
// query files written on the original platform).
QString fnQueryBytesToText(const QByteArray& bytes);

// Decodes every line with its separator (NUL, "-" for line 2).
QueryFile fnParseQueryFile(const QByteArray& bytes);

// Reads the whole file; raises std::runtime_error naming the file and the system's reason when it
// cannot be opened or read.
QByteArray fnReadQueryFileBytes(const QString& path);
QueryFile fnReadQueryFile(const QString& path);

// The decoded first line, for the file preview; empty text when the file cannot be read.
QString fnReadQueryDescription(const QString& path);

} // namespace velmora
