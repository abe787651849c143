#pragma once

#include <QList>
#include <QString>

namespace velmora {

// A connection string in the ADO form "key=value;key=value". Keys are compared without regard to
// letter case; a value may be quoted with " or ' (the quote doubled inside) or enclosed in braces;
// blanks around keys and values are dropped; empty items (";;") are skipped; a later item
// overrides an earlier one with the same key.
class ConnectionString {
public:
    struct Item {
        QString key;
        QString value;
        QString raw; // the item as written, for passing ODBC strings on unchanged
    };

    // Raises std::runtime_error with a message naming the problem (the password masked).
    static ConnectionString parse(const QString& text);

    bool contains(const QString& key) const;
    QString value(const QString& key) const; // empty when absent
    // The first of several alternative keys that is present ("Database", "Initial Catalog").
    QString value(std::initializer_list<const char*> keys) const;
    const QList<Item>& items() const { return items_; }

private:
    QList<Item> items_;
};

// The text with the value of every Password= and PWD= item replaced by "*****", for messages and
// logs. Works on strings that do not parse, too.
QString fnMaskPassword(const QString& connectionString);

} // namespace velmora
