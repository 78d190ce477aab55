#include "registry.h"

#include "catalogue/catalogue.h"
#include "store/datafile.h"
#include "store/usererror.h"
#include "support/fixture.h"

#include <QFile>
#include <QtTest>

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
