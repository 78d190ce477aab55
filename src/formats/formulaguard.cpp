#include "formulaguard.h"

namespace formulaguard {
namespace {

bool startsFormula(char16_t c)
{
    return c == u'=' || c == u'+' || c == u'-' || c == u'@' || c == u'\t' || c == u'\r';
}

template <class Text> bool guardedStart(const Text &text)
{
    if (text.isEmpty())
        return false;
    const auto first = char16_t(static_cast<unsigned char>(text[0]));
    if (startsFormula(first))
        return true;
    return first == u'\'' && text.size() > 1 && startsFormula(char16_t(static_cast<unsigned char>(text[1])));
}

} // namespace

bool needsGuard(QStringView text)
{
    if (text.isEmpty())
        return false;
    const char16_t first = text[0].unicode();
    if (startsFormula(first))
        return true;
    return first == u'\'' && text.size() > 1 && startsFormula(text[1].unicode());
}

bool needsGuard(QByteArrayView utf8)
{
    return guardedStart(utf8);
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
