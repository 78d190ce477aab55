#include "runs.h"

#include "report.h"
#include "results.h"
#include "seed.h"
#include "session.h"

#include "components/application.h"
#include "components/filedialog.h"
#include "components/messages.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <exception>
#include <fstream>

namespace runs {
namespace {

// The screen the main window is maximised on: a common desktop size.
constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;

const QString kResults = QStringLiteral("results.tsv");

// The off-screen platform's notes about the session (no runtime folder,
// no size hints) say nothing about the program; everything else is passed on.
QtMessageHandler g_defaultHandler = nullptr;

void filterMessages(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtWarningMsg &&
        (text.contains(QLatin1String("XDG_RUNTIME_DIR")) || text.contains(QLatin1String("propagateSizeHints"))))
        return;
    g_defaultHandler(type, context, text);
}

// The off-screen platform with one screen of the desktop's size, described
// in a file in the program folder.
void useOffscreenScreen(const QString &folder)
{
    const std::string path = QDir(folder).filePath(QStringLiteral("screen.json")).toStdString();
    std::ofstream(path) << "{ \"screens\": [ { \"name\": \"bench\", \"x\": 0, \"y\": 0, \"width\": " << kScreenWidth
                        << ", \"height\": " << kScreenHeight << ", \"logicalDpi\": 96, \"dpr\": 1 } ] }\n";
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + QByteArray::fromStdString(path));
}

// The copy written through to the disk before the run: otherwise the
// session's first change (添加, its first fsync) would wait for the whole
// copy's pages the file system still holds, which no user's catalogue has.
bool onDisk(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

bool runOnce(const QString &master, const QString &folder, const Options &options, results::Run &out)
{
    QDir().mkpath(folder);
    const QString copy = QDir(folder).filePath(QStringLiteral("data.qmd"));
    if (!QFile::copy(master, copy) || !onDisk(copy)) {
        std::printf("cannot copy the catalogue into %s\n", qPrintable(folder));
        return false;
    }
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    QStringList arguments{QStringLiteral("--books"), QString::number(options.books), QStringLiteral("--session"),
                          folder};
    if (options.csvOnly)
        arguments << QStringLiteral("--only") << QStringLiteral("csv");
    child.start(QCoreApplication::applicationFilePath(), arguments);
    const bool ended = child.waitForStarted() && child.waitForFinished(-1);
    if (!ended || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        std::printf("the run in %s FAILED (see above)\n", qPrintable(folder));
        return false;
    }
    out = results::read(QDir(folder).filePath(kResults));
    QDir(folder).removeRecursively();
    return true;
}

} // namespace

bool measure(const Options &options)
{
    const QString base = options.tempBase.isEmpty() ? QDir::tempPath() : options.tempBase;
    QTemporaryDir work(base + QStringLiteral("/quillmere-bench-XXXXXX"));
    if (!work.isValid()) {
        std::printf("cannot make a temporary folder in %s\n", qPrintable(base));
        return false;
    }
    const QString master = work.filePath(QStringLiteral("data.qmd"));
    QElapsedTimer seedTimer;
    seedTimer.start();
    try {
        seed::makeCatalogue(master, options.books);
    } catch (const std::exception &e) {
        std::printf("cannot make the catalogue: %s\n", e.what());
        return false;
    }
    const double seedSeconds = double(seedTimer.elapsed()) / 1000.0;

    std::vector<results::Run> runs;
    bool ok = true;
    for (int r = 0; r < options.runs && ok; ++r) {
        std::fprintf(stderr, "%d books: process run %d of %d\n", options.books, r + 1, options.runs);
        results::Run run;
        ok = runOnce(master, work.filePath(QStringLiteral("run-%1").arg(r + 1)), options, run);
        if (ok)
            runs.push_back(std::move(run));
    }
    if (!runs.empty()) {
        report::printTable(options.books, runs);
        report::printNotes(runs.front());
        std::printf("  (catalogue made in %.1f s, data file %.1f MB, in %s; screen %d x %d)\n", seedSeconds,
                    double(QFileInfo(master).size()) / (1024.0 * 1024.0), qPrintable(QDir::toNativeSeparators(base)),
                    kScreenWidth, kScreenHeight);
    }
    std::fflush(stdout);
    return ok;
}

int runSession(int argc, char *argv[], const QString &folder, int books, bool csvOnly)
{
    g_defaultHandler = qInstallMessageHandler(filterMessages);
    useOffscreenScreen(folder);
    QApplication application(argc, argv);
    try {
        app::setup(application);
        msg::setScripted(true);
        filedialog::setScripted(true);
        const results::Run run = session::run({folder, books, csvOnly});
        results::write(QDir(folder).filePath(kResults), run);
    } catch (const std::exception &e) {
        std::fflush(stdout);
        std::fprintf(stderr, "quillmere_bench: %d books, in %s: %s\n", books, qPrintable(folder), e.what());
        return 1;
    }
    return 0;
}

} // namespace runs
