#include "formulaguard.h"

namespace formulaguard {
namespace {

bool startsFormula(char16_t c)
{
    return c == u'=' || c == u'+' || c == u'-' || c == u'@' || c == u'\t' || c == u'\r';
}

// Quotes, then the start of a formula: what a ' is put before.
template <class Text, class Unit> bool guardedStart(const Text &text, Unit unit)
{
    qsizetype i = 0;
    while (i < text.size() && unit(text[i]) == u'\'')
        ++i;
    return i < text.size() && startsFormula(unit(text[i]));
}

char16_t unitOf(QChar c)
{
    return c.unicode();
}

char16_t unitOf(char c)
{
    return char16_t(static_cast<unsigned char>(c));
}

} // namespace

bool needsGuard(QStringView text)
{
    return guardedStart(text, [](QChar c) { return unitOf(c); });
}

bool needsGuard(QByteArrayView utf8)
{
    return guardedStart(utf8, [](char c) { return unitOf(c); });
}

QString guarded(QStringView text)
{
    return needsGuard(text) ? QLatin1Char('\'') + text.toString() : text.toString();
}

QByteArray guarded(QByteArrayView utf8)
{
    QByteArray out;
    if (needsGuard(utf8)) {
        out.reserve(utf8.size() + 1);
        out.append('\'');
    }
    out.append(utf8.data(), utf8.size());
    return out;
}

QStringView unguarded(QStringView text)
{
    if (text.size() > 1 && text[0] == QLatin1Char('\'') && needsGuard(text.sliced(1)))
        return text.sliced(1);
    return text;
}

} // namespace formulaguard
