#include "bookvalues.h"

#include "store/isbn.h"

#include "store/codes.h"

#include <array>

namespace bookvalues {
namespace {

// Reads up to max digits at i; the count read.
int digits(QStringView text, qsizetype &i, int max, int &value)
{
    int count = 0;
    value = 0;
    while (i < text.size() && count < max && text[i].isDigit() && text[i].unicode() < 0x80) {
        value = value * 10 + (text[i].unicode() - u'0');
        ++i;
        ++count;
    }
    return count;
}

bool isSeparator(QChar c)
{
    return c == QLatin1Char('-') || c == QLatin1Char('/') || c == QLatin1Char('.');
}

std::optional<qint64> code(QStringView text, std::initializer_list<std::pair<QStringView, int>> names)
{
    const QStringView t = text.trimmed();
    for (const auto &[name, value] : names)
        if (t == name)
            return value;
    return readWhole(t);
}

} // namespace

QStringView unwrapFormula(QStringView text)
{
    if (text.size() >= 3 && text.startsWith(u"=\"") && text.endsWith(u'"'))
        return text.sliced(2, text.size() - 3);
    return text;
}

QDate readDate(QStringView text)
{
    const QStringView t = text.trimmed();
    qsizetype i = 0;
    int year = 0, month = 1, day = 1;
    if (digits(t, i, 4, year) != 4)
        return QDate();
    const bool chinese = i < t.size() && t[i] == QChar(u'年');
    auto atEnd = [&] {
        // A time of day may follow the date.
        return i == t.size() || t[i] == QLatin1Char(' ') || t[i] == QLatin1Char('T');
    };
    if (!atEnd()) {
        const QChar separator = t[i];
        if (!chinese && !isSeparator(separator))
            return QDate();
        ++i;
        if (digits(t, i, 2, month) == 0)
            return QDate();
        if (chinese) {
            if (i >= t.size() || t[i] != QChar(u'月'))
                return QDate();
            ++i;
            if (i < t.size()) {
                if (digits(t, i, 2, day) == 0 || i >= t.size() || t[i] != QChar(u'日'))
                    return QDate();
                ++i;
            }
        } else if (i < t.size() && t[i] == separator) {
            ++i;
            if (digits(t, i, 2, day) == 0)
                return QDate();
        }
        if (!atEnd())
            return QDate();
    }
    return QDate(year, month, day);
}

std::optional<qint64> readWhole(QStringView text)
{
    const QStringView t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    qsizetype i = t[0] == QLatin1Char('-') || t[0] == QLatin1Char('+') ? 1 : 0;
    if (i == t.size())
        return std::nullopt;
    for (qsizetype k = i; k < t.size(); ++k)
        if (t[k].unicode() < u'0' || t[k].unicode() > u'9')
            return std::nullopt;
    bool ok = false;
    const qint64 value = t.toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

std::optional<qint64> readRating(QStringView text)
{
    return code(text, {{codes::ratingName(1), 1},
                       {u"非常喜爱", 1},
                       {codes::ratingName(2), 2},
                       {codes::ratingName(3), 3},
                       {codes::ratingName(4), 4},
                       {codes::ratingName(5), 5}});
}

std::optional<qint64> readLoan(QStringView text)
{
    return code(text, {{codes::loanName(codes::kOwnCopy), codes::kOwnCopy},
                       {codes::loanName(codes::kBorrowedIn), codes::kBorrowedIn},
                       {codes::loanName(codes::kLentOut), codes::kLentOut},
                       {u"借出", codes::kLentOut}});
}

std::optional<qint64> readRead(QStringView text)
{
    return code(text, {{codes::readName(1), 1}, {codes::readName(2), 2}});
}

std::optional<qint64> readStars(QStringView text)
{
    const std::optional<qint64> stars = readWhole(text);
    if (!stars || *stars < 0 || *stars > codes::kRatingCount)
        return std::nullopt;
    return *stars == 0 ? 0 : codes::kRatingCount + 1 - *stars;
}

Shelves readShelves(QStringView text)
{
    Shelves out;
    for (QStringView shelf : text.tokenize(QLatin1Char(','))) {
        shelf = shelf.trimmed();
        if (shelf.isEmpty())
            continue;
        if (shelf.compare(u"read", Qt::CaseInsensitive) == 0) {
            out.read = 1;
        } else if (shelf.compare(u"to-read", Qt::CaseInsensitive) == 0 ||
                   shelf.compare(u"currently-reading", Qt::CaseInsensitive) == 0) {
            if (out.read == 0)
                out.read = 2;
        } else if (out.category.isNull()) {
            out.category = shelf;
        }
    }
    return out;
}

QString isbnKey(QStringView isbn)
{
    return isbn::key(unwrapFormula(isbn));
}

QString titleKey(QStringView title, QStringView author)
{
    const QStringView t = title.trimmed();
    if (t.isEmpty())
        return QString();
    const QStringView a = author.trimmed();
    QString key;
    key.reserve(t.size() + 1 + a.size());
    key.append(t).append(QChar(0x1F)).append(a);
    // Folded in place; a character whose folding is longer than itself
    // (rare, none in CJK) is folded by the whole-text rule.
    for (QChar &c : key) {
        if (c.isSurrogate())
            return key.toCaseFolded();
        c = c.toCaseFolded();
    }
    return key;
}

} // namespace bookvalues
