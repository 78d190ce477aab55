#pragma once

#include "store/storedvalue.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

// A book as the catalogue holds it, and a book as a window writes it.

// One stored book: every column of table book, by name, with its value as
// stored (no value, a number, a text, a date), in the table's order.
struct StoredBook
{
    qint64 id = 0;
    QStringList columns;
    std::vector<StoredValue> values;

    // The column's place; -1 for a column the table does not have.
    int indexOf(QStringView column) const
    {
        for (qsizetype i = 0; i < columns.size(); ++i)
            if (columns[i] == column)
                return int(i);
        return -1;
    }
    // The column's value as the windows show it (see FieldValue::text): ""
    // for no value and for a column the table does not have.
    QString text(QStringView column) const
    {
        const int at = indexOf(column);
        return at < 0 ? QString() : values[size_t(at)].toText();
    }
    // The same columns holding the same values.
    bool operator==(const StoredBook &other) const = default;
};

// A column of book and the text a window holds for it. Written by the rules
// of the store: "" gives no value in a number or date column, a text that is
// no whole number or no date there is refused.
struct BookField
{
    QString column;
    QString text;
    bool operator==(const BookField &other) const = default;
};
using BookFields = QList<BookField>;
