#include "money.h"

namespace money {
namespace {

// fen * 10 + digit; false when it would not fit.
bool shiftIn(qint64 &fen, int digit)
{
    return !__builtin_mul_overflow(fen, 10, &fen) && !__builtin_add_overflow(fen, digit, &fen);
}

} // namespace

std::optional<qint64> parsePrice(QStringView text)
{
    text = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    qint64 fen = 0;
    int decimals = -1; // digits after the point; -1 before the point
    int roundDigit = -1;
    bool anyDigit = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'.') {
            if (decimals >= 0)
                return std::nullopt;
            decimals = 0;
            continue;
        }
        if (c < u'0' || c > u'9')
            return std::nullopt;
        anyDigit = true;
        const int digit = c.unicode() - u'0';
        if (decimals >= 2) {
            if (roundDigit < 0)
                roundDigit = digit; // only the third decimal decides the rounding
            continue;
        }
        if (!shiftIn(fen, digit))
            return std::nullopt;
        if (decimals >= 0)
            ++decimals;
    }
    if (!anyDigit)
        return std::nullopt;
    for (int d = decimals < 0 ? 0 : decimals; d < 2; ++d)
        if (!shiftIn(fen, 0))
            return std::nullopt;
    if (roundDigit >= 5 && __builtin_add_overflow(fen, 1, &fen))
        return std::nullopt;
    return negative ? -fen : fen;
}

QString amountText(Fen amount)
{
    const bool negative = amount < 0;
    // Digits from the last, the magnitude taken digit by digit so that the
    // smallest value needs no negation.
    QString digits;
    Fen rest = amount;
    do {
        const int digit = int(rest % 10);
        digits.prepend(QChar(u'0' + (digit < 0 ? -digit : digit)));
        rest /= 10;
    } while (rest != 0);
    while (digits.size() < 3)
        digits.prepend(u'0');
    const QStringView whole = QStringView(digits).first(digits.size() - 2);
    const QStringView fen = QStringView(digits).last(2);
    QString out = negative ? QStringLiteral("-") : QString();
    out += whole;
    if (fen != u"00") {
        out += u'.';
        out += fen;
    }
    return out;
}

Tally::Outcome Tally::add(QStringView price, qint64 books)
{
    m_books += books;
    if (price.trimmed().isEmpty())
        return Outcome::Empty;
    const std::optional<qint64> fen = parsePrice(price);
    if (!fen)
        return Outcome::NotANumber;
    // Below 2^63 fen times below 2^63 books: within the 127 bits of Fen.
    m_total += Fen(*fen) * books;
    if (*fen % 100 != 0 && books > 0)
        m_decimals = true;
    return Outcome::Counted;
}

Fen Tally::average() const
{
    if (m_books == 0)
        return 0;
    if (m_decimals) {
        // To the nearest fen, halves away from zero.
        const Fen books = m_books;
        const Fen magnitude = m_total < 0 ? -m_total : m_total;
        const Fen rounded = (magnitude * 2 + books) / (books * 2);
        return m_total < 0 ? -rounded : rounded;
    }
    // Whole yuan, the fraction cut off towards zero.
    return m_total / 100 / m_books * 100;
}

} // namespace money
