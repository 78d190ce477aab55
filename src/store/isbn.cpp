#include "isbn.h"

namespace isbn {
namespace {

int digit(QChar c)
{
    return c.unicode() - u'0';
}

bool allDigits(QStringView text)
{
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

} // namespace

QString compact(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text)
        if (c != QLatin1Char('-') && !c.isSpace())
            out.append(c.toUpper());
    return out;
}

Kind kindOf(QStringView text)
{
    const QString c = compact(text);
    if (c.size() == 10 && allDigits(QStringView(c).first(9)) &&
        (allDigits(QStringView(c).last(1)) || c.back() == QLatin1Char('X')))
        return Kind::Isbn10;
    if (c.size() == 13 && allDigits(c))
        return Kind::Isbn13;
    return Kind::None;
}

QChar checkCharacter(QStringView compacted, Kind kind)
{
    if (kind == Kind::Isbn10) {
        int sum = 0;
        for (qsizetype i = 0; i < 9; ++i)
            sum += digit(compacted[i]) * int(10 - i);
        const int check = (11 - sum % 11) % 11;
        return check == 10 ? QLatin1Char('X') : QChar(u'0' + check);
    }
    int sum = 0;
    for (qsizetype i = 0; i < 12; ++i)
        sum += digit(compacted[i]) * (i % 2 == 0 ? 1 : 3);
    return QChar(u'0' + (10 - sum % 10) % 10);
}

bool isValid(QStringView text)
{
    const Kind kind = kindOf(text);
    if (kind == Kind::None)
        return false;
    const QString c = compact(text);
    return c.back() == checkCharacter(c, kind);
}

QString toIsbn13(QStringView text)
{
    if (kindOf(text) != Kind::Isbn10 || !isValid(text))
        return QString();
    QString out = QStringLiteral("978") + compact(text).left(9);
    out.append(checkCharacter(out, Kind::Isbn13));
    return out;
}

QString toIsbn10(QStringView text)
{
    const QString c = compact(text);
    if (kindOf(c) != Kind::Isbn13 || !isValid(c) || !c.startsWith(QLatin1String("978")))
        return QString();
    QString out = c.mid(3, 9);
    out.append(checkCharacter(out, Kind::Isbn10));
    return out;
}

QString key(QStringView text)
{
    const QString c = compact(text);
    if (kindOf(c) != Kind::Isbn10)
        return c;
    QString out = QStringLiteral("978") + c.left(9);
    out.append(checkCharacter(out, Kind::Isbn13));
    return out;
}

} // namespace isbn
