// quillmere_bench: how fast the book list, the category tree and the book
// commands are with 10,000 and 100,000 books, measured on the program's own
// code, each beside the same work done directly through SQLite.
//
//   quillmere_bench                 both sizes, each in a process of its own
//   quillmere_bench --books N       one size, in this process
//   quillmere_bench --books N --make FILE
//                                   only writes a data file with N books
//   options: --runs R (runs per figure, default 5), --dir PATH (where the
//            temporary program folder is made), --no-header
#include "report.h"
#include "seed.h"
#include "sizerun.h"

#include "app/application.h"
#include "components/messages.h"

#include <QApplication>
#include <QCoreApplication>
#include <QProcess>
#include <QThread>

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

#ifndef QM_BENCH_BUILD_TYPE
#define QM_BENCH_BUILD_TYPE "unknown"
#endif

namespace {

constexpr int kSizes[] = {10000, 100000};

struct Arguments
{
    int books = 0; // 0: every size, each in a child process
    int runs = 5;
    bool runsGiven = false;
    QString dir;
    QString make; // only write a seeded data file here
    bool header = true;
};

void usage()
{
    std::printf("usage: quillmere_bench [--books N] [--runs R] [--dir PATH] [--no-header]\n"
                "       quillmere_bench --books N --make FILE\n"
                "  without --books: 10000 and 100000 books, each size in a process of its own\n"
                "  --books N   one size, in this process\n"
                "  --runs R    runs per figure, the best is shown (default 5)\n"
                "  --dir PATH  where the temporary program folder is made (default: the temp folder)\n"
                "  --no-header print the lines only\n"
                "  --make FILE write a new data file with N books (the benchmark's books) and end\n");
}

bool parse(int argc, char *argv[], Arguments &out)
{
    for (int i = 1; i < argc; ++i) {
        const char *a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(a, "--books") == 0 && hasValue) {
            out.books = std::atoi(argv[++i]);
            if (out.books <= 0)
                return false;
        } else if (std::strcmp(a, "--runs") == 0 && hasValue) {
            out.runs = std::atoi(argv[++i]);
            out.runsGiven = true;
            if (out.runs <= 0)
                return false;
        } else if (std::strcmp(a, "--dir") == 0 && hasValue) {
            out.dir = QString::fromLocal8Bit(argv[++i]);
        } else if (std::strcmp(a, "--make") == 0 && hasValue) {
            out.make = QString::fromLocal8Bit(argv[++i]);
        } else if (std::strcmp(a, "--no-header") == 0) {
            out.header = false;
        } else {
            return false;
        }
    }
    return out.make.isEmpty() || out.books > 0;
}

int makeFile(int argc, char *argv[], const Arguments &arguments)
{
    QCoreApplication core(argc, argv);
    try {
        seed::makeCatalogue(arguments.make, arguments.books);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "quillmere_bench: %s\n", e.what());
        return 1;
    }
    std::printf("%s: %d books\n", qPrintable(arguments.make), arguments.books);
    return 0;
}

void printPreamble()
{
    std::printf("quillmere_bench: %s build, Qt %s, SQLite %s, %d CPUs\n", QM_BENCH_BUILD_TYPE, qVersion(),
                sqlite3_libversion(), QThread::idealThreadCount());
    std::printf("time: the program's own code; floor: the same rows read (or deleted) directly through the\n"
                "SQLite C API in the same process; for sorting, std::sort of the column's sort keys.\n\n");
    report::printHeader();
}

// Every size in a child process of its own, so that each peak memory figure
// belongs to that size alone.
int runAllSizes(int argc, char *argv[], const Arguments &arguments)
{
    QCoreApplication core(argc, argv);
    printPreamble();
    int result = 0;
    for (const int books : kSizes) {
        QStringList childArguments{QStringLiteral("--books"), QString::number(books), QStringLiteral("--no-header")};
        if (arguments.runsGiven)
            childArguments << QStringLiteral("--runs") << QString::number(arguments.runs);
        if (!arguments.dir.isEmpty())
            childArguments << QStringLiteral("--dir") << arguments.dir;
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), childArguments);
        if (!child.waitForStarted() || !child.waitForFinished(-1) || child.exitStatus() != QProcess::NormalExit ||
            child.exitCode() != 0) {
            std::printf("%d books: the measurement FAILED (see above)\n", books);
            result = 1;
        }
        std::fflush(stdout);
    }
    std::printf("\nEach size ran in a process of its own: the \"peak memory, whole run\" line for 100000 books is\n"
                "the whole-process peak with 100,000 books in the list (VmHWM, including Qt and SQLite).\n");
    return result;
}

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

int runOneSize(int argc, char *argv[], const Arguments &arguments)
{
    g_defaultHandler = qInstallMessageHandler(filterMessages);
    // No window ever reaches a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    try {
        app::setup(application);
        msg::setScripted(true);
        if (arguments.header)
            printPreamble();
        sizerun::measure({arguments.books, arguments.runs, arguments.dir});
    } catch (const std::exception &e) {
        std::fflush(stdout);
        std::fprintf(stderr, "quillmere_bench: %d books: %s\n", arguments.books, e.what());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            usage();
            return 0;
        }
    }
    Arguments arguments;
    if (!parse(argc, argv, arguments)) {
        usage();
        return 2;
    }
    if (!arguments.make.isEmpty())
        return makeFile(argc, argv, arguments);
    return arguments.books > 0 ? runOneSize(argc, argv, arguments) : runAllSizes(argc, argv, arguments);
}
