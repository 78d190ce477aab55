#pragma once

#include "dataset.h"

#include <QByteArray>
#include <QString>

#include <vector>

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
