#include "ConnectionString.h"

#include <stdexcept>

namespace velmora {

namespace {

bool isPasswordKey(const QString& key) {
    return key.compare(QLatin1String("Password"), Qt::CaseInsensitive) == 0 ||
           key.compare(QLatin1String("PWD"), Qt::CaseInsensitive) == 0;
}

// One item starting at i: reads up to the ";" that ends it (outside quotes and braces).
// Returns false with a reason when the item is malformed.
struct Scan {
    QString key, value, raw;
    qsizetype end = 0;
    QString problem;
};

Scan scanItem(const QString& s, qsizetype i) {
    Scan r;
    const qsizetype n = s.size();
    const qsizetype start = i;
    const qsizetype eq = [&] {
        for (qsizetype j = i; j < n && s[j] != QLatin1Char(';'); ++j)
            if (s[j] == QLatin1Char('='))
                return j;
        return qsizetype(-1);
    }();
    if (eq < 0) {
        qsizetype j = i;
        while (j < n && s[j] != QLatin1Char(';'))
            ++j;
        r.problem = QStringLiteral("\"%1\" is not a key=value item").arg(s.mid(i, j - i).trimmed());
        r.end = j;
        return r;
    }
    r.key = s.mid(i, eq - i).trimmed();
    if (r.key.isEmpty()) {
        r.problem = QStringLiteral("an item has no key before \"=\"");
        return r;
    }
    i = eq + 1;
    while (i < n && s[i].isSpace())
        ++i;
    if (i < n && (s[i] == QLatin1Char('"') || s[i] == QLatin1Char('\''))) {
        const QChar quote = s[i++];
        for (;;) {
            if (i >= n) {
                r.problem = QStringLiteral("the value of %1 has no closing quote").arg(r.key);
                return r;
            }
            if (s[i] == quote) {
                if (i + 1 < n && s[i + 1] == quote) {
                    r.value += quote;
                    i += 2;
                    continue;
                }
                ++i;
                break;
            }
            r.value += s[i++];
        }
        while (i < n && s[i].isSpace())
            ++i;
        if (i < n && s[i] != QLatin1Char(';')) {
            r.problem = QStringLiteral("unexpected text after the quoted value of %1").arg(r.key);
            return r;
        }
    } else if (i < n && s[i] == QLatin1Char('{')) {
        const qsizetype close = s.indexOf(QLatin1Char('}'), i);
        if (close < 0) {
            r.problem = QStringLiteral("the value of %1 has no closing brace").arg(r.key);
            return r;
        }
        r.value = s.mid(i + 1, close - i - 1);
        i = close + 1;
        while (i < n && s[i].isSpace())
            ++i;
        if (i < n && s[i] != QLatin1Char(';')) {
            r.problem = QStringLiteral("unexpected text after the braced value of %1").arg(r.key);
            return r;
        }
    } else {
        const qsizetype b = i;
        while (i < n && s[i] != QLatin1Char(';'))
            ++i;
        r.value = s.mid(b, i - b).trimmed();
    }
    r.raw = s.mid(start, i - start).trimmed();
    r.end = i;
    return r;
}

} // namespace

ConnectionString ConnectionString::parse(const QString& text) {
    ConnectionString cs;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        while (i < n && (text[i].isSpace() || text[i] == QLatin1Char(';')))
            ++i;
        if (i >= n)
            break;
        const Scan s = scanItem(text, i);
        if (!s.problem.isEmpty())
            throw std::runtime_error(QStringLiteral("Invalid connection string \"%1\": %2")
                                         .arg(fnMaskPassword(text), s.problem)
                                         .toStdString());
        for (qsizetype k = 0; k < cs.items_.size(); ++k)
            if (cs.items_[k].key.compare(s.key, Qt::CaseInsensitive) == 0) {
                cs.items_.removeAt(k);
                break;
            }
        cs.items_.append({s.key, s.value, s.raw});
        i = s.end;
    }
    if (cs.items_.isEmpty())
        throw std::runtime_error(
            QStringLiteral("Invalid connection string \"%1\": it holds no key=value item")
                .arg(fnMaskPassword(text))
                .toStdString());
    return cs;
}

bool ConnectionString::contains(const QString& key) const {
    for (const Item& item : items_)
        if (item.key.compare(key, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString ConnectionString::value(const QString& key) const {
    for (const Item& item : items_)
        if (item.key.compare(key, Qt::CaseInsensitive) == 0)
            return item.value;
    return {};
}

QString ConnectionString::value(std::initializer_list<const char*> keys) const {
    for (const char* key : keys)
        if (contains(QLatin1String(key)))
            return value(QLatin1String(key));
    return {};
}

QString fnMaskPassword(const QString& text) {
    // A tolerant scan of its own: the text may be malformed (that is when it gets reported).
    QString out;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype eq = text.indexOf(QLatin1Char('='), i);
        const qsizetype semi = text.indexOf(QLatin1Char(';'), i);
        if (eq < 0 || (semi >= 0 && semi < eq)) {
            const qsizetype end = semi < 0 ? n : semi + 1;
            out += text.mid(i, end - i);
            i = end;
            continue;
        }
        const QString key = text.mid(i, eq - i);
        out += text.mid(i, eq + 1 - i);
        i = eq + 1;
        // The value runs to the ";" that ends it, skipping quoted and braced parts.
        // A quote or brace that never closes makes the rest ambiguous: a password's value is
        // hidden to the end of the text, any other value ends at the next ";", so that a
        // password item after it is still found.
        const bool password = isPasswordKey(key.trimmed());
        qsizetype j = i;
        while (j < n && text[j].isSpace())
            ++j;
        if (j < n && (text[j] == QLatin1Char('"') || text[j] == QLatin1Char('\''))) {
            const QChar quote = text[j++];
            bool closed = false;
            while (j < n && !closed) {
                if (text[j] == quote && j + 1 < n && text[j + 1] == quote)
                    j += 2;
                else
                    closed = text[j++] == quote;
            }
            if (!closed && !password)
                j = i;
        } else if (j < n && text[j] == QLatin1Char('{')) {
            const qsizetype close = text.indexOf(QLatin1Char('}'), j);
            j = close >= 0 ? close + 1 : password ? n : i;
        }
        while (j < n && text[j] != QLatin1Char(';'))
            ++j;
        out += password ? QStringLiteral("*****") : text.mid(i, j - i);
        i = j;
        if (i < n) {
            out += QLatin1Char(';');
            ++i;
        }
    }
    return out;
}

} // namespace velmora
