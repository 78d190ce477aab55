#include "registry.h"

#include "catalogue/bookimport.h"
#include "catalogue/catalogue.h"
#include "catalogue/catalogueconnection.h"
#include "catalogue/storedalready.h"
#include "store/connection.h"
#include "store/dataset.h"
#include "store/packedrows.h"
#include "store/usererror.h"
#include "support/fixture.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

#include <sqlite3.h>

namespace {

// Seeds books 1 to 3 for the cases to read, change and delete: a plain one,
// one of unknown codes and an unreadable date, one with a quote and a NUL in
// its title and no value in its codes.
const QString kBooks = QStringLiteral(
    "insert into book (book_id, book_name, book_author, book_isbn, book_pubd, book_pages, book_rating, book_loan) "
    "values (1, '边城', '沈从文', '978-7-02-000220-7', '1934-01-01', 300, 2, 1);"
    "insert into book (book_id, book_name, book_pubd, book_rating, book_loan, book_readed) "
    "values (2, 'Kafka', '1999年春', 9, 'abc', 0);"
    "insert into book (book_id, book_name) values (3, 'O''Brien' || char(0) || '之书');");

QString storedText(const QString &file, int id, const QString &column)
{
    return fixture::value(file, QStringLiteral("select quote(%1) from book where book_id=%2").arg(column).arg(id));
}

// A catalogue as made before the program had its indexes.
void dropIndexes(const QString &file)
{
    fixture::exec(file, QStringLiteral("drop index book_by_title_key; drop index book_by_isbn_key"));
}

QString fileHash(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex());
}

// Python's sqlite3 module: an SQLite of its own, as any other tool on the
// file would be. Runs the statements and prints what the last one gives.
QString otherSqlite(const QString &file, const QString &sql)
{
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import sqlite3, sys\n"
                                 "db = sqlite3.connect(sys.argv[1])\n"
                                 "rows = [db.execute(s).fetchall() for s in sys.argv[2].split(';')][-1]\n"
                                 "db.commit()\n"
                                 "print(rows)"),
                  file, sql});
    if (!python.waitForFinished(30000) || python.exitCode() != 0)
        return QStringLiteral("failed: ") + QString::fromUtf8(python.readAllStandardError());
    return QString::fromUtf8(python.readAllStandardOutput()).trimmed();
}

// What SQLite plans for a query: the details of its plan, joined by "|".
QString planOf(Connection &connection, const QString &sql)
{
    sqlite3_stmt *stmt = nullptr;
    const QByteArray text = ("EXPLAIN QUERY PLAN " + sql).toUtf8();
    if (sqlite3_prepare_v2(connection.handle(), text.constData(), -1, &stmt, nullptr) != SQLITE_OK)
        return QStringLiteral("failed: ") + QString::fromUtf8(sqlite3_errmsg(connection.handle()));
    QStringList details;
    while (sqlite3_step(stmt) == SQLITE_ROW)
        details << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 3)));
    sqlite3_finalize(stmt);
    return details.join(QLatin1Char('|'));
}

// The SQL texts a connection runs while it is watched.
class Watch
{
public:
    explicit Watch(Connection &connection)
        : m_db(connection.handle())
    {
        sqlite3_trace_v2(m_db, SQLITE_TRACE_STMT, &Watch::seen, this);
    }
    ~Watch() { sqlite3_trace_v2(m_db, 0, nullptr, nullptr); }
    QStringList texts;

private:
    static int seen(unsigned, void *self, void *stmt, void *)
    {
        static_cast<Watch *>(self)->texts << QString::fromUtf8(sqlite3_sql(static_cast<sqlite3_stmt *>(stmt)));
        return 0;
    }
    sqlite3 *m_db;
};

} // namespace

// A book by number, added, changed and deleted; whether a new one is stored
// already, and the indexes that answer it.
class BooksTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void bookIsReadAsStored_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("column");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("text");
        QTest::newRow("a date") << 1 << "book_pubd" << int(FieldValue::Text) << "1934/1/1";
        QTest::newRow("a number") << 1 << "book_pages" << int(FieldValue::Integer) << "300";
        QTest::newRow("no value") << 1 << "book_readed" << int(FieldValue::Null) << "";
        QTest::newRow("an unreadable date as it is") << 2 << "book_pubd" << int(FieldValue::Text) << "1999年春";
        QTest::newRow("a code out of range") << 2 << "book_rating" << int(FieldValue::Integer) << "9";
        QTest::newRow("a text as code") << 2 << "book_loan" << int(FieldValue::Text) << "abc";
        QTest::newRow("a quote and a NUL") << 3 << "book_name" << int(FieldValue::Text)
                                           << QStringLiteral("O'Brien") + QChar(0) + QStringLiteral("之书");
        QTest::newRow("no column of that name") << 3 << "book_nothing" << int(FieldValue::Null) << "";
    }
    void bookIsReadAsStored()
    {
        QFETCH(int, id);
        QFETCH(QString, column);
        QFETCH(int, type);
        QFETCH(QString, text);
        fixture::ProgramFolder folder;
        fixture::exec(folder.dataFile(), kBooks);
        Catalogue catalogue(folder.dataFile());
        const std::optional<StoredBook> book = catalogue.book(id);
        QVERIFY(book);
        QCOMPARE(book->id, qint64(id));
        QCOMPARE(book->columns.first(), QStringLiteral("book_id"));
        QCOMPARE(book->text(column), text);
        const int at = book->indexOf(column);
        QCOMPARE(at < 0 ? int(FieldValue::Null) : int(book->values[size_t(at)].type), type);
        QVERIFY(!catalogue.book(99));

        PackedRows row;
        QVERIFY(catalogue.readBookRow(id, row));
        QCOMPARE(row.rowCount(), 1);
        QCOMPARE(row.value(0, 0).text(), book->text(u"book_name"));
        QVERIFY(!catalogue.readBookRow(99, row));
        QCOMPARE(row.rowCount(), 1);
    }

    void addBookWritesByTheStoresRules_data()
    {
        QTest::addColumn<BookFields>("fields");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("stored"); // quoted; "" when refused
        const auto with = [](const QString &column, const QString &text) {
            return BookFields{{QStringLiteral("book_name"), QStringLiteral("新书")}, {column, text}};
        };
        QTest::newRow("pages") << with("book_pages", "12") << "book_pages"
                               << "12";
        QTest::newRow("no pages") << with("book_pages", "") << "book_pages"
                                  << "NULL";
        QTest::newRow("a date") << with("book_pubd", "1934/1/2") << "book_pubd"
                                << "'1934-01-02'";
        QTest::newRow("no date") << with("book_loand", "") << "book_loand"
                                 << "NULL";
        QTest::newRow("empty text stays text") << with("book_isbn", "") << "book_isbn"
                                               << "''";
        QTest::newRow("a quote and a NUL")
            << BookFields{{QStringLiteral("book_name"), QStringLiteral("O'Brien") + QChar(0) + QStringLiteral("书")}}
            << "hex(book_name)"
            << "'4F27427269656E00E4B9A6'";
        QTest::newRow("pages that are no number") << with("book_pages", "十二") << "book_pages"
                                                  << "";
        QTest::newRow("a date that is none") << with("book_buyd", "1999年春") << "book_buyd"
                                             << "";
    }
    void addBookWritesByTheStoresRules()
    {
        QFETCH(BookFields, fields);
        QFETCH(QString, column);
        QFETCH(QString, stored);
        fixture::ProgramFolder folder;
        Catalogue catalogue(folder.dataFile());
        QSignalSpy added(&catalogue, &Catalogue::bookAdded);
        if (stored.isEmpty()) {
            QVERIFY_THROWS_EXCEPTION(UserError, catalogue.addBook(fields));
            QCOMPARE(fixture::value(folder.dataFile(), QStringLiteral("select count(*) from book")), "0");
            QCOMPARE(added.count(), 0);
            return;
        }
        const qint64 id = catalogue.addBook(fields);
        QCOMPARE(added.count(), 1);
        QCOMPARE(added.first().first().toLongLong(), id);
        QCOMPARE(fixture::value(folder.dataFile(),
                                QStringLiteral("select quote(%1) from book where book_id=%2").arg(column).arg(id)),
                 stored);
    }

    void changeBookChecksForAnotherProgram_data()
    {
        QTest::addColumn<BookFields>("changed");
        QTest::addColumn<QString>("meanwhile"); // what another program does after the book was read
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("name");  // stored afterwards, quoted
        QTest::addColumn<QString>("pages"); // stored afterwards, quoted
        QTest::addColumn<int>("announced");
        const BookFields rename{{QStringLiteral("book_name"), QStringLiteral("新名")}};
        const QString theirPages = QStringLiteral("update book set book_pages=5 where book_id=1");
        QTest::newRow("written") << rename << "" << int(Catalogue::Change::Written) << "'新名'"
                                 << "300" << 1;
        QTest::newRow("nothing to write") << BookFields{} << "" << int(Catalogue::Change::Written) << "'边城'"
                                          << "300" << 0;
        QTest::newRow("changed meanwhile: nothing written")
            << rename << theirPages << int(Catalogue::Change::ChangedMeanwhile) << "'边城'"
            << "5" << 0;
        QTest::newRow("changed meanwhile, nothing of ours: their change shown")
            << BookFields{} << theirPages << int(Catalogue::Change::Written) << "'边城'"
            << "5" << 1;
        QTest::newRow("deleted meanwhile")
            << rename << "delete from book where book_id=1" << int(Catalogue::Change::Gone) << ""
            << "" << 0;
        QTest::newRow("a value the store refuses: nothing written")
            << BookFields{{QStringLiteral("book_name"), QStringLiteral("新名")},
                          {QStringLiteral("book_pages"), QStringLiteral("abc")}}
            << "" << -1 << "'边城'"
            << "300" << 0;
    }
    void changeBookChecksForAnotherProgram()
    {
        QFETCH(BookFields, changed);
        QFETCH(QString, meanwhile);
        QFETCH(int, outcome);
        QFETCH(QString, name);
        QFETCH(QString, pages);
        QFETCH(int, announced);
        fixture::ProgramFolder folder;
        const QString file = folder.dataFile();
        fixture::exec(file, kBooks);
        Catalogue catalogue(file);
        const StoredBook before = *catalogue.book(1);
        if (!meanwhile.isEmpty())
            fixture::exec(file, meanwhile);
        QSignalSpy changedSignal(&catalogue, &Catalogue::bookChanged);
        StoredBook current;
        if (outcome < 0) {
            QVERIFY_THROWS_EXCEPTION(UserError, catalogue.changeBook(before, changed, current));
        } else {
            QCOMPARE(int(catalogue.changeBook(before, changed, current)), outcome);
            if (outcome == int(Catalogue::Change::ChangedMeanwhile))
                QCOMPARE(current.text(u"book_pages"), QStringLiteral("5"));
        }
        QCOMPARE(storedText(file, 1, QStringLiteral("book_name")), name);
        QCOMPARE(storedText(file, 1, QStringLiteral("book_pages")), pages);
        QCOMPARE(changedSignal.count(), announced);
        // The catalogue goes on working: no transaction was left open.
        QCOMPARE(catalogue.addBook({{QStringLiteral("book_name"), QStringLiteral("再一本")}}), qint64(4));
    }

    void removeBookAnnouncesEvenWhenGone()
    {
        fixture::ProgramFolder folder;
        fixture::exec(folder.dataFile(), kBooks);
        Catalogue catalogue(folder.dataFile());
        QSignalSpy removed(&catalogue, &Catalogue::bookRemoved);
        QVERIFY(catalogue.removeBook(2));
        QVERIFY(!catalogue.removeBook(2));
        QCOMPARE(removed.count(), 2);
        QCOMPARE(fixture::column(folder.dataFile(), QStringLiteral("select book_id from book order by book_id")),
                 (QStringList{"1", "3"}));
    }

    void storedAlreadyIsOneRule_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("author");
        QTest::addColumn<QString>("isbn");
        QTest::addColumn<int>("id"); // 0: none
        QTest::addColumn<bool>("sameIsbn");
        QTest::newRow("same title and author") << "Dune"
                                               << "Frank Herbert"
                                               << "" << 1 << false;
        QTest::newRow("trimmed and case-folded") << "  dune\t"
                                                 << "FRANK HERBERT "
                                                 << "" << 1 << false;
        QTest::newRow("the full-width space trimmed") << "　边城"
                                                      << "沈从文　"
                                                      << "" << 2 << false;
        QTest::newRow("another author") << "Dune"
                                        << "Herbert"
                                        << "" << 0 << false;
        QTest::newRow("no author matches no author") << "无名"
                                                     << ""
                                                     << "" << 3 << false;
        QTest::newRow("letters beyond ASCII as they are") << "émile"
                                                          << ""
                                                          << "" << 0 << false;
        QTest::newRow("CJK unchanged") << "邊城"
                                       << "沈从文"
                                       << "" << 0 << false;
        QTest::newRow("a blank title repeats nothing") << "  "
                                                       << ""
                                                       << "" << 0 << false;
        QTest::newRow("ISBN-10 of a stored ISBN-13") << "别的"
                                                     << ""
                                                     << "7-02-000220-7" << 2 << true;
        QTest::newRow("ISBN-13 of a stored ISBN-10") << "别的"
                                                     << ""
                                                     << "978-0-441-17271-9" << 1 << true;
        QTest::newRow("hyphens and blanks aside") << "别的"
                                                  << ""
                                                  << "978 7020 002207" << 2 << true;
        QTest::newRow("a lower-case x") << "别的"
                                        << ""
                                        << "080442957x" << 4 << true;
        QTest::newRow("an ISBN-10 with a wrong check digit") << "别的"
                                                             << ""
                                                             << "0-8044-2957-5" << 4 << true;
        QTest::newRow("an ISBN-13 with a wrong check digit") << "别的"
                                                             << ""
                                                             << "9780804429571" << 0 << false;
        QTest::newRow("the ISBN before the title") << "Dune"
                                                   << "Frank Herbert"
                                                   << "9787020002207" << 2 << true;
        QTest::newRow("an unknown ISBN, the title") << "Dune"
                                                    << "Frank Herbert"
                                                    << "9780000000002" << 1 << false;
        QTest::newRow("no ISBN but a stand-in") << "别的"
                                                << ""
                                                << "无" << 0 << false;
        QTest::newRow("the lowest number of several") << "Émile"
                                                      << ""
                                                      << "" << 5 << false;
    }
    void storedAlreadyIsOneRule()
    {
        QFETCH(QString, title);
        QFETCH(QString, author);
        QFETCH(QString, isbn);
        QFETCH(int, id);
        QFETCH(bool, sameIsbn);
        fixture::ProgramFolder folder;
        fixture::exec(folder.dataFile(),
                      QStringLiteral("insert into book (book_id, book_name, book_author, book_isbn) values "
                                     "(1, ' Dune', 'Frank Herbert', '0-441-17271-7'),"
                                     "(2, '边城', '沈从文', '9787020002207'),"
                                     "(3, '无名', NULL, NULL),"
                                     "(4, 'X', 'Y', '0-8044-2957-X'),"
                                     "(5, 'Émile', '', '无'),"
                                     "(6, 'Émile', '', '无')"));
        dropIndexes(folder.dataFile());
        for (const bool indexed : {false, true}) {
            Catalogue catalogue(folder.dataFile());
            if (indexed)
                catalogue.prepareIndexes();
            const std::optional<storedalready::Match> found = catalogue.storedAlready(title, author, isbn);
            QCOMPARE(found ? int(found->id) : 0, id);
            if (found)
                QCOMPARE(found->sameIsbn, sameIsbn);
        }
    }

    void importAsksByTheSameRule()
    {
        fixture::ProgramFolder folder;
        fixture::exec(folder.dataFile(),
                      QStringLiteral("insert into book (book_id, book_name, book_author, book_isbn) values "
                                     "(1, 'Dune', NULL, '0-441-17271-7'), (2, 'Émile', NULL, NULL)"));
        dropIndexes(folder.dataFile());
        const QString csv = folder.path() + QStringLiteral("books.csv");
        QFile out(csv);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("书名,ISBN\r\ndune,\r\n\" Dune \",\r\n别的,978-0441172719\r\némile,\r\n新书,无\r\n");
        out.close();
        BookImport books(csvreader::readFile(csv), csv);
        Catalogue catalogue(folder.dataFile());
        books.judge(catalogue.importKeys());
        QList<qint64> repeated;
        for (int r = 0; r < 5; ++r)
            repeated << (books.judgement(r).status == BookImport::Status::Duplicate ? books.judgement(r).other : 0);
        QCOMPARE(repeated, (QList<qint64>{1, 1, 1, 0, 0}));
        QVERIFY(books.judgement(2).sameIsbn && !books.judgement(0).sameIsbn);
        // The file it asked got the indexes it asks them from.
        QCOMPARE(fixture::value(folder.dataFile(), QStringLiteral("select count(*) from sqlite_master where "
                                                                  "type='index' and name like 'book_by_%_key'")),
                 QStringLiteral("2"));
    }

    void matchIsDescribed()
    {
        const storedalready::Match full{7, true, QStringLiteral("边城"), QStringLiteral("沈从文"),
                                        QStringLiteral("7-02")};
        QCOMPARE(full.described(), QStringLiteral("《边城》，作者：沈从文，ISBN：7-02，编号：7"));
        const storedalready::Match bare{8, false, QStringLiteral("无名"), {}, {}};
        QCOMPARE(bare.described(), QStringLiteral("《无名》，编号：8"));
    }

    void indexesAnswerAndKeepTheFileSound()
    {
        fixture::ProgramFolder folder;
        const QString file = folder.dataFile();
        fixture::exec(file, kBooks);
        dropIndexes(file);
        const QString indexes = QStringLiteral(
            "select name from sqlite_master where type='index' and name like 'book_by_%_key' order by name");
        {
            Catalogue catalogue(file);
            catalogue.prepareIndexes();
            QCOMPARE(fixture::column(file, indexes), (QStringList{"book_by_isbn_key", "book_by_title_key"}));
            QVERIFY(!storedalready::prepareIndexes(CatalogueConnection::of(catalogue)));

            // The questions asked use them: no book is read to answer.
            Watch watch(CatalogueConnection::of(catalogue));
            QVERIFY(catalogue.storedAlready(QStringLiteral("dune"), QString(), QStringLiteral("0-441-17271-7")) ==
                    std::nullopt);
            QCOMPARE(watch.texts.size(), 2);
            QStringList plans;
            for (const QString &sql : watch.texts)
                plans << planOf(CatalogueConnection::of(catalogue), sql);
            QVERIFY2(plans.value(0).contains(QLatin1String("USING INDEX book_by_isbn_key")),
                     qPrintable(plans.value(0)));
            QVERIFY2(plans.value(1).contains(QLatin1String("USING INDEX book_by_title_key")),
                     qPrintable(plans.value(1)));
            QVERIFY(!plans.join(QLatin1Char('|')).contains(QLatin1String("SCAN")));
        }
        // Another SQLite finds the file sound and writes it, the indexes kept
        // up to date: the program then finds the book it wrote.
        QCOMPARE(otherSqlite(file, QStringLiteral("pragma integrity_check")), QStringLiteral("[('ok',)]"));
        QCOMPARE(otherSqlite(file, QStringLiteral("insert into book (book_name, book_isbn) values (' Dune', "
                                                  "'0441172717'); select count(*) from book")),
                 QStringLiteral("[(4,)]"));
        QCOMPARE(otherSqlite(file, QStringLiteral("pragma integrity_check")), QStringLiteral("[('ok',)]"));
        Catalogue again(file);
        const std::optional<storedalready::Match> found =
            again.storedAlready(QStringLiteral("x"), QString(), QStringLiteral("9780441172719"));
        QVERIFY(found);
        QCOMPARE(found->id, qint64(4));
    }

    void makingTheIndexesReportsProgress()
    {
        fixture::ProgramFolder folder;
        const QString file = folder.dataFile();
        fixture::exec(file, QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < "
                                           "20000) insert into book (book_name, book_isbn) select 'b' || i, i from n"));
        dropIndexes(file);
        Catalogue catalogue(file);
        int calls = 0;
        catalogue.prepareIndexes([&] { ++calls; });
        QVERIFY(calls > 0);
        QCOMPARE(otherSqlite(file, QStringLiteral("pragma integrity_check")), QStringLiteral("[('ok',)]"));
        // A progress that fails gives the indexes up, and leaves neither.
        dropIndexes(file);
        QVERIFY_THROWS_EXCEPTION(UserError, catalogue.prepareIndexes([] { throw std::runtime_error("stop"); }));
        QCOMPARE(fixture::value(file, QStringLiteral("select count(*) from sqlite_master where type='index' and "
                                                     "name like 'book_by_%_key'")),
                 QStringLiteral("0"));
    }

    void newFileHasTheIndexesAndKeepsThem()
    {
        fixture::ProgramFolder folder;
        const QString before = fileHash(folder.dataFile());
        Catalogue catalogue(folder.dataFile());
        catalogue.prepareIndexes();
        QCOMPARE(fileHash(folder.dataFile()), before);
        QCOMPARE(fixture::value(folder.dataFile(), QStringLiteral("select count(*) from sqlite_master where "
                                                                  "type='index' and name like 'book_by_%_key'")),
                 QStringLiteral("2"));
    }

    void readOnlyFileIsNotChanged()
    {
        fixture::Tmpfs disk(4 * 1024 * 1024);
        if (!disk.isMounted())
            QSKIP("mounting a small disk is not allowed here");
        fixture::ProgramFolder folder;
        fixture::exec(folder.dataFile(), kBooks);
        dropIndexes(folder.dataFile());
        const QString file = disk.path() + QStringLiteral("data.qmd");
        QVERIFY(QFile::copy(folder.dataFile(), file));
        QVERIFY(disk.makeReadOnly());
        const QString before = fileHash(file);
        Catalogue catalogue(file);
        catalogue.prepareIndexes();
        // Answered all the same, without the indexes.
        const std::optional<storedalready::Match> found =
            catalogue.storedAlready(QStringLiteral("边城 "), QStringLiteral("沈从文"), QString());
        QVERIFY(found);
        QCOMPARE(found->id, qint64(1));
        QCOMPARE(fileHash(file), before);
        QCOMPARE(fixture::value(file, QStringLiteral("select count(*) from sqlite_master where type='index' and "
                                                     "name like 'book_by_%_key'")),
                 QStringLiteral("0"));
    }
};

QM_CATALOGUE_TEST(BooksTest)

#include "tst_books.moc"
