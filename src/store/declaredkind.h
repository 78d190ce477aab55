#pragma once

#include <QByteArrayView>

// The kind of value a column's declared type stands for, by SQLite's own
// affinity rules widened by the names other programs use: "INT" anywhere is
// a whole number; "DATE" or "TIME" a date (kept as ISO 8601 text); "REAL",
// "FLOA", "DOUB", "NUMERIC", "DECIMAL", "CURRENCY" or "MONEY" a number with
// a fraction; "MEMO" or "LONGTEXT" a long text; anything else a text.
enum class DeclaredKind { Integer, Date, Float, Memo, Text };
DeclaredKind declaredKind(QByteArrayView declared);
