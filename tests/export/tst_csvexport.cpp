// "导出为CSV文件": each kind of stored value as the file holds it. Values go
// out as stored; a text a spreadsheet would take for a formula gets one '
// before it, in whatever column it is stored, while the numbers and dates
// the program writes stay as they are.
#include "tst_export.h"

#include "catalogue/bookcolumns.h"
#include "components/filedialog.h"
#include "components/messages.h"
#include "support/filehelpers.h"

#include <QtTest>

void ExportTest::csvWritesStoredValues_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("stored"); // as SQL writes it
    QTest::addColumn<QString>("written");
    const struct
    {
        const char *name, *column, *stored, *written;
    } rows[] = {
        // Texts that start a formula, in text columns.
        {"=", "book_name", "'=1+1'", "'=1+1"},
        {"+", "book_author", "'+3'", "'+3"},
        {"-", "book_author2", "'-2'", "'-2"},
        {"@", "book_cate", "'@分类'", "'@分类"},
        {"tab", "book_pub", "char(9) || 'x'", "'\tx"},
        {"carriage return", "book_note", "char(13) || 'x'", "\"'\rx\""},
        {"' before =", "book_isbn", "'''=x'", "''=x"},
        {"' before a letter", "book_isbn", "'''abc'", "'abc"},
        {"= inside", "book_name", "'a=b'", "a=b"},
        {"blank before =", "book_name", "' =x'", " =x"},
        // Texts in columns of numbers, dates and codes are texts.
        {"a price text below zero", "book_value", "'-12.5'", "'-12.5"},
        {"a price text", "book_value", "'12.50'", "12.50"},
        {"pages as text", "book_pages", "'-5 页'", "'-5 页"},
        {"a date as text", "book_loand", "'-1天'", "'-1天"},
        {"a code as text", "book_loan", "'=1'", "'=1"},
        // Numbers and dates as stored, never guarded.
        {"pages below zero", "book_pages", "-5", "-5"},
        {"pages, a fraction below zero", "book_pages", "-2.5", "-2.5"},
        {"a date", "book_buyd", "'2020-01-05'", "2020-01-05"},
        {"a code", "book_loan", "3", "已借出"},
        {"a code out of range", "book_rating", "7", "7"},
        {"a code below zero", "book_readed", "-1", "-1"},
        // No value and the empty text stay apart.
        {"no value", "book_name", "null", ""},
        {"empty text", "book_name", "''", "\"\""},
    };
    for (const auto &r : rows)
        QTest::newRow(r.name) << QString::fromLatin1(r.column) << QString::fromUtf8(r.stored)
                              << QString::fromUtf8(r.written);
}

void ExportTest::csvWritesStoredValues()
{
    QFETCH(QString, column);
    QFETCH(QString, stored);
    QFETCH(QString, written);
    seed(QStringLiteral("insert into book (book_id, %1) values (1, %2)").arg(column, stored));
    QStringList fields(bookcolumns::kColumnCount);
    fields[0] = QStringLiteral("1");
    for (int c = 0; c < bookcolumns::kColumnCount; ++c)
        if (bookcolumns::columnName(c) == column)
            fields[c] = written;
    start();
    const QString path = folder->path() + QStringLiteral("books.csv");
    filedialog::setNextFileName(path);
    trigger("mfsavecsv");
    QVERIFY(msg::takeShown().isEmpty());
    const QByteArray bytes = filehelpers::bytes(path);
    const QByteArray record = bytes.mid(bytes.indexOf("\r\n") + 2);
    QCOMPARE(QString::fromUtf8(record), fields.join(QLatin1Char(',')) + QStringLiteral("\r\n"));
}
