// The connection-string parser and the password mask. Any text parses or raises without a crash;
// a password placed among random items never shows in the masked text nor in the parser's
// message.
#include "query/ConnectionString.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

using namespace velmora;

namespace {

QString takeText(FuzzedDataProvider& in, std::size_t max) {
    const std::string bytes = in.ConsumeRandomLengthString(max);
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

void leak(const char* where, const QString& secret, const QString& text) {
    std::fprintf(stderr, "password \"%s\" shown by %s: %s\n",
                 secret.toUtf8().toPercentEncoding(" =;\"'{}").constData(), where,
                 text.toUtf8().toPercentEncoding(" =;\"'{}").constData());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const QString before = takeText(in, 256);
    static const char* const keys[] = {"Password", "PWD", "pwd", " password ", "PassWord"};
    const QString key = QLatin1String(keys[in.ConsumeIntegralInRange<std::size_t>(0, 4)]);
    const int style = in.ConsumeIntegralInRange(0, 3); // bare, "..", '..', {..}
    const QString secret = takeText(in, 64);
    const QString after = in.ConsumeRemainingBytesAsString().c_str();

    QString written = secret;
    if (style == 1)
        written = QLatin1Char('"') +
                  QString(secret).replace(QLatin1Char('"'), QLatin1String("\"\"")) +
                  QLatin1Char('"');
    else if (style == 2)
        written = QLatin1Char('\'') +
                  QString(secret).replace(QLatin1Char('\''), QLatin1String("''")) +
                  QLatin1Char('\'');
    else if (style == 3)
        written = QLatin1Char('{') + secret + QLatin1Char('}');
    const QString text =
        before + QLatin1Char(';') + key + QLatin1Char('=') + written + QLatin1Char(';') + after;

    const QString masked = fnMaskPassword(text);
    QString message;
    bool parsed = false;
    try {
        const ConnectionString cs = ConnectionString::parse(text);
        parsed = true;
        for (const ConnectionString::Item& item : cs.items())
            (void)item;
    } catch (const std::runtime_error& e) {
        message = QString::fromUtf8(e.what());
    }
    fnMaskPassword(before);

    // Only a secret that a sound mask would hide: one that the rest of the text cannot spell.
    const QString ideal = before + QLatin1Char(';') + key + QLatin1String("=*****;") + after;
    const bool wellFormedSecret =
        style == 0 ? !secret.contains(QLatin1Char(';')) && secret.trimmed() == secret
                   : !(style == 3 && secret.contains(QLatin1Char('}')));
    if (secret.trimmed().isEmpty() || ideal.contains(secret) || !wellFormedSecret)
        return 0;
    // The secret's item must read as one item: the text before it must be complete.
    bool beforeComplete = true;
    try {
        if (!before.trimmed().isEmpty())
            ConnectionString::parse(before);
    } catch (const std::runtime_error&) {
        beforeComplete = false;
    }
    if (!beforeComplete)
        return 0;
    if (masked.contains(secret))
        leak("fnMaskPassword", secret, masked);
    // The masked text in the message is checked above; of the rest, the parser's own words and
    // punctuation may spell a short secret ("key" in "key=value", "\": "), the snippets it quotes
    // may not.
    message.replace(masked, QLatin1String("|"));
    for (const char* words :
         {"Invalid connection string", "is not a key=value item", "an item has no key before",
          "has no closing quote", "has no closing brace",
          "unexpected text after the quoted value of", "unexpected text after the braced value of",
          "the value of", "it holds no key=value item"})
        message.replace(QLatin1String(words), QLatin1String("|"));
    const bool spellable =
        std::any_of(secret.begin(), secret.end(), [](QChar c) { return c.isLetterOrNumber(); });
    if (!parsed && spellable && message.contains(secret))
        leak("the parser's message", secret, message);
    return 0;
}
