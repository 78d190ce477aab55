// quillmere_bench: how fast the program is for a user with a large
// catalogue. A user's session (start, the category tree, sorting, search,
// the statistics, a book added, modified and deleted, both exports) is taken
// step by step on the program's own windows, shown off screen, in several
// separate processes; each step's time is printed beside the same SQL done
// directly through SQLite. Also makes large catalogues to try by hand.
//
//   quillmere_bench                     100,000 books (5 runs), then 1,000,000 (3 runs)
//   quillmere_bench --books N           one size
//   quillmere_bench --books N --make FILE
//                                       only writes a catalogue of N books
//   options: --runs R, --dir PATH, --only csv, --no-header
#include "childrun.h"
#include "report.h"
#include "runs.h"
#include "seed.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iterator>
#include <vector>

namespace {

constexpr int kSizes[] = {100000, 1000000};

// Process runs per size unless --runs says otherwise: fewer for the
// largest, whose runs take minutes.
int defaultRuns(int books)
{
    return books >= 1000000 ? 3 : 5;
}

struct Arguments
{
    int books = 0; // 0: every size
    int runs = 0;  // 0: the default for the size
    QString dir;
    QString make;    // only write a catalogue here
    QString session; // a process run in this program folder (started by the benchmark itself)
    bool csvOnly = false;
    bool header = true;
};

void usage()
{
    std::printf("usage: quillmere_bench [--books N] [--runs R] [--dir PATH] [--only csv] [--no-header]\n"
                "       quillmere_bench --books N --make FILE\n"
                "  without --books: 100000 books in 5 process runs, then 1000000 books in 3\n"
                "  --books N   one size (at least 100 books)\n"
                "  --runs R    process runs for the size (default 5; 3 from a million books)\n"
                "  --dir PATH  where the temporary folders are made (default: the temp folder)\n"
                "  --only csv  the start and the CSV steps alone\n"
                "  --no-header print the tables only\n"
                "  --make FILE write a new catalogue of N made-up books (the benchmark's books) and end\n");
}

bool parse(int argc, char *argv[], Arguments &out)
{
    for (int i = 1; i < argc; ++i) {
        const char *a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(a, "--books") == 0 && hasValue) {
            out.books = std::atoi(argv[++i]);
            if (out.books < 100)
                return false;
        } else if (std::strcmp(a, "--runs") == 0 && hasValue) {
            out.runs = std::atoi(argv[++i]);
            if (out.runs <= 0 || out.runs > 50)
                return false;
        } else if (std::strcmp(a, "--dir") == 0 && hasValue) {
            out.dir = QString::fromLocal8Bit(argv[++i]);
        } else if (std::strcmp(a, "--make") == 0 && hasValue) {
            out.make = QString::fromLocal8Bit(argv[++i]);
        } else if (std::strcmp(a, "--session") == 0 && hasValue) {
            out.session = QString::fromLocal8Bit(argv[++i]);
        } else if (std::strcmp(a, "--only") == 0 && hasValue) {
            if (std::strcmp(argv[++i], "csv") != 0)
                return false;
            out.csvOnly = true;
        } else if (std::strcmp(a, "--no-header") == 0) {
            out.header = false;
        } else {
            return false;
        }
    }
    return (out.make.isEmpty() && out.session.isEmpty()) || out.books > 0;
}

int makeFile(int argc, char *argv[], const Arguments &arguments)
{
    QCoreApplication core(argc, argv);
    QElapsedTimer timer;
    timer.start();
    try {
        const seed::Summary s = seed::makeCatalogue(arguments.make, arguments.books);
        std::printf("%s: %d books in %d categories, %d authors, %d publishers, %d book friends;\n"
                    "%d books borrowed, %d lent; %.1f MB, made in %.1f s\n",
                    qPrintable(arguments.make), s.books, s.categories, s.authors, s.publishers, s.readers, s.borrowed,
                    s.lent, double(QFileInfo(arguments.make).size()) / (1024.0 * 1024.0),
                    double(timer.elapsed()) / 1000.0);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "quillmere_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}

int measure(int argc, char *argv[], const Arguments &arguments)
{
    QCoreApplication core(argc, argv);
    if (arguments.header)
        report::printPreamble();
    const std::vector<int> sizes = arguments.books > 0 ? std::vector<int>{arguments.books}
                                                       : std::vector<int>(std::begin(kSizes), std::end(kSizes));
    bool ok = true;
    for (const int books : sizes)
        ok = runs::measure(
                 {books, arguments.runs > 0 ? arguments.runs : defaultRuns(books), arguments.dir, arguments.csvOnly}) &&
             ok;
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    // Starting a program whose memory is measured: nothing else first.
    if (argc > 1 && std::strcmp(argv[1], childrun::kLaunchOption) == 0)
        return childrun::launch(argc, argv);
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
    if (!arguments.session.isEmpty())
        return runs::runSession(argc, argv, arguments.session, arguments.books, arguments.csvOnly);
    return measure(argc, argv, arguments);
}
