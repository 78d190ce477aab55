#pragma once

#include "dataset.h"

#include <QByteArray>
#include <QString>

#include <vector>

// The kind of value a column's declared type stands for, by SQLite's own
// affinity rules widened by the names other programs use: "INT" anywhere is
// a whole number; "DATE" or "TIME" a date (kept as ISO 8601 text); "REAL",
// "FLOA", "DOUB", "NUMERIC", "DECIMAL", "CURRENCY" or "MONEY" a number with
// a fraction; "MEMO" or "LONGTEXT" a long text; anything else a text.
enum class DeclaredKind { Integer, Date, Float, Memo, Text };
DeclaredKind declaredKind(QByteArrayView declared);

// One field as it is stored, holding its own copy: what a window keeps of a
// record to see later whether another program has changed it.
struct StoredValue
{
    Dataset::Value::Type type = Dataset::Value::Null;
    bool date = false;
    qint64 integer = 0;
    double real = 0;
    QByteArray text; // UTF-8

    static StoredValue of(const Dataset::Value &value);
    // The dataset's text form of the value.
    QString toText() const;
    // The same type and the same value.
    bool operator==(const StoredValue &other) const;
    bool operator!=(const StoredValue &other) const { return !(*this == other); }
};

// Every field of a dataset's current record, in the result's order.
using StoredRecord = std::vector<StoredValue>;
StoredRecord storedRecord(const Dataset &dataset);
