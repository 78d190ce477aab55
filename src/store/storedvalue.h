#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QStringEncoder;

// One field as the data file holds it, and the one way the program turns it
// into text.
//
// A value is one of SQLite's storage classes: no value, a whole number, a
// floating number or a text (UTF-8). A text in a date column (see
// declaredkind) is an ISO 8601 date, shown in the short date format.

// A value read in place: the bytes of a text belong to whatever it was read
// from (a statement's current row, a dataset's snapshot, packed rows) and stay
// valid only while that is unchanged.
struct FieldValue
{
    enum Type : unsigned char { Null, Integer, Real, Text };
    Type type = Null;
    bool date = false; // a date column: the text is ISO 8601
    qint64 integer = 0;
    double real = 0;
    const char *bytes = nullptr; // UTF-8, for Text
    qsizetype length = 0;

    QByteArrayView textBytes() const { return QByteArrayView(bytes, length); }

    // The text form, as every window shows the value: no value gives "", a
    // whole number its decimal digits, a floating number up to 15
    // significant digits, a date its short date text (a text that is no ISO
    // date as it is), any other text as it is.
    QString text() const;
    // The text form in the encoder's bytes, as the exports write it (GB18030);
    // appended to out. Plain ASCII is copied without the encoder.
    void appendText(QByteArray &out, QStringEncoder &encoder) const;

    // The same type and the same value (the date flag aside).
    bool sameAs(const FieldValue &other) const;
};

// A value that holds its own copy: what a window keeps of a record to see
// later whether another program has changed it.
struct StoredValue
{
    FieldValue::Type type = FieldValue::Null;
    bool date = false;
    qint64 integer = 0;
    double real = 0;
    QByteArray text; // UTF-8

    static StoredValue of(const FieldValue &value);
    FieldValue view() const;
    QString toText() const { return view().text(); }
    bool operator==(const StoredValue &other) const { return view().sameAs(other.view()); }
    bool operator!=(const StoredValue &other) const { return !(*this == other); }
};
