#include "SplitDelimited.h"

#include <QtGlobal>

namespace velmora {

namespace {

bool isBlankOrControl(QChar c) {
    return c.unicode() >= 1 && c.unicode() <= 32;
}

} // namespace

void fnSplitDelimited(const QString& text, QChar delimiter, QChar quote, QStringList* target) {
    if (target == nullptr)
        qFatal("fnSplitDelimited called without a target list");
    target->clear();
    const qsizetype n = text.size();
    qsizetype i = 0;
    auto skipBlanks = [&] {
        while (i < n && isBlankOrControl(text[i]))
            ++i;
    };
    skipBlanks();
    while (i < n) {
        QString item;
        if (text[i] == quote) {
            ++i;
            while (i < n) {
                if (text[i] == quote) {
                    if (i + 1 < n && text[i + 1] == quote) {
                        item += quote;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += text[i++];
            }
        } else {
            const qsizetype start = i;
            while (i < n && text[i] != delimiter && !isBlankOrControl(text[i]))
                ++i;
            item = text.mid(start, i - start);
        }
        target->append(item);
        skipBlanks();
        if (i < n && text[i] == delimiter) {
            // A delimiter that ends the text still closes an (empty) last item.
            if (i == n - 1)
                target->append(QString());
            ++i;
            skipBlanks();
        }
    }
}

QStringList fnSplitDelimited(const QString& text, QChar delimiter, QChar quote) {
    QStringList items;
    fnSplitDelimited(text, delimiter, quote, &items);
    return items;
}

QString fnTrim(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 32)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

} // namespace velmora
