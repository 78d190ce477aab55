#include "bookvalues.h"

#include "store/codes.h"
#include "store/isbn.h"

#include <QRegularExpression>

#include <array>
#include <cmath>

namespace bookvalues {
namespace {

// Reads up to max digits at i; the count read.
int digits(QStringView text, qsizetype &i, int max, int &value)
{
    int count = 0;
    value = 0;
    while (i < text.size() && count < max && text[i].unicode() >= u'0' && text[i].unicode() <= u'9') {
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

bool isDigit(QStringView text, qsizetype i)
{
    return i < text.size() && text[i].unicode() >= u'0' && text[i].unicode() <= u'9';
}

// Whether what follows a date is nothing, or a time of day and nothing else.
bool timeOrNothing(QStringView rest)
{
    if (rest.isEmpty())
        return true;
    if (rest[0] != QLatin1Char(' ') && rest[0] != QLatin1Char('T'))
        return false;
    static const QRegularExpression time(
        QStringLiteral("^\\s*\\d{1,2}:\\d{2}(:\\d{2}(\\.\\d+)?)?\\s*([AaPp][Mm])?\\s*(Z|[+-]\\d{2}(:?\\d{2})?)?$"));
    return time.match(rest.sliced(1)).hasMatch();
}

QDate day(int year, int month, int day)
{
    return QDate(year, month, day); // invalid for a day that does not exist
}

// The month of an English month name or its abbreviation; 0 for none.
int monthNamed(QStringView name)
{
    static constexpr std::array<QStringView, 12> kMonths{u"january",   u"february", u"march",    u"april",
                                                         u"may",       u"june",     u"july",     u"august",
                                                         u"september", u"october",  u"november", u"december"};
    if (name.size() < 3)
        return 0;
    const QString lower = name.toString().toLower();
    for (size_t m = 0; m < kMonths.size(); ++m) {
        const QStringView full = kMonths[m];
        if (lower == full || lower == full.left(3) || (m == 8 && lower == u"sept"))
            return int(m) + 1;
    }
    return 0;
}

// Sep 7, 2020; September 7th 2020; 7 Sep 2020; Sep 2020.
QDate namedMonthDate(QStringView t)
{
    static const QRegularExpression monthFirst(
        QStringLiteral("^([A-Za-z]+)\\.?\\s+(\\d{1,2})(?:st|nd|rd|th)?,?\\s+(\\d{4})$"));
    static const QRegularExpression dayFirst(QStringLiteral("^(\\d{1,2})\\s+([A-Za-z]+)\\.?,?\\s+(\\d{4})$"));
    static const QRegularExpression monthYear(QStringLiteral("^([A-Za-z]+)\\.?,?\\s+(\\d{4})$"));
    if (const auto m = monthFirst.match(t); m.hasMatch()) {
        const int month = monthNamed(m.capturedView(1));
        return month ? day(m.capturedView(3).toInt(), month, m.capturedView(2).toInt()) : QDate();
    }
    if (const auto m = dayFirst.match(t); m.hasMatch()) {
        const int month = monthNamed(m.capturedView(2));
        return month ? day(m.capturedView(3).toInt(), month, m.capturedView(1).toInt()) : QDate();
    }
    if (const auto m = monthYear.match(t); m.hasMatch()) {
        const int month = monthNamed(m.capturedView(1));
        return month ? day(m.capturedView(2).toInt(), month, 1) : QDate();
    }
    return QDate();
}

// 2024年5月1日, 2024年5月; i stands after the year, on 年.
QDate chineseDate(QStringView t, qsizetype i, int year)
{
    int month = 0, d = 1;
    ++i;
    if (digits(t, i, 2, month) == 0 || i >= t.size() || t[i] != QChar(u'月'))
        return QDate();
    ++i;
    if (i < t.size()) {
        if (digits(t, i, 2, d) == 0 || i >= t.size() || t[i] != QChar(u'日'))
            return QDate();
        ++i;
    }
    return timeOrNothing(t.sliced(i)) ? day(year, month, d) : QDate();
}

std::optional<qint64> code(QStringView text, std::initializer_list<std::pair<QStringView, int>> names)
{
    const QStringView t = text.trimmed();
    for (const auto &[name, value] : names)
        if (t == name)
            return value;
    return readWhole(t);
}

bool isNameSeparator(QChar c)
{
    return c == QLatin1Char('|') || c == QLatin1Char('&') || c == QLatin1Char(';') || c == QChar(u'，') ||
           c == QChar(u'；');
}

} // namespace

QStringView unwrapFormula(QStringView text)
{
    if (text.size() >= 3 && text.startsWith(u"=\"") && text.endsWith(u'"'))
        return text.sliced(2, text.size() - 3);
    if (text.size() >= 2 && text.startsWith(u'[') && text.endsWith(u']'))
        return text.sliced(1, text.size() - 2);
    return text;
}

QDate readDate(QStringView text, DateOrder order, DateHint *hint)
{
    if (hint)
        *hint = DateHint::None;
    const QStringView t = text.trimmed();
    qsizetype i = 0;
    int first = 0;
    const int n = digits(t, i, 4, first);
    if (n == 0)
        return namedMonthDate(t);
    if (i == t.size())
        return n >= 3 ? day(first, 1, 1) : QDate(); // a year alone
    const QChar after = t[i];
    if (n >= 3 && after == QChar(u'年'))
        return chineseDate(t, i, first);
    if (n == 4 && isSeparator(after)) {
        // The year first: yyyy-m-d or yyyy-m.
        int month = 0, d = 1;
        ++i;
        if (digits(t, i, 2, month) == 0)
            return QDate();
        if (i < t.size() && t[i] == after) {
            ++i;
            if (digits(t, i, 2, d) == 0)
                return QDate();
        }
        return timeOrNothing(t.sliced(i)) ? day(first, month, d) : QDate();
    }
    if (n <= 2 && isSeparator(after)) {
        // The year last: d.m.yyyy, and d/m/yyyy or m/d/yyyy by order.
        int second = 0, year = 0;
        ++i;
        if (digits(t, i, 2, second) == 0 || i >= t.size() || t[i] != after)
            return QDate();
        ++i;
        if (digits(t, i, 4, year) != 4 || isDigit(t, i) || !timeOrNothing(t.sliced(i)))
            return QDate();
        if (after == QLatin1Char('.'))
            return day(year, second, first);
        if (first == second)
            return day(year, first, first);
        const bool dayFirst = first > 12 ? true : second > 12 ? false : order == DateOrder::Dmy;
        if (hint)
            *hint = first > 12 && second <= 12    ? DateHint::DayFirst
                    : second > 12 && first <= 12  ? DateHint::MonthFirst
                    : first <= 12 && second <= 12 ? DateHint::Either
                                                  : DateHint::None;
        if (first <= 12 && second <= 12 && order != DateOrder::Dmy && order != DateOrder::Mdy)
            return QDate(); // day and month could swap
        return dayFirst ? day(year, second, first) : day(year, first, second);
    }
    if (n <= 2 && after == QLatin1Char(' '))
        return namedMonthDate(t);
    return QDate();
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

std::optional<qint64> readStars(QStringView text, int scale)
{
    static const QRegularExpression number(QStringLiteral("^\\d{1,2}([.,]\\d+)?$"));
    const QStringView t = text.trimmed();
    if (!number.match(t).hasMatch())
        return std::nullopt;
    QString plain = t.toString();
    plain.replace(QLatin1Char(','), QLatin1Char('.'));
    const double points = plain.toDouble();
    if (points < 0 || points > scale)
        return std::nullopt;
    const int stars = int(std::floor(points * codes::kRatingCount / scale + 0.5));
    return stars == 0 ? 0 : codes::kRatingCount + 1 - stars;
}

std::optional<qint64> readFlag(QStringView text)
{
    const QStringView t = text.trimmed();
    for (const QStringView yes : {u"1", u"true", u"yes", u"y", u"x", u"是", u"已读", u"read"})
        if (t.compare(yes, Qt::CaseInsensitive) == 0)
            return 1;
    for (const QStringView no : {u"0", u"false", u"no", u"n", u"否", u"未读"})
        if (t.compare(no, Qt::CaseInsensitive) == 0)
            return 2;
    return std::nullopt;
}

qint64 readShelf(QStringView text)
{
    qint64 read = 0;
    for (QStringView shelf : text.tokenize(QLatin1Char(','))) {
        shelf = shelf.trimmed();
        if (shelf.compare(u"read", Qt::CaseInsensitive) == 0)
            return 1;
        if (!shelf.isEmpty())
            read = 2;
    }
    return read;
}

std::vector<QStringView> splitNames(QStringView text)
{
    std::vector<QStringView> names;
    qsizetype from = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !isNameSeparator(text[i]))
            continue;
        const QStringView name = text.sliced(from, i - from).trimmed();
        if (!name.isEmpty())
            names.push_back(name);
        from = i + 1;
    }
    return names;
}

QStringView publisherOf(QStringView text)
{
    const qsizetype bracket = text.indexOf(QLatin1Char('('));
    if (bracket <= 0)
        return text.trimmed();
    QStringView publisher = text.left(bracket).trimmed();
    while (publisher.endsWith(QLatin1Char(',')))
        publisher.chop(1);
    return publisher.isEmpty() ? text.trimmed() : publisher.trimmed();
}

QString isbnKey(QStringView isbn)
{
    return isbn::key(unwrapFormula(isbn.trimmed()));
}

} // namespace bookvalues
