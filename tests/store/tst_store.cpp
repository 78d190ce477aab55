// The data file and the dataset through which every window reads and writes it.
#include "store/catalogue.h"
#include "store/dataset.h"
#include "store/datetext.h"
#include "store/sqlquote.h"
#include "store/storeerror.h"
#include "support/fixture.h"

#include <QtTest>

class StoreTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<fixture::ProgramFolder> folder;
    QString file() const { return folder->dataFile(); }

    // Opens a dataset on a command, as a window does.
    static void openOn(Dataset &ds, const QString &command)
    {
        ds.setCommandText(command);
        ds.open();
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
        QVERIFY_THROWS_EXCEPTION(StoreError, catalogue::create(file()));
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
        QTest::newRow("whole number") << zh << "book_pages" << "320" << "320" << "320";
        QTest::newRow("number with blanks") << zh << "book_pages" << " 42 " << "42" << "42";
        QTest::newRow("empty number is no value") << zh << "book_pages" << "" << "<null>" << "";
        QTest::newRow("code") << zh << "book_loan" << "2" << "2" << "2";
        QTest::newRow("date, Chinese format") << zh << "book_pubd" << "2003/9/2" << "2003-09-02" << "2003/9/2";
        QTest::newRow("date, US format keeps four-digit year")
            << us << "book_pubd" << "9/2/2003" << "2003-09-02" << "9/2/2003";
        QTest::newRow("date, German format") << de << "book_buyd" << "02.09.1999" << "1999-09-02" << "02.09.1999";
        QTest::newRow("date, ISO accepted") << us << "book_loand" << "2010-01-31" << "2010-01-31" << "1/31/2010";
        QTest::newRow("empty date is no value") << zh << "book_pubd" << "" << "<null>" << "";
        QTest::newRow("empty text stays text") << zh << "book_isbn" << "" << "" << "";
        QTest::newRow("text as typed") << zh << "book_value" << " 12.50元 " << " 12.50元 " << " 12.50元 ";
        QTest::newRow("quote in text") << zh << "book_name" << "O'Reilly 的书" << "O'Reilly 的书" << "O'Reilly 的书";
    }
    void textConversions()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, field);
        QFETCH(QString, written);
        QFETCH(QString, stored);
        QFETCH(QString, read);
        datetext::setLocale(locale);

        Dataset ds;
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
        QTest::newRow("letters as page count") << "book_pages" << "12a";
        QTest::newRow("fraction as page count") << "book_pages" << "1.5";
        QTest::newRow("impossible date") << "book_pubd" << "2003/13/45";
        QTest::newRow("words as date") << "book_buyd" << "明天";
    }
    void refusedValueWritesNothing()
    {
        QFETCH(QString, field);
        QFETCH(QString, written);
        {
            Dataset ds;
            ScopedClose closing(ds);
            openOn(ds, QStringLiteral("select * from book"));
            ds.append();
            ds.setFieldByName(u"book_name", QStringLiteral("半截的书"));
            try {
                ds.setFieldByName(field, written);
                QFAIL("the value was accepted");
            } catch (const StoreError &e) {
                QVERIFY2(e.message().contains(written), qPrintable(e.message()));
            }
        }
        QCOMPARE(fixture::value(file(), QStringLiteral("select count(*) from book")), QStringLiteral("0"));

        // The same dataset serves the next action normally.
        Dataset ds;
        openOn(ds, QStringLiteral("select * from book"));
        QCOMPARE(ds.recordCount(), 0);
    }

    void postGivesKeyThatLocatesRow()
    {
        Dataset ds;
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
        Dataset ds;
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
        Dataset ds;
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

    void deleteRemovesCurrentRow()
    {
        fixture::exec(file(), QStringLiteral("insert into pub (pub_name) values ('甲'), ('乙'), ('丙')"));
        Dataset ds;
        openOn(ds, QStringLiteral("select * from pub"));
        ds.next();
        ds.deleteRecord();
        QCOMPARE(ds.recordCount(), 2);
        QCOMPARE(ds.fieldByName(u"pub_name"), QStringLiteral("丙"));
        ds.close();
        QCOMPARE(fixture::column(file(), QStringLiteral("select pub_name from pub order by pub_id")),
                 (QStringList{QStringLiteral("甲"), QStringLiteral("丙")}));

        openOn(ds, QStringLiteral("select * from pub where pub_id=999"));
        QVERIFY_THROWS_EXCEPTION(StoreError, ds.deleteRecord());
    }

    void openTakesSnapshot()
    {
        fixture::exec(file(), QStringLiteral("insert into author (author_name) values ('鲁迅')"));
        Dataset ds;
        openOn(ds, QStringLiteral("select * from author"));
        fixture::exec(file(), QStringLiteral("insert into author (author_name) values ('老舍')"));
        QCOMPARE(ds.recordCount(), 1);
        ds.next();
        QVERIFY(ds.eof());
        QVERIFY_THROWS_EXCEPTION(StoreError, ds.fieldByName(u"author_name"));
        QVERIFY_THROWS_EXCEPTION(StoreError, ds.fieldByName(u"no_such_column"));
        ds.close();
        ds.open();
        QCOMPARE(ds.recordCount(), 2);
    }

    void commandTextOnlyWhileClosed()
    {
        Dataset ds;
        openOn(ds, QStringLiteral("select * from reg"));
        ds.setCommandText(QStringLiteral("select * from reg")); // the same text: nothing happens
        QVERIFY_THROWS_EXCEPTION(StoreError, ds.setCommandText(QStringLiteral("select * from book")));
        QCOMPARE(ds.commandText(), QStringLiteral("select * from reg"));
        ds.close();
        ds.setCommandText(QStringLiteral("select * from book"));
        QCOMPARE(ds.commandText(), QStringLiteral("select * from book"));
    }

    void quotedNameSelectsExactlyItsRows_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << "小说";
        QTest::newRow("quote inside") << "O'Reilly";
        QTest::newRow("only a quote") << "'";
        QTest::newRow("doubled quote") << "a''b";
        QTest::newRow("injection attempt") << "x' or '1'='1";
    }
    void quotedNameSelectsExactlyItsRows()
    {
        QFETCH(QString, name);
        const QStringList names{QStringLiteral("小说"), QStringLiteral("O'Reilly"), QStringLiteral("'"),
                                QStringLiteral("a''b"), QStringLiteral("x' or '1'='1"), QStringLiteral("x")};
        Dataset ds;
        openOn(ds, QStringLiteral("select * from book"));
        for (const QString &n : names) {
            ds.append();
            ds.setFieldByName(u"book_cate", n);
            ds.post();
        }
        ds.close();
        openOn(ds, QStringLiteral("select * from book where book_cate='") + sqlquote::quoteName(name) + "'");
        QCOMPARE(ds.recordCount(), 1);
        QCOMPARE(ds.fieldByName(u"book_cate"), name);
    }

    void likeWithPercent()
    {
        fixture::exec(file(), QStringLiteral("insert into book (book_name) values ('O''Reilly Cookbook'), ('红楼梦'), "
                                             "('Learning Qt'), ('红与黑')"));
        Dataset ds;
        auto found = [&](const QString &word) {
            ds.close();
            openOn(ds, QStringLiteral("select * from book where book_name like'%") + sqlquote::quoteName(word) +
                           QStringLiteral("%'"));
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
            QVERIFY_THROWS_EXCEPTION(StoreError, sqlquote::checkedId(text));
    }

    void missingFileIsReportedAndNeverMade()
    {
        QFile::remove(file());
        Dataset ds;
        ds.setCommandText(QStringLiteral("select * from reg"));
        try {
            ds.open();
            QFAIL("opened a missing file");
        } catch (const StoreError &e) {
            QVERIFY2(e.message().contains(QStringLiteral("data.qmd")), qPrintable(e.message()));
            QVERIFY2(e.message().contains(QDir::toNativeSeparators(QFileInfo(file()).absolutePath())),
                     qPrintable(e.message()));
        }
        QVERIFY(!ds.isOpen());
        QVERIFY(!QFileInfo::exists(file()));
    }

    void foreignFileIsRefused()
    {
        QFile::remove(file());
        QFile garbage(file());
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray(4096, 'x'));
        garbage.close();
        Dataset ds;
        ds.setCommandText(QStringLiteral("select * from book"));
        try {
            ds.open();
            QFAIL("opened a file that is no catalogue");
        } catch (const StoreError &e) {
            QVERIFY2(e.message().contains(QStringLiteral("不是有效的数据文件")), qPrintable(e.message()));
        }
    }
};

QTEST_GUILESS_MAIN(StoreTest)
#include "tst_store.moc"
