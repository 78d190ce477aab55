#include "datetext.h"

#include <optional>
#include <vector>

namespace datetext {
namespace {

// A short date format taken apart once, so that the thousands of dates of a
// list fill are formatted without going through QLocale each time.
struct Token
{
    enum Kind { Literal, Day, Month, Year } kind = Literal;
    int width = 0;   // 1 or 2 for day and month, 4 for the year
    QString literal; // for Literal
};

struct CompiledFormat
{
    QLocale locale;
    QString format;
    std::vector<Token> tokens;
    bool numericOnly = true; // false: names of months or days, use QLocale
};

std::optional<QLocale> g_override;
int g_generation = 0; // changes whenever the locale in use may change

QLocale effectiveLocale()
{
    if (g_override)
        return *g_override;
    const QLocale system = QLocale::system();
    if (system.language() == QLocale::C)
        return QLocale(QLocale::Chinese, QLocale::China);
    return system;
}

QString widenYear(const QString &format)
{
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            out += c;
            continue;
        }
        if (!quoted && c == QLatin1Char('y')) {
            qsizetype j = i;
            while (j < format.size() && format.at(j) == QLatin1Char('y'))
                ++j;
            out += QLatin1String("yyyy");
            i = j - 1;
            continue;
        }
        out += c;
    }
    return out;
}

CompiledFormat compile(const QLocale &locale)
{
    CompiledFormat compiled;
    compiled.locale = locale;
    compiled.format = widenYear(locale.dateFormat(QLocale::ShortFormat));
    const QString &f = compiled.format;
    QString literal;
    auto flushLiteral = [&] {
        if (!literal.isEmpty()) {
            compiled.tokens.push_back({Token::Literal, 0, literal});
            literal.clear();
        }
    };
    for (qsizetype i = 0; i < f.size(); ++i) {
        const QChar c = f.at(i);
        if (c == QLatin1Char('\'')) {
            qsizetype j = i + 1;
            if (j < f.size() && f.at(j) == QLatin1Char('\'')) { // '' is one quote
                literal += c;
                i = j;
                continue;
            }
            while (j < f.size() && f.at(j) != QLatin1Char('\''))
                literal += f.at(j++);
            i = j;
            continue;
        }
        if (c == QLatin1Char('d') || c == QLatin1Char('M') || c == QLatin1Char('y')) {
            qsizetype j = i;
            while (j < f.size() && f.at(j) == c)
                ++j;
            const int width = int(j - i);
            flushLiteral();
            if (c == QLatin1Char('y'))
                compiled.tokens.push_back({Token::Year, 4, {}});
            else if (width > 2)
                compiled.numericOnly = false;
            else
                compiled.tokens.push_back({c == QLatin1Char('d') ? Token::Day : Token::Month, width, {}});
            i = j - 1;
            continue;
        }
        if (c.isLetter())
            compiled.numericOnly = false; // era, weekday or the like
        literal += c;
    }
    flushLiteral();
    return compiled;
}

// The format is taken apart once per locale in use, not per date.
const CompiledFormat &current()
{
    static CompiledFormat cached;
    static int compiledFor = -1;
    if (compiledFor != g_generation) {
        cached = compile(effectiveLocale());
        compiledFor = g_generation;
    }
    return cached;
}

// Writes the number with at least width digits; returns the new end.
QChar *putNumber(QChar *out, int value, int width)
{
    char16_t digits[8];
    int n = 0;
    do {
        digits[n++] = char16_t(u'0' + value % 10);
        value /= 10;
    } while (value > 0 && n < 8);
    while (n < width && n < 8)
        digits[n++] = u'0';
    while (n > 0)
        *out++ = QChar(digits[--n]);
    return out;
}

} // namespace

QLocale locale()
{
    return effectiveLocale();
}

void setLocale(const QLocale &locale)
{
    g_override = locale;
    ++g_generation;
}

void resetLocale()
{
    g_override.reset();
    ++g_generation;
}

QString shortFormat()
{
    return current().format;
}

qsizetype formatTo(QDate date, QChar *out, qsizetype capacity)
{
    const CompiledFormat &compiled = current();
    if (!date.isValid() || !compiled.numericOnly || date.year() < 1 || date.year() > 9999)
        return -1;
    qsizetype needed = 0;
    for (const Token &t : compiled.tokens)
        needed += t.kind == Token::Literal ? t.literal.size() : 4;
    if (needed > capacity)
        return -1;
    QChar *end = out;
    for (const Token &t : compiled.tokens) {
        switch (t.kind) {
        case Token::Literal:
            end = std::copy(t.literal.cbegin(), t.literal.cend(), end);
            break;
        case Token::Day:
            end = putNumber(end, date.day(), t.width);
            break;
        case Token::Month:
            end = putNumber(end, date.month(), t.width);
            break;
        case Token::Year:
            end = putNumber(end, date.year(), 4);
            break;
        }
    }
    return end - out;
}

QString format(QDate date)
{
    if (!date.isValid())
        return {};
    QChar buffer[64];
    const qsizetype length = formatTo(date, buffer, 64);
    if (length >= 0)
        return QString(buffer, length);
    const CompiledFormat &compiled = current();
    return compiled.locale.toString(date, compiled.format);
}

QDate parse(const QString &text)
{
    const QString trimmed = text.trimmed();
    const CompiledFormat &compiled = current();
    QDate date = compiled.locale.toDate(trimmed, compiled.format);
    if (!date.isValid())
        date = QDate::fromString(trimmed, Qt::ISODate);
    return date;
}

QString toIso(QDate date)
{
    return date.toString(Qt::ISODate);
}

QDate parseIso(std::string_view iso)
{
    auto digits = [&](size_t from, size_t count, int &value) {
        value = 0;
        for (size_t i = from; i < from + count; ++i) {
            const char c = iso[i];
            if (c < '0' || c > '9')
                return false;
            value = value * 10 + (c - '0');
        }
        return true;
    };
    int y = 0, m = 0, d = 0;
    if (iso.size() == 10 && iso[4] == '-' && iso[7] == '-' && digits(0, 4, y) && digits(5, 2, m) && digits(8, 2, d))
        return QDate(y, m, d);
    return QDate();
}

QString fromIso(std::string_view iso)
{
    const QDate date = parseIso(iso);
    if (date.isValid())
        return format(date);
    return QString::fromUtf8(iso.data(), qsizetype(iso.size()));
}

} // namespace datetext
