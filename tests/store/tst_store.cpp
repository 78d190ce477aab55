// The data file and the dataset through which every window reads and writes it.
#include "catalogue/schema.h"
#include "formats/gridstoredtable.h"
#include "store/bookrow.h"
#include "store/dataset.h"
#include "store/datetext.h"
#include "store/packedrows.h"
#include "store/sqlquote.h"
#include "store/textorder.h"
#include "store/transaction.h"
#include "store/usererror.h"
#include "support/fixture.h"

#include <QtTest>

class StoreTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<fixture::ProgramFolder> folder;
    QString file() const { return folder->dataFile(); }

    // Opens a dataset on a command, as a window does.
    static void openOn(Dataset &ds, const QString &command, const QVariantList &values = {})
    {
        ds.setCommandText(command, values);
        ds.open();
    }

    // The fields of the current record of a "select * from book" dataset,
    // each read as text: the way to a row that does not go through the scan.
    static bookrow::Fields recordFields(const Dataset &ds)
    {
        auto text = [&](const char16_t *name) { return ds.fieldByName(QStringView(name)); };
        return {text(u"book_name"),     text(u"book_cate"), text(u"book_author"), text(u"book_author2"),
                text(u"book_language"), text(u"book_isbn"), text(u"book_pub"),    text(u"book_pubd"),
                text(u"book_pages"),    text(u"book_buya"), text(u"book_buyd"),   text(u"book_value"),
                text(u"book_rating"),   text(u"book_loan"), text(u"book_readed"), text(u"book_reader"),
                text(u"book_id")};
    }

    // The rows of a scan, kept as stored fields and made into texts as the
    // book list makes them; each cell's sort key is checked on the way.
    static QList<QStringList> scannedRows(Dataset &ds, QStringList &mismatches)
    {
        bookrow::FieldReader reader;
        PackedRows rows;
        ds.scan([&](const Dataset::Row &row) { reader.read(row, rows); });
        QList<QStringList> out;
        bookrow::StoredFields fields;
        for (int r = 0; r < rows.rowCount(); ++r) {
            rows.readRow(r, fields);
            for (int f = 0; f < bookrow::kFieldCount; ++f)
                fields[size_t(f)].date = reader.isDate(f);
            const QStringList texts = bookrow::build(fields);
            for (int c = 0; c < bookrow::kColumnCount; ++c) {
                const QString text = c < texts.size() ? texts[c] : QString();
                QByteArray key;
                bookrow::appendCellKey(fields, c, key);
                if (key != textorder::key(text))
                    mismatches << QStringLiteral("row %1 cell %2 (%3)").arg(r).arg(c).arg(text);
            }
            out << texts;
        }
        return out;
    }

private Q_SLOTS:
    void init()
    {
        folder = std::make_unique<fixture::ProgramFolder>();
        datetext::setLocale(QLocale(QLocale::Chinese, QLocale::China));
    }
    void cleanup()
    {
        folder.reset();
        datetext::resetLocale();
    }

    void newCatalogueIsEmptyWithOneRegRow()
    {
        QCOMPARE(fixture::column(file(), QStringLiteral("select reg_passwd from reg")), QStringList{QString()});
        for (const char *table : {"book", "category", "pub", "author", "reader"})
            QCOMPARE(fixture::value(file(), QStringLiteral("select count(*) from ") + QLatin1String(table)),
                     QStringLiteral("0"));
        QVERIFY_THROWS_EXCEPTION(UserError, schema::create(file()));
    }

    void textConversions_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("stored"); // as the file holds it, "<null>" for no value
        QTest::addColumn<QString>("read");

        const QLocale zh(QLocale::Chinese, QLocale::China);
        const QLocale us(QLocale::English, QLocale::UnitedStates);
        const QLocale de(QLocale::German, QLocale::Germany);
        QTest::newRow("whole number") << zh << "book_pages"
                                      << "320"
                                      << "320"
                                      << "320";
        QTest::newRow("number with blanks") << zh << "book_pages"
                                            << " 42 "
                                            << "42"
                                            << "42";
        QTest::newRow("empty number is no value") << zh << "book_pages"
                                                  << ""
                                                  << "<null>"
                                                  << "";
        QTest::newRow("code") << zh << "book_loan"
                              << "2"
                              << "2"
                              << "2";
        QTest::newRow("date, Chinese format") << zh << "book_pubd"
                                              << "2003/9/2"
                                              << "2003-09-02"
                                              << "2003/9/2";
        QTest::newRow("date, US format keeps four-digit year") << us << "book_pubd"
                                                               << "9/2/2003"
                                                               << "2003-09-02"
                                                               << "9/2/2003";
        QTest::newRow("date, German format") << de << "book_buyd"
                                             << "02.09.1999"
                                             << "1999-09-02"
                                             << "02.09.1999";
        QTest::newRow("date, ISO accepted") << us << "book_loand"
                                            << "2010-01-31"
                                            << "2010-01-31"
                                            << "1/31/2010";
        QTest::newRow("empty date is no value") << zh << "book_pubd"
                                                << ""
                                                << "<null>"
                                                << "";
        QTest::newRow("empty text stays text") << zh << "book_isbn"
                                               << ""
                                               << ""
                                               << "";
        QTest::newRow("text as typed") << zh << "book_value"
                                       << " 12.50元 "
                                       << " 12.50元 "
                                       << " 12.50元 ";
        QTest::newRow("quote in text") << zh << "book_name"
                                       << "O'Reilly 的书"
                                       << "O'Reilly 的书"
                                       << "O'Reilly 的书";
    }
    void textConversions()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, field);
        QFETCH(QString, written);
        QFETCH(QString, stored);
        QFETCH(QString, read);
        datetext::setLocale(locale);

        fixture::Cursor ds;
        openOn(ds, QStringLiteral("select * from book"));
        ds.append();
        ds.setFieldByName(u"book_name", QStringLiteral("书"));
        ds.setFieldByName(field, written);
        ds.post();
        QCOMPARE(ds.fieldByName(field), read);
        ds.close();

        QCOMPARE(fixture::value(file(), QStringLiteral("select %1 from book").arg(field)), stored);
        openOn(ds, QStringLiteral("select * from book"));
        QCOMPARE(ds.fieldByName(field), read);
    }

    void refusedValueWritesNothing_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("written");
        QTest::newRow("letters as page count") << "book_pages"
                                               << "12a";
        QTest::newRow("fraction as page count") << "book_pages"
                                                << "1.5";
        QTest::newRow("impossible date") << "book_pubd"
                                         << "2003/13/45";
        QTest::newRow("words as date") << "book_buyd"
                                       << "明天";
    }
    void refusedValueWritesNothing()
    {
        QFETCH(QString, field);
        QFETCH(QString, written);
        {
            fixture::Cursor ds;
            ScopedClose closing(ds);
            openOn(ds, QStringLiteral("select * from book"));
            ds.append();
            ds.setFieldByName(u"book_name", QStringLiteral("半截的书"));
            try {
                ds.setFieldByName(field, written);
                QFAIL("the value was accepted");
            } catch (const UserError &e) {
                QVERIFY2(e.message().contains(written), qPrintable(e.message()));
            }
        }
        QCOMPARE(fixture::value(file(), QStringLiteral("select count(*) from book")), QStringLiteral("0"));

        // The same dataset serves the next action normally.
        fixture::Cursor ds;
        openOn(ds, QStringLiteral("select * from book"));
        QCOMPARE(ds.recordCount(), 0);
    }

    void postGivesKeyThatLocatesRow()
    {
        fixture::Cursor ds;
        openOn(ds, QStringLiteral("select * from book"));
        QStringList keys;
        for (const char *title : {"第一本", "第二本"}) {
            ds.append();
            ds.setFieldByName(u"book_name", QString::fromUtf8(title));
            ds.post();
            keys << ds.fieldByName(u"book_id");
        }
        QCOMPARE(ds.recordCount(), 2);
        ds.close();
        QVERIFY(keys[0].toInt() > 0 && keys[1].toInt() > keys[0].toInt());

        openOn(ds, QStringLiteral("select * from book where book_id=") + keys[1]);
        QCOMPARE(ds.recordCount(), 1);
        QCOMPARE(ds.fieldByName(u"book_name"), QStringLiteral("第二本"));
        // Keys are never reused after a delete.
        ds.deleteRecord();
        ds.close();
        openOn(ds, QStringLiteral("select * from book"));
        ds.append();
        ds.setFieldByName(u"book_name", QStringLiteral("第三本"));
        ds.post();
        QVERIFY(ds.fieldByName(u"book_id").toInt() > keys[1].toInt());
    }

    void editOnEmptyResultAppends()
    {
        fixture::Cursor ds;
        openOn(ds, QStringLiteral("select * from category where cate_name='小说'"));
        QCOMPARE(ds.recordCount(), 0);
        ds.edit();
        ds.setFieldByName(u"cate_name", QStringLiteral("小说"));
        ds.post();
        ds.close();
        QCOMPARE(fixture::column(file(), QStringLiteral("select cate_name from category")),
                 QStringList{QStringLiteral("小说")});
    }

    void editChangesOnlyItsRow()
    {
        fixture::exec(file(), QStringLiteral("insert into book (book_name, book_pages) values ('甲', 10), ('乙', 20)"));
        fixture::Cursor ds;
        openOn(ds, QStringLiteral("select * from book where book_name='乙'"));
        ds.edit();
        ds.setFieldByName(u"book_pages", QStringLiteral("21"));
        QCOMPARE(ds.fieldByName(u"book_pages"), QStringLiteral("21")); // the pending value reads back
        ds.post();
        QCOMPARE(ds.fieldByName(u"book_name"), QStringLiteral("乙"));
        ds.close();
        QCOMPARE(fixture::column(file(), QStringLiteral("select book_pages from book order by book_id")),
                 (QStringList{QStringLiteral("10"), QStringLiteral("21")}));
    }

    void transactionIsAllOrNothing()
    {
        fixture::exec(file(), QStringLiteral("insert into category (cate_name) values ('旧')"));
        auto rename = [&](bool commit) {
            fixture::Cursor ds;
            Transaction change(ds);
            openOn(ds, QStringLiteral("select * from category"));
            ds.edit();
            ds.setFieldByName(u"cate_name", QStringLiteral("新"));
            ds.post();
            ds.close();
            if (commit)
                change.commit();
        };
        rename(false);
        QCOMPARE(fixture::value(file(), QStringLiteral("select cate_name from category")), QStringLiteral("旧"));
        rename(true);
        QCOMPARE(fixture::value(file(), QStringLiteral("select cate_name from category")), QStringLiteral("新"));
    }

    void deleteRemovesCurrentRow()
    {
        fixture::exec(file(), QStringLiteral("insert into pub (pub_name) values ('甲'), ('乙'), ('丙')"));
        fixture::Cursor ds;
        openOn(ds, QStringLiteral("select * from pub"));
        ds.next();
        ds.deleteRecord();
        QCOMPARE(ds.recordCount(), 2);
        QCOMPARE(ds.fieldByName(u"pub_name"), QStringLiteral("丙"));
        ds.close();
        QCOMPARE(fixture::column(file(), QStringLiteral("select pub_name from pub order by pub_id")),
                 (QStringList{QStringLiteral("甲"), QStringLiteral("丙")}));

        openOn(ds, QStringLiteral("select * from pub where pub_id=999"));
        QVERIFY_THROWS_EXCEPTION(UserError, ds.deleteRecord());
    }

    // The result is read once, when it is first needed, and stays as read;
    // rows added before that stand after it, the last added current.
    void snapshotTakenAtFirstRead()
    {
        fixture::exec(file(), QStringLiteral("insert into author (author_name) values ('鲁迅')"));
        fixture::Cursor ds;
        openOn(ds, QStringLiteral("select * from author"));
        QCOMPARE(ds.recordCount(), 1);
        fixture::exec(file(), QStringLiteral("insert into author (author_name) values ('老舍')"));
        QCOMPARE(ds.recordCount(), 1);
        ds.next();
        QVERIFY(ds.eof());
        QVERIFY_THROWS_EXCEPTION(UserError, ds.fieldByName(u"author_name"));
        QVERIFY_THROWS_EXCEPTION(UserError, ds.fieldByName(u"no_such_column"));
        ds.close();

        openOn(ds, QStringLiteral("select * from author order by author_name desc"));
        ds.append();
        ds.setFieldByName(u"author_name", QStringLiteral("巴金"));
        ds.post();
        // Reading the added row does not read the result: a row stored
        // after it is still found when the result is read.
        QCOMPARE(ds.fieldByName(u"author_name"), QStringLiteral("巴金"));
        fixture::exec(file(), QStringLiteral("insert into author (author_name) values ('茅盾')"));
        QCOMPARE(ds.recordCount(), 4);
        QCOMPARE(ds.fieldByName(u"author_name"), QStringLiteral("巴金"));
        ds.next();
        QVERIFY(ds.eof());
        ds.close();
        ds.open();
        QStringList names;
        for (; !ds.eof(); ds.next())
            names << ds.fieldByName(u"author_name");
        QCOMPARE(names, (QStringList{"鲁迅", "茅盾", "老舍", "巴金"}));
    }

    void commandTextOnlyWhileClosed()
    {
        fixture::Cursor ds;
        openOn(ds, QStringLiteral("select * from reg"));
        ds.setCommandText(QStringLiteral("select * from reg")); // the same text: nothing happens
        QVERIFY_THROWS_EXCEPTION(UserError, ds.setCommandText(QStringLiteral("select * from book")));
        QCOMPARE(ds.commandText(), QStringLiteral("select * from reg"));
        ds.close();
        ds.setCommandText(QStringLiteral("select * from book"));
        QCOMPARE(ds.commandText(), QStringLiteral("select * from book"));
    }

    void boundNameSelectsExactlyItsRows_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << "小说";
        QTest::newRow("quote inside") << "O'Reilly";
        QTest::newRow("only a quote") << "'";
        QTest::newRow("doubled quote") << "a''b";
        QTest::newRow("injection attempt") << "x' or '1'='1";
        // The command text would end at a zero byte: the name must still
        // select its own rows, not those of the text before the zero.
        const QChar nul(0);
        QTest::newRow("zero inside") << QStringLiteral("小说") + nul + QStringLiteral("续");
        QTest::newRow("zero at the end") << QStringLiteral("小说") + nul;
        QTest::newRow("zero alone") << QString(nul);
        QTest::newRow("two zeros") << QString(nul) + nul;
        QTest::newRow("zero between quotes") << QStringLiteral("'") + nul + QStringLiteral("' or '1'='1");
    }
    void boundNameSelectsExactlyItsRows()
    {
        QFETCH(QString, name);
        const QChar nul(0);
        const QStringList names{QStringLiteral("小说"),
                                QStringLiteral("O'Reilly"),
                                QStringLiteral("'"),
                                QStringLiteral("a''b"),
                                QStringLiteral("x' or '1'='1"),
                                QStringLiteral("x"),
                                QStringLiteral("小说续"),
                                QStringLiteral("小说") + nul + QStringLiteral("续"),
                                QStringLiteral("小说") + nul,
                                QString(nul),
                                QString(nul) + nul,
                                QStringLiteral("'") + nul + QStringLiteral("' or '1'='1"),
                                QString()};
        fixture::Cursor ds;
        openOn(ds, QStringLiteral("select * from book"));
        for (const QString &n : names) {
            ds.append();
            ds.setFieldByName(u"book_cate", n);
            ds.post();
        }
        ds.close();
        try {
            openOn(ds, QStringLiteral("select * from book where book_cate=?"), {name});
        } catch (const UserError &e) {
            QFAIL(qPrintable(e.message()));
        }
        QCOMPARE(ds.recordCount(), 1);
        QCOMPARE(ds.fieldByName(u"book_cate"), name);
    }

    void likeWithPercent()
    {
        fixture::exec(file(), QStringLiteral("insert into book (book_name) values ('O''Reilly Cookbook'), ('红楼梦'), "
                                             "('Learning Qt'), ('红与黑')"));
        fixture::Cursor ds;
        auto found = [&](const QString &word) {
            ds.close();
            openOn(ds, QStringLiteral("select * from book where book_name like ?"),
                   {QStringLiteral("%") + word + QStringLiteral("%")});
            return ds.recordCount();
        };
        QCOMPARE(found(QStringLiteral("红")), 2);
        QCOMPARE(found(QStringLiteral("o'r")), 1); // letter case does not count, the quote is a character
        QCOMPARE(found(QString()), 4);
        QCOMPARE(found(QStringLiteral("楼梦x")), 0);
    }

    void idsAreCheckedBeforeJoining_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("digits") << "42" << true;
        QTest::newRow("blanks around") << " 7 " << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("word") << "abc" << false;
        QTest::newRow("injection") << "1 or 1=1" << false;
    }
    void idsAreCheckedBeforeJoining()
    {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        if (accepted)
            QCOMPARE(sqlquote::checkedId(text), text.trimmed());
        else
            QVERIFY_THROWS_EXCEPTION(UserError, sqlquote::checkedId(text));
    }

    // The list row of a book: the codes' texts, and what a code out of range
    // does to the columns after it.
    void bookRowRule_data()
    {
        QTest::addColumn<QString>("rating");
        QTest::addColumn<QString>("loan");
        QTest::addColumn<QString>("readed");
        QTest::addColumn<QString>("tail"); // the texts after the eleven stored ones, joined by "|"
        QTest::newRow("own copy hides the reader") << "1"
                                                   << "1"
                                                   << "1"
                                                   << "非常喜欢|自己拥有|已读||7";
        QTest::newRow("borrowed in") << "2"
                                     << "2"
                                     << "2"
                                     << "很不错|借入|未读|老王|7";
        QTest::newRow("lent out") << "5"
                                  << "3"
                                  << "1"
                                  << "很糟糕|已借出|已读|老王|7";
        QTest::newRow("rating 3 and 4") << "3"
                                        << "1"
                                        << "2"
                                        << "还可以|自己拥有|未读||7";
        QTest::newRow("rating 4") << "4"
                                  << "2"
                                  << "1"
                                  << "不太好|借入|已读|老王|7";
        QTest::newRow("rating out of range") << "6"
                                             << "2"
                                             << "1"
                                             << "6|借入|已读|老王|7";
        QTest::newRow("no rating") << ""
                                   << "1"
                                   << "1"
                                   << "|自己拥有|已读||7";
        QTest::newRow("read code out of range") << "1"
                                                << "3"
                                                << "0"
                                                << "非常喜欢|已借出|0|老王|7";
        QTest::newRow("loan code out of range: the reader shows") << "2"
                                                                  << "4"
                                                                  << "1"
                                                                  << "很不错|4|已读|老王|7";
        QTest::newRow("no loan code") << "2"
                                      << ""
                                      << "1"
                                      << "很不错||已读|老王|7";
        QTest::newRow("codes compare as exact text") << " 1"
                                                     << "01"
                                                     << "1"
                                                     << " 1|01|已读|老王|7";
        QTest::newRow("texts that are no codes") << "abc"
                                                 << "借入"
                                                 << "是"
                                                 << "abc|借入|是|老王|7";
    }
    void bookRowRule()
    {
        QFETCH(QString, rating);
        QFETCH(QString, loan);
        QFETCH(QString, readed);
        QFETCH(QString, tail);
        bookrow::Fields book{QStringLiteral("书名"),
                             QStringLiteral("分类"),
                             QStringLiteral("作者"),
                             QString(),
                             QStringLiteral("中文"),
                             QStringLiteral("isbn"),
                             QStringLiteral("出版社"),
                             QStringLiteral("2003/9/2"),
                             QStringLiteral("100"),
                             QStringLiteral("书店"),
                             QString(),
                             QStringLiteral("25"),
                             rating,
                             loan,
                             readed,
                             QStringLiteral("老王"),
                             QStringLiteral("7")};
        const QStringList row = bookrow::build(book);
        QCOMPARE(row.mid(0, 12), (QStringList{"书名", "分类", "作者", "", "中文", "isbn", "出版社", "2003/9/2", "100",
                                              "书店", "", "25"}));
        QCOMPARE(row.mid(12).join(QLatin1Char('|')), tail);
    }

    void bookRowFromRecord()
    {
        fixture::exec(file(), QStringLiteral("insert into book (book_name, book_pubd, book_pages, book_rating,"
                                             " book_loan, book_readed, book_reader) values"
                                             " ('边城', '2003-09-02', 210, 1, 2, 2, '小李')"));
        fixture::Cursor ds;
        openOn(ds, QStringLiteral("select * from book"));
        const QStringList row = bookrow::build(recordFields(ds));
        QCOMPARE(row.size(), bookrow::kColumnCount);
        QCOMPARE(row[bookrow::PubDate], QStringLiteral("2003/9/2"));
        QCOMPARE(row[bookrow::Pages], QStringLiteral("210"));
        QCOMPARE(row.mid(bookrow::Rating), (QStringList{"非常喜欢", "借入", "未读", "小李", "1"}));
    }

    // The list fill builds packed rows straight from a scan; they must be the
    // rows of the same rule, whatever the stored values look like.
    void scannedRowsFollowTheSameRule()
    {
        fixture::exec(file(),
                      QStringLiteral("insert into book (book_name, book_pubd, book_pages, book_value, book_rating,"
                                     " book_loan, book_readed, book_reader, book_cate) values"
                                     " ('边城', '2003-09-02', 210, '18.5', 1, 2, 2, '小李', NULL),"
                                     " ('Dune', 'not a date', NULL, NULL, 9, 1, 1, '隐藏', ''),"
                                     " ('坏码', NULL, -3, 7, '2', '3', 0, '老王', 'x'),"
                                     " ('实数', '1999-12-31', 1.5, NULL, 3.0, 4, 1, NULL, NULL),"
                                     " (NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL)"));
        datetext::setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
        fixture::Cursor ds;
        openOn(ds, QStringLiteral("select * from book"));
        QList<QStringList> expected;
        for (int i = 0; i < ds.recordCount(); ++i, ds.next())
            expected << bookrow::build(recordFields(ds));
        ds.close();

        QStringList mismatches;
        const QList<QStringList> scanned = scannedRows(ds, mismatches);
        QVERIFY(!ds.isOpen());
        QCOMPARE(scanned, expected);
        QVERIFY2(mismatches.isEmpty(), qPrintable(mismatches.join(u'\n')));
        QCOMPARE(scanned[0].mid(7, 1), QStringList{QStringLiteral("9/2/2003")});
        QCOMPARE(scanned[2].mid(12), (QStringList{"很不错", "已借出", "0", "老王", "3"})); // read code out of range
    }

    // A code that is no known code, read from the file: every cell stays in
    // its column, the code cell showing the value as stored, and the sort
    // key of each cell is the key of its text.
    void unknownCodesKeepEveryCellInPlace_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("value"); // as SQL
        QTest::addColumn<QString>("shown");
        for (const char *column : {"book_rating", "book_loan", "book_readed"}) {
            const QString c = QString::fromLatin1(column);
            QTest::addRow("%s NULL", column) << c << "NULL"
                                             << "";
            QTest::addRow("%s 0", column) << c << "0"
                                          << "0";
            QTest::addRow("%s 7", column) << c << "7"
                                          << "7";
            QTest::addRow("%s -1", column) << c << "-1"
                                           << "-1";
            QTest::addRow("%s 2.5", column) << c << "2.5"
                                            << "2.5";
            QTest::addRow("%s text", column) << c << "'abc'"
                                             << "abc";
            QTest::addRow("%s empty text", column) << c << "''"
                                                   << "";
        }
    }
    void unknownCodesKeepEveryCellInPlace()
    {
        QFETCH(QString, column);
        QFETCH(QString, value);
        QFETCH(QString, shown);
        fixture::exec(file(), QStringLiteral("insert into book (book_id, book_name, book_cate, book_pubd, book_value,"
                                             " book_rating, book_loan, book_readed, book_reader) values"
                                             " (42, '边城', '小说', '2003-09-02', '18.5', 2, 3, 2, '老王');"
                                             "update book set %1 = %2")
                                  .arg(column, value));
        fixture::Cursor ds;
        openOn(ds, QStringLiteral("select * from book"));
        const QStringList fromTexts = bookrow::build(recordFields(ds));
        ds.close();
        QStringList mismatches;
        const QList<QStringList> scanned = scannedRows(ds, mismatches);
        QVERIFY2(mismatches.isEmpty(), qPrintable(mismatches.join(u'\n')));
        QCOMPARE(scanned.size(), 1);
        QCOMPARE(scanned[0], fromTexts);

        QStringList expected{"边城", "小说", "",     "",       "",       "",     "",     "2003/9/2", "",
                             "",     "",     "18.5", "很不错", "已借出", "未读", "老王", "42"};
        const int cell = column == u"book_rating" ? bookrow::Rating
                         : column == u"book_loan" ? bookrow::Loan
                                                  : bookrow::Read;
        expected[cell] = shown;
        QCOMPARE(scanned[0], expected);
    }

    // The packed rows share one scratch buffer that grows as longer rows
    // come: texts far longer than anything before them, after dates and
    // numbers and before them, must land whole and in their cells.
    void scannedRowsGrowTheirBuffer()
    {
        // Row k: texts of 8^k characters of one, two, three and four bytes
        // of UTF-8, dates and numbers between them; then short rows again.
        fixture::exec(file(),
                      QStringLiteral("with recursive n(k, len) as (select 0, 1 union all select k + 1, len * 8 from n"
                                     " where k < 5)"
                                     " insert into book (book_name, book_cate, book_author, book_author2, book_pubd,"
                                     " book_pages, book_buya, book_buyd, book_value, book_rating, book_loan,"
                                     " book_readed, book_reader)"
                                     " select replace(hex(zeroblob(len)), '00', '书'), 'x',"
                                     " replace(hex(zeroblob(len)), '00', 'ab'), replace(hex(zeroblob(len)), '00', 'é'),"
                                     " '2003-09-02', k * 1000 - 1, replace(hex(zeroblob(len)), '00', '😀'),"
                                     " '1999-12-31', len, 1 + k % 5, 2 + k % 2, 1, replace(hex(zeroblob(len)), '00',"
                                     " '借')"
                                     " from n;"
                                     " insert into book (book_name, book_pubd, book_pages, book_loan, book_reader)"
                                     " values ('短', '2020-01-05', 3, 3, '人'), ('', NULL, NULL, 2, '')"));
        fixture::Cursor ds;
        openOn(ds, QStringLiteral("select * from book"));
        QList<QStringList> expected;
        for (int i = 0; i < ds.recordCount(); ++i, ds.next())
            expected << bookrow::build(recordFields(ds));
        ds.close();
        QCOMPARE(expected.size(), 8);
        QCOMPARE(expected[5][bookrow::Title].size(), 32768);

        QStringList mismatches;
        QCOMPARE(scannedRows(ds, mismatches), expected);
        QVERIFY2(mismatches.isEmpty(), qPrintable(mismatches.join(u'\n')));
    }

    // The order of the sortable lists: GB18030 bytes, a-z folded to A-Z.
    void textOrder_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("sign");
        QTest::newRow("numbers as text") << "9"
                                         << "100" << 1;
        QTest::newRow("prefix first") << "ab"
                                      << "abc" << -1;
        QTest::newRow("letter case folded") << "apple"
                                            << "Banana" << -1;
        QTest::newRow("equal but for case") << "abc"
                                            << "ABC" << 0;
        QTest::newRow("folded letters before underscore") << "a"
                                                          << "_" << -1;
        QTest::newRow("GB2312 order, not Unicode: 啊 阿") << "啊"
                                                          << "阿" << -1;
        QTest::newRow("GB2312 order, not Unicode: 阿 埃") << "阿"
                                                          << "埃" << -1;
        QTest::newRow("Chinese after Latin") << "中"
                                             << "z" << 1;
        QTest::newRow("symbol outside GB2312") << "€"
                                               << "啊" << -1;
        QTest::newRow("beyond the basic plane") << "😀"
                                                << "中" << -1;
    }
    // Packed rows keep every value as it came, whatever its size, and rows
    // rewritten, removed and reordered keep their own values.
    void packedRowsKeepValues()
    {
        const QByteArray longText(70000, 'x');
        PackedRows rows;
        rows.beginRow();
        rows.addInteger(std::numeric_limits<qint64>::min());
        rows.addInteger(-1);
        rows.addInteger(std::numeric_limits<qint64>::max());
        rows.addReal(-0.5);
        rows.addNull();
        rows.addText(longText);
        rows.addText(QByteArrayView());
        rows.beginRow(); // a row with no values
        rows.beginRow();
        rows.addInteger(300);

        QCOMPARE(rows.rowCount(), 3);
        QCOMPARE(rows.valueCount(0), 7);
        QCOMPARE(rows.valueCount(1), 0);
        QCOMPARE(rows.value(0, 0).integer, std::numeric_limits<qint64>::min());
        QCOMPARE(rows.value(0, 1).integer, -1);
        QCOMPARE(rows.value(0, 2).integer, std::numeric_limits<qint64>::max());
        QCOMPARE(rows.value(0, 3).real, -0.5);
        QCOMPARE(rows.value(0, 4).type, FieldValue::Null);
        QCOMPARE(rows.value(0, 5).textBytes(), QByteArrayView(longText));
        QCOMPARE(rows.value(0, 6).type, FieldValue::Text);
        QCOMPARE(rows.value(0, 6).length, 0);
        QCOMPARE(rows.value(1, 0).type, FieldValue::Null); // beyond the row's values
        QCOMPARE(rows.value(2, 0).text(), QStringLiteral("300"));

        rows.beginRow();
        rows.addText("new");
        rows.moveLastTo(1);
        rows.reorder({2, 0, 1});
        rows.removeRow(1);
        QCOMPARE(rows.rowCount(), 2);
        QCOMPARE(rows.value(0, 0).integer, 300);
        QCOMPARE(rows.value(1, 0).text(), QStringLiteral("new"));
        QVERIFY_THROWS_EXCEPTION(UserError, rows.removeRow(2));
    }

    void textOrder()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, sign);
        QVERIFY(textorder::available());
        const int result = textorder::compare(a, b);
        QCOMPARE((result > 0) - (result < 0), sign);
        QCOMPARE(textorder::key(QStringLiteral("啊")), QByteArray("\xB0\xA1"));
    }

    void missingFileIsReportedAndNeverMade()
    {
        QFile::remove(file());
        try {
            // The connection is opened before any cursor runs on it.
            Connection connection(file());
            QFAIL("opened a missing file");
        } catch (const UserError &e) {
            QVERIFY2(e.message().contains(QStringLiteral("data.qmd")), qPrintable(e.message()));
            QVERIFY2(e.message().contains(QDir::toNativeSeparators(QFileInfo(file()).absolutePath())),
                     qPrintable(e.message()));
        }
        QVERIFY(!QFileInfo::exists(file()));
    }

    void foreignFileIsRefused()
    {
        QFile::remove(file());
        QFile garbage(file());
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray(4096, 'x'));
        garbage.close();
        try {
            fixture::Cursor ds;
            ds.setCommandText(QStringLiteral("select * from book"));
            ds.open();
            QFAIL("opened a file that is no catalogue");
        } catch (const UserError &e) {
            QVERIFY2(e.message().contains(QStringLiteral("不是有效的数据文件")), qPrintable(e.message()));
        }
    }

    // The dataset and the export read a column's declared type the same way:
    // a DATETIME column another program made is a date for both.
    void declaredTypesAgree()
    {
        fixture::exec(file(), QStringLiteral("create table other (id INTEGER PRIMARY KEY, d DATETIME, n BIGINT,"
                                             " p NUMERIC(10,2), t VARCHAR(20));"
                                             "insert into other (d, n, p, t) values ('2003-09-02', 7, 1.5, 'x')"));
        fixture::Cursor ds;
        openOn(ds, QStringLiteral("select * from other"));
        QCOMPARE(ds.fieldByName(u"d"), QStringLiteral("2003/9/2"));
        ds.close();
        StoredGridTable table;
        const QStringList fields{QStringLiteral("d"), QStringLiteral("n"), QStringLiteral("p"), QStringLiteral("t")};
        table.open(ds, fields);
        const QList<FieldType> types{FieldType::Date, FieldType::Integer, FieldType::Float, FieldType::Text};
        for (int i = 0; i < types.size(); ++i)
            QCOMPARE(int(table.field(table.fieldIndex(fields[i])).type), int(types[i]));
        QCOMPARE(table.displayText(0, table.fieldIndex(u"d")), QStringLiteral("2003/9/2"));
    }
};

QTEST_GUILESS_MAIN(StoreTest)
#include "tst_store.moc"
