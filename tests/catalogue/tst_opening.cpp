#include "registry.h"

#include "catalogue/catalogue.h"
#include "catalogue/csvcommand.h"
#include "store/datafile.h"
#include "store/usererror.h"
#include "support/filehelpers.h"
#include "support/fixture.h"

#include <QFile>
#include <QtTest>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

// Opening a catalogue: the file is named by its path and opened on the first
// operation; a missing one is reported, never made; the lock is the
// catalogue's.
class OpeningTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void missingFileIsReportedOnEveryOperationAndNeverMade()
    {
        fixture::ProgramFolder folder;
        const QString path = folder.dataFile();
        QVERIFY(QFile::remove(path));
        Catalogue catalogue(path);
        for (int round = 0; round < 2; ++round) {
            QString message;
            try {
                catalogue.categoryNames();
            } catch (const UserError &e) {
                message = e.message();
            }
            QCOMPARE(message, missingDataFileMessage(path));
        }
        QVERIFY(!QFile::exists(path));
    }

    void theLockIsTheCatalogues()
    {
        fixture::ProgramFolder folder;
        auto catalogue = std::make_unique<Catalogue>(folder.dataFile());
        QVERIFY(!catalogue->isLocked());
        QCOMPARE(int(catalogue->takeLock()), int(CatalogueLock::Outcome::Locked));
        QVERIFY(QFile::exists(folder.dataFile() + QStringLiteral(".lock")));
        QVERIFY(catalogue->isLocked());
        catalogue.reset();
        QVERIFY(!QFile::exists(folder.dataFile() + QStringLiteral(".lock")));
    }

    // --import-csv on a catalogue locked on another computer (or by a lock
    // of no process): refused with what the lock is and how to go on, the
    // lock left; with --force-unlock it is taken over and the books added.
    // A dry run writes nothing and needs no lock.
    void importOverAForeignLock_data()
    {
        QTest::addColumn<bool>("force");
        QTest::addColumn<bool>("dryRun");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("books");
        QTest::addColumn<QString>("said");
        QTest::newRow("refused") << false << false << 1 << 0 << "--force-unlock";
        QTest::newRow("--force-unlock") << true << false << 0 << 1 << "已解除";
        QTest::newRow("dry run") << false << true << 0 << 0 << "试运行";
    }
    void importOverAForeignLock()
    {
        QFETCH(bool, force);
        QFETCH(bool, dryRun);
        QFETCH(int, status);
        QFETCH(int, books);
        QFETCH(QString, said);
        fixture::ProgramFolder folder;
        const QString lockFile = folder.dataFile() + QStringLiteral(".lock");
        const QByteArray foreign = "4711\nquillmere\npc-书房\n";
        filehelpers::writeFile(lockFile, foreign);
        const QString csv = folder.path() + QStringLiteral("in.csv");
        filehelpers::writeFile(csv, "书名,作者\r\n西游记,吴承恩\r\n");
        ImportOptions options;
        options.forceUnlock = force;
        options.dryRun = dryRun;
        std::FILE *out = std::tmpfile();
        std::FILE *err = std::tmpfile();
        const int input = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        {
            Catalogue catalogue(folder.dataFile());
            QCOMPARE(csvcommand::importBooks(catalogue, csv, options, {input, out, err}), status);
        }
        ::close(input);
        const QString printed = QString::fromUtf8(filehelpers::readAll(out) + filehelpers::readAll(err));
        std::fclose(out);
        std::fclose(err);
        QVERIFY2(printed.contains(said), qPrintable(printed));
        if (!force && !dryRun)
            QVERIFY2(printed.contains(QStringLiteral("pc-书房")), qPrintable(printed));
        QCOMPARE(fixture::value(folder.dataFile(), QStringLiteral("select count(*) from book")),
                 QString::number(books));
        // Taken over, the lock went with the command; else it stays as found.
        QFile lock(lockFile);
        QCOMPARE(lock.exists(), !force);
        if (!force) {
            QVERIFY(lock.open(QIODevice::ReadOnly));
            QCOMPARE(lock.readAll(), foreign);
        }
    }

    void listsInTheStoresOrder()
    {
        fixture::ProgramFolder folder;
        fixture::exec(folder.dataFile(),
                      QStringLiteral("insert into category (cate_name) values ('小说'), ('诗歌'), (NULL);"
                                     "insert into author (author_name) values ('O''Brien'), ('鲁迅');"
                                     "insert into pub (pub_name) values ('三联');"));
        Catalogue catalogue(folder.dataFile());
        QCOMPARE(catalogue.categoryNames(), (QStringList{QStringLiteral("小说"), QStringLiteral("诗歌"), QString()}));
        QCOMPARE(catalogue.names(Catalogue::NameList::Authors),
                 (QStringList{QStringLiteral("O'Brien"), QStringLiteral("鲁迅")}));
        QCOMPARE(catalogue.names(Catalogue::NameList::Publishers), QStringList{QStringLiteral("三联")});
        QCOMPARE(catalogue.names(Catalogue::NameList::Readers), QStringList());
    }
};

QM_CATALOGUE_TEST(OpeningTest)

#include "tst_opening.moc"
