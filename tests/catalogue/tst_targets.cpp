#include "registry.h"

#include "catalogue/catalogue.h"
#include "catalogue/csvcommand.h"
#include "store/usererror.h"
#include "support/filehelpers.h"

#include <QtTest>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <future>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

using filehelpers::filesIn;
using filehelpers::readAll;

// The kind of file at path: 'f' regular, 'p' pipe, 'c' character device,
// '-' none, '?' another.
char kindOf(const QString &path)
{
    struct stat st
    {
    };
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return '-';
    return S_ISREG(st.st_mode) ? 'f' : S_ISFIFO(st.st_mode) ? 'p' : S_ISCHR(st.st_mode) ? 'c' : '?';
}

// The command line's export to target, the summary and errors it printed
// gathered; what a reader of the pipe at target got, when it is one.
struct Exported
{
    int status = -1;
    QByteArray out;
    QByteArray err;
    QByteArray piped;
};

// The export to target; what reaches the stream is read from reader (the
// far end of a terminal), or from the pipe at target when none is given.
Exported exportTo(Catalogue &catalogue, const QString &target, int reader = -1)
{
    Exported result;
    // Read as a reader of the pipe would, without waiting to be opened: an
    // export that never opens the pipe still ends the test.
    const bool ownReader = reader < 0 && kindOf(target) == 'p';
    if (ownReader)
        reader = ::open(QFile::encodeName(target).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    std::FILE *out = std::tmpfile();
    std::FILE *err = std::tmpfile();
    const int input = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    auto running = std::async(std::launch::async, [&] {
        return csvcommand::exportBooks(catalogue, target, {input, out, err});
    });
    char block[65536];
    for (bool done = false; reader >= 0;) {
        pollfd p{reader, POLLIN, 0};
        ::poll(&p, 1, 20);
        const ssize_t got = ::read(reader, block, sizeof block);
        if (got > 0) {
            result.piped.append(block, got);
            continue;
        }
        if (done)
            break;
        done = running.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready;
    }
    result.status = running.get();
    if (ownReader && reader >= 0)
        ::close(reader);
    ::close(input);
    result.out = readAll(out);
    result.err = readAll(err);
    std::fclose(out);
    std::fclose(err);
    return result;
}

} // namespace

// Where an export or a backup is written: streams, and what a killed export
// left behind.
class TargetsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A pipe or a device is written straight, never replaced by a file: the
    // books reach the reader, and the summary keeps out of them.
    void exportWritesStreamsAsTheyAre_data()
    {
        QTest::addColumn<char>("kind");
        QTest::newRow("a pipe") << 'p';
        QTest::newRow("a character device (a terminal)") << 'c';
    }
    void exportWritesStreamsAsTheyAre()
    {
        QFETCH(char, kind);
        QTemporaryDir dir;
        const QString data = filehelpers::makeCatalogue(dir.filePath(QStringLiteral("data.qmd")), 3);
        QString target = dir.filePath(QStringLiteral("out"));
        // A terminal is a device anyone may make: its far end reads what
        // the export writes, passed through as it is (raw).
        int terminal = -1, nearEnd = -1;
        const auto closeTerminal = qScopeGuard([&] {
            if (nearEnd >= 0)
                ::close(nearEnd);
            if (terminal >= 0)
                ::close(terminal);
        });
        if (kind == 'p') {
            QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0600), 0);
        } else {
            terminal = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
            QVERIFY(terminal >= 0 && ::grantpt(terminal) == 0 && ::unlockpt(terminal) == 0);
            target = QFile::decodeName(::ptsname(terminal));
            nearEnd = ::open(::ptsname(terminal), O_RDWR | O_NOCTTY | O_CLOEXEC);
            termios raw{};
            QVERIFY(nearEnd >= 0 && ::tcgetattr(nearEnd, &raw) == 0);
            ::cfmakeraw(&raw);
            QCOMPARE(::tcsetattr(nearEnd, TCSANOW, &raw), 0);
            QCOMPARE(::fcntl(terminal, F_SETFL, O_NONBLOCK), 0);
        }
        Catalogue catalogue(data);
        const Exported exported = exportTo(catalogue, target, terminal);
        QCOMPARE(exported.status, 0);
        QCOMPARE(kindOf(target), kind);
        QVERIFY2(exported.out.isEmpty(), exported.out.constData());
        QVERIFY2(exported.err.contains("已导出 3 本书"), exported.err.constData());
        QVERIFY(exported.piped.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(exported.piped.count("\r\n"), 4);
        // No temporary file beside it (the stream itself is no plain file).
        QCOMPARE(filesIn(dir.path()), QStringList{QStringLiteral("data.qmd")});

        // A backup is a file to restore later: a stream is refused, and
        // stays what it was.
        QVERIFY_THROWS_EXCEPTION(UserError, catalogue.backUp(target));
        QCOMPARE(kindOf(target), kind);
    }

    // Starting an export removes the temporary files that exports of the
    // same name left when they were killed, and no other file: not one that
    // a running export writes, not one of another name or form.
    void exportRemovesWhatKilledExportsLeft()
    {
        QTemporaryDir dir;
        const QString data = filehelpers::makeCatalogue(dir.filePath(QStringLiteral("data.qmd")), 2);
        const QStringList leftovers{QStringLiteral("书单.csv.0123abcd.tmp"), QStringLiteral("书单.csv.ffffffff.tmp")};
        const QStringList kept{QStringLiteral("书单.csv.89abcdef.tmp"), // being written
                               QStringLiteral("书单.csv.notmine.tmp"), QStringLiteral("书单.csv.0123ABCD.tmp"),
                               QStringLiteral("其他.csv.0123abcd.tmp")};
        for (const QString &name : leftovers + kept)
            filehelpers::writeFile(dir.filePath(name), "half a file");
        const int writing = ::open(QFile::encodeName(dir.filePath(kept.first())).constData(), O_RDONLY | O_CLOEXEC);
        QVERIFY(writing >= 0);
        QCOMPARE(::flock(writing, LOCK_EX | LOCK_NB), 0);

        Catalogue catalogue(data);
        QCOMPARE(exportTo(catalogue, dir.filePath(QStringLiteral("书单.csv"))).status, 0);
        ::close(writing);
        QStringList expected = kept;
        expected << QStringLiteral("data.qmd") << QStringLiteral("书单.csv");
        expected.sort();
        QCOMPARE(filesIn(dir.path()), expected);
    }
};

QM_CATALOGUE_TEST(TargetsTest)

#include "tst_targets.moc"
