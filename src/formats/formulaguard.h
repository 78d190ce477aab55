#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Keeping a spreadsheet from taking a text for a formula.
//
// A spreadsheet that opens a CSV file runs a field that starts with =, +,
// -, @, a tab or a carriage return as a formula (a title such as
// "=cmd|' /C calc'!A0" would start a program). A text that starts so is
// written with one ' before it, which spreadsheets show as a plain text; so
// is a text that starts with quotes followed by one of those ('=, ''-), so
// that reading takes exactly one ' off exactly the texts that had one put
// on, and every text comes back as it was.
namespace formulaguard {

// Whether the text gets a ' when written.
bool needsGuard(QStringView text);
bool needsGuard(QByteArrayView utf8);

// The text as written: with one ' before it when it needs one.
QString guarded(QStringView text);
QByteArray guarded(QByteArrayView utf8);

// The text as read back: one ' taken off when it stands before what
// needsGuard() guards; any other text as it is.
QStringView unguarded(QStringView text);

} // namespace formulaguard
