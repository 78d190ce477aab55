#include "registry.h"

#include "catalogue/bookimport.h"
#include "catalogue/catalogue.h"
#include "catalogue/catalogueconnection.h"
#include "catalogue/csvcommand.h"
#include "catalogue/importwriter.h"
#include "formats/csvreader.h"
#include "formats/gridstoredtable.h"
#include "restore/cataloguecheck.h"
#include "restore/datafilereplace.h"
#include "store/connection.h"
#include "store/usererror.h"
#include "support/filehelpers.h"
#include "support/fixture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QtTest>

#include <sqlite3.h>

#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <future>
#include <thread>
#include <unistd.h>

namespace {

using filehelpers::bytes;
using filehelpers::filesIn;

// Another connection that takes the data file for itself (an exclusive
// lock: no one can even read it) with a change of its own, and commits it
// holdMs later, as another program writing for a while does.
class Holder
{
public:
    Holder(const QString &file, int holdMs)
    {
        std::promise<bool> taken;
        std::future<bool> isTaken = taken.get_future();
        m_thread = std::thread([file, holdMs, taken = std::move(taken)]() mutable {
            sqlite3 *db = nullptr;
            const bool ok = sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) ==
                                SQLITE_OK &&
                            sqlite3_exec(db, "BEGIN EXCLUSIVE; INSERT INTO category (cate_name) VALUES ('held');",
                                         nullptr, nullptr, nullptr) == SQLITE_OK;
            taken.set_value(ok);
            if (ok) {
                std::this_thread::sleep_for(std::chrono::milliseconds(holdMs));
                sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
            }
            sqlite3_close(db);
        });
        m_taken = isTaken.get();
    }
    ~Holder() { m_thread.join(); }
    Holder(const Holder &) = delete;
    Holder &operator=(const Holder &) = delete;

    bool taken() const { return m_taken; }

private:
    std::thread m_thread;
    bool m_taken = false;
};

// A CSV file of new books, judged against the catalogue.
std::unique_ptr<BookImport> judgedFile(const Catalogue &catalogue, const QString &path, const QByteArray &content)
{
    filehelpers::writeFile(path, content);
    auto books = std::make_unique<BookImport>(csvreader::readFile(path), path);
    books->judge(catalogue.importKeys());
    return books;
}

// Leaves the file with a hot journal: a change of every book by another
// program, too big for its cache, killed half-way.
void leaveHotJournal(const QString &file)
{
    auto writer = fixture::OtherProgram::withSql(file);
    QCOMPARE(writer->run(QStringLiteral("PRAGMA cache_size=2")), QStringLiteral("ok"));
    QCOMPARE(writer->run(QStringLiteral("BEGIN IMMEDIATE")), QStringLiteral("ok"));
    QCOMPARE(writer->run(QStringLiteral("UPDATE book SET book_cate='改过的分类'")), QStringLiteral("ok"));
    writer->kill();
    QVERIFY(QFileInfo::exists(file + QStringLiteral("-journal")));
}

} // namespace

// The transfers and backups on the catalogue's one connection: imports
// announced once, the one busy time for every action on the file, and the
// restore's check that never changes the file it checks.
class TransfersTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void importAnnouncesBooksOnceAndOnlyWhenAdded_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("added");
        QTest::addColumn<int>("announced");
        QTest::newRow("new books") << "window" << 3 << 1;
        QTest::newRow("every book a duplicate") << "duplicates" << 0 << 0;
        QTest::newRow("stopped by the progress") << "stopped" << 0 << 0;
        QTest::newRow("command line") << "command" << 3 << 1;
        QTest::newRow("command line, dry run") << "dry run" << 0 << 0;
    }
    void importAnnouncesBooksOnceAndOnlyWhenAdded()
    {
        QFETCH(QString, how);
        QFETCH(int, added);
        QFETCH(int, announced);
        fixture::ProgramFolder folder;
        const QString data = folder.dataFile();
        fixture::exec(data, QStringLiteral("insert into book (book_name, book_author) values ('红楼梦', '曹雪芹')"));
        Catalogue catalogue(data);
        QSignalSpy replaced(&catalogue, &Catalogue::booksReplaced);
        const QString csv = folder.path() + QStringLiteral("in.csv");
        const QByteArray content =
            how == QLatin1String("duplicates")
                ? QByteArray("书名,作者\r\n红楼梦,曹雪芹\r\n")
                : QByteArray("书名,作者\r\n西游记,吴承恩\r\n水浒传,施耐庵\r\n三国演义,罗贯中\r\n");
        if (how == QLatin1String("command") || how == QLatin1String("dry run")) {
            filehelpers::writeFile(csv, content);
            ImportOptions options;
            options.dryRun = how == QLatin1String("dry run");
            std::FILE *out = std::tmpfile();
            std::FILE *err = std::tmpfile();
            const int input = ::open("/dev/null", O_RDONLY);
            QCOMPARE(csvcommand::importBooks(catalogue, csv, options, {input, out, err}), 0);
            ::close(input);
            std::fclose(out);
            std::fclose(err);
            // The lock was taken to write only, and given back.
            QVERIFY(!catalogue.isLocked());
        } else {
            const auto books = judgedFile(catalogue, csv, content);
            const importwriter::Summary summary =
                catalogue.importBooks(*books, false, [&](int, int) { return how != QLatin1String("stopped"); });
            QCOMPARE(summary.added, added);
            QCOMPARE(summary.cancelled, how == QLatin1String("stopped"));
        }
        QCOMPARE(int(replaced.count()), announced);
        QCOMPARE(fixture::value(data, QStringLiteral("select count(*) from book")), QString::number(1 + added));
    }

    // An import of more books than are stored makes the two indexes of the
    // duplicate question anew at its end; whatever way it ends, the file
    // has both of them, is sound, and answers the question.
    void manyBooksKeepTheIndexes_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("importing");
        QTest::addColumn<bool>("stopAtTheEnd");
        QTest::newRow("fewer than stored") << 50 << 3 << false;
        QTest::newRow("more than stored") << 3 << 3001 << false;
        QTest::newRow("more than stored, stopped while the indexes are made") << 3 << 40001 << true;
    }
    void manyBooksKeepTheIndexes()
    {
        QFETCH(int, stored);
        QFETCH(int, importing);
        QFETCH(bool, stopAtTheEnd);
        fixture::ProgramFolder folder;
        const QString data = folder.dataFile();
        fixture::exec(data,
                      QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "
                                     "insert into book (book_name, book_author) select '旧书' || i, '某人' from n")
                          .arg(stored));
        QByteArray content = "书名,作者,ISBN\r\n";
        for (int i = 1; i <= importing; ++i)
            content += "New Book " + QByteArray::number(i) + ",Someone,\r\n";
        Catalogue catalogue(data);
        const auto books = judgedFile(catalogue, folder.path() + QStringLiteral("in.csv"), content);
        int endings = 0;
        const importwriter::Summary summary = catalogue.importBooks(*books, false, [&](int done, int total) {
            // The first call at the end comes before the indexes are made,
            // the others while they are.
            return !(stopAtTheEnd && done == total && ++endings > 1);
        });
        QCOMPARE(summary.cancelled, stopAtTheEnd);
        const int added = stopAtTheEnd ? 0 : importing;
        QCOMPARE(summary.added, added);
        QCOMPARE(fixture::value(data, QStringLiteral("select count(*) from book")), QString::number(stored + added));
        QCOMPARE(fixture::column(data, QStringLiteral("select name from sqlite_master where type = 'index' and name "
                                                      "like 'book_by_%_key' order by name")),
                 (QStringList{"book_by_isbn_key", "book_by_title_key"}));
        QCOMPARE(fixture::value(data, QStringLiteral("pragma integrity_check")), QStringLiteral("ok"));
        const auto same = catalogue.storedAlready(QStringLiteral(" new book 2 "), QStringLiteral("SOMEONE"), QString());
        QCOMPARE(same.has_value(), !stopAtTheEnd);
        if (same)
            QCOMPARE(same->title, QStringLiteral("New Book 2"));
    }

    // Every action on the data file waits as long for another program that
    // holds it: here longer than the restore's settling once waited (2 s),
    // shorter than the busy time.
    void everyActionWaitsTheBusyTime_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("backup") << "backup";
        QTest::newRow("CSV export") << "export";
        QTest::newRow("CSV import") << "import";
        QTest::newRow("restore: the check of the file") << "check";
        QTest::newRow("restore: settling its journal") << "settle";
    }
    void everyActionWaitsTheBusyTime()
    {
        QFETCH(QString, action);
        constexpr int kHeld = 3000;
        static_assert(kHeld < kBusyTimeout);
        fixture::ProgramFolder folder;
        const QString data = folder.dataFile();
        fixture::exec(data, QStringLiteral("insert into book (book_name) values ('西游记')"));
        Catalogue catalogue(data);
        std::unique_ptr<BookImport> books;
        if (action == QLatin1String("import"))
            books = judgedFile(catalogue, folder.path() + QStringLiteral("in.csv"), "书名\r\n水浒传\r\n");
        CatalogueConnection::of(catalogue); // open before the other program takes the file

        QElapsedTimer waited;
        waited.start();
        const Holder other(data, kHeld);
        QVERIFY(other.taken());
        QVERIFY(QFileInfo::exists(data + QStringLiteral("-journal")));
        try {
            if (action == QLatin1String("backup")) {
                catalogue.backUp(folder.path() + QStringLiteral("backup.qmd"));
            } else if (action == QLatin1String("export")) {
                QCOMPARE(catalogue.exportBooks(folder.path() + QStringLiteral("out.csv")), qint64(1));
            } else if (action == QLatin1String("import")) {
                QCOMPARE(catalogue.importBooks(*books, false).added, 1);
            } else if (action == QLatin1String("check")) {
                const restore::CatalogueFacts facts = restore::inspect(data);
                QVERIFY2(facts.catalogue, qPrintable(facts.problem));
            } else {
                restore::settleJournal(data);
            }
        } catch (const UserError &e) {
            QFAIL(qPrintable(e.message()));
        }
        QVERIFY(waited.elapsed() >= kHeld - 100);
        if (action == QLatin1String("backup"))
            QCOMPARE(bytes(folder.path() + QStringLiteral("backup.qmd")), bytes(data));
    }

    // The connection is open when the data file is renamed away: it would
    // still read the file, which is no longer the catalogue under that name.
    void fileRenamedAwayIsReportedMissing_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("backup") << "backup";
        QTest::newRow("CSV export") << "export";
        QTest::newRow("CSV import") << "import";
        QTest::newRow("export grid") << "grid";
    }
    void fileRenamedAwayIsReportedMissing()
    {
        QFETCH(QString, action);
        fixture::ProgramFolder folder;
        const QString data = folder.dataFile();
        fixture::exec(data, QStringLiteral("insert into book (book_name) values ('西游记')"));
        Catalogue catalogue(data);
        const auto books = judgedFile(catalogue, folder.path() + QStringLiteral("in.csv"), "书名\r\n水浒传\r\n");
        QVERIFY(QFile::rename(data, data + QStringLiteral(".away")));
        const QString out = folder.path() + QStringLiteral("out");
        QString message;
        try {
            if (action == QLatin1String("backup"))
                catalogue.backUp(out);
            else if (action == QLatin1String("export"))
                catalogue.exportBooks(out);
            else if (action == QLatin1String("import"))
                catalogue.importBooks(*books, false);
            else
                catalogue.exportGridRows({QStringLiteral("book_name")});
        } catch (const UserError &e) {
            message = e.message();
        }
        QCOMPARE(message, missingDataFileMessage(data));
        QVERIFY(!QFileInfo::exists(out));
        QCOMPARE(fixture::value(data + QStringLiteral(".away"), QStringLiteral("select count(*) from book")),
                 QStringLiteral("1"));
    }

    void restoreCheckLeavesTheFileAsItWas_data()
    {
        QTest::addColumn<bool>("hotJournal");
        QTest::newRow("a whole catalogue") << false;
        QTest::newRow("a change left unfinished") << true;
    }
    void restoreCheckLeavesTheFileAsItWas()
    {
        QFETCH(bool, hotJournal);
        QTemporaryDir dir;
        const QString backup = filehelpers::makeCatalogue(dir.filePath(QStringLiteral("backup.qmd")), 2000, 300);
        if (hotJournal)
            leaveHotJournal(backup);
        const QStringList files = filesIn(dir.path());
        const QByteArray before = bytes(backup);
        const QByteArray journal = bytes(backup + QStringLiteral("-journal"));

        const restore::CatalogueFacts facts = restore::inspect(backup);
        // A file that needs a rollback before it can be read is not taken
        // for a catalogue; the check does not roll it back.
        QCOMPARE(facts.catalogue, !hotJournal);
        QCOMPARE(facts.problem.isEmpty(), !hotJournal);
        QCOMPARE(bytes(backup), before);
        QCOMPARE(bytes(backup + QStringLiteral("-journal")), journal);
        QCOMPARE(filesIn(dir.path()), files);
    }

    void readOnlyConnectionWritesNothing()
    {
        QTemporaryDir dir;
        const QString file = filehelpers::makeCatalogue(dir.filePath(QStringLiteral("a.qmd")), 2000, 300);
        const QByteArray before = bytes(file);
        {
            Connection reading(file, Connection::Mode::ReadOnly);
            QCOMPARE(int(reading.mode()), int(Connection::Mode::ReadOnly));
            QVERIFY_THROWS_EXCEPTION(UserError, reading.exec("INSERT INTO category (cate_name) VALUES ('x')"));
        }
        QCOMPARE(bytes(file), before);
        QCOMPARE(filesIn(dir.path()), QStringList{QStringLiteral("a.qmd")});

        leaveHotJournal(file);
        const QByteArray halfChanged = bytes(file);
        QVERIFY_THROWS_EXCEPTION(UserError, Connection(file, Connection::Mode::ReadOnly).exec("SELECT * FROM book"));
        QCOMPARE(bytes(file), halfChanged);
        // A connection that may write rolls the change back.
        Connection(file).exec("SELECT * FROM book");
        QCOMPARE(fixture::column(file, QStringLiteral("select distinct book_cate from book")),
                 QStringList{QStringLiteral("<null>")});
    }
};

QM_CATALOGUE_TEST(TransfersTest)

#include "tst_transfers.moc"
