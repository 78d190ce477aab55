#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

#include <string_view>

// Dates as text. The data file keeps dates as ISO 8601 text (YYYY-MM-DD);
// the windows see them in the user's short date format, always with a
// four-digit year, so that a date read back and written again stays the same
// day. Where the system names no real locale (C or POSIX) the Chinese formats
// are used, since the interface is Chinese.
namespace datetext {

// The locale whose formats are used. Tests set one of their own.
QLocale locale();
void setLocale(const QLocale &locale);
void resetLocale();

// The short date format of locale() with the year widened to four digits.
QString shortFormat();

QString format(QDate date);
// Writes the short date text into out and returns its length, or -1 when it
// does not fit or the format needs the locale's names (then use format()).
qsizetype formatTo(QDate date, QChar *out, qsizetype capacity);

// Parses a short date text (or, as a second form, ISO text). Returns an
// invalid date when the text is neither.
QDate parse(const QString &text);

QString toIso(QDate date);

// Reads stored ISO text (YYYY-MM-DD); an invalid date for anything else.
QDate parseIso(std::string_view iso);

// Turns stored ISO text into the short date text. Text that is not an ISO
// date comes back unchanged.
QString fromIso(std::string_view iso);

} // namespace datetext
