// Another program on a catalogue, for the tests: it holds the catalogue's
// lock as a running Quillmere does, or works on the data file through SQLite
// as any other program may.
//
//   test_otherprogram lock FILE   takes the catalogue's lock, says "ready"
//                                 and holds it until its input ends
//   test_otherprogram sql FILE    opens the data file, says "ready", then
//                                 runs each line of its input as SQL and
//                                 answers "ok" or "error: ..."; an open
//                                 transaction is rolled back at the end
//   test_otherprogram repeat FILE N PAUSE SQL
//                                 runs SQL N times, "%n" standing for the
//                                 round, PAUSE milliseconds apart, then says
//                                 "done"
#include "store/cataloguelock.h"

#include <QCoreApplication>
#include <QFile>
#include <QString>

#include <cstdio>
#include <iostream>
#include <sqlite3.h>
#include <string>
#include <unistd.h>

namespace {

void say(const char *text)
{
    std::printf("%s\n", text);
    std::fflush(stdout);
}

sqlite3 *openFile(const QString &file)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(file));
        std::exit(2);
    }
    sqlite3_busy_timeout(db, 5000);
    return db;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList args = application.arguments();
    if (args.size() < 3)
        return 2;
    const QString &command = args[1];
    const QString &file = args[2];
    std::string line;

    if (command == QLatin1String("lock")) {
        CatalogueLock lock(file);
        if (lock.tryLock() != CatalogueLock::Outcome::Locked)
            return 1;
        say("ready");
        while (std::getline(std::cin, line)) {
        }
        return 0;
    }
    if (command == QLatin1String("sql")) {
        sqlite3 *db = openFile(file);
        say("ready");
        while (std::getline(std::cin, line)) {
            char *error = nullptr;
            if (sqlite3_exec(db, line.c_str(), nullptr, nullptr, &error) == SQLITE_OK)
                say("ok");
            else
                say(("error: " + std::string(error ? error : "?")).c_str());
            sqlite3_free(error);
        }
        sqlite3_close(db);
        return 0;
    }
    if (command == QLatin1String("repeat") && args.size() == 6) {
        sqlite3 *db = openFile(file);
        const int rounds = args[3].toInt();
        const int pause = args[4].toInt();
        for (int n = 0; n < rounds; ++n) {
            if (n > 0)
                ::usleep(useconds_t(pause) * 1000);
            const QByteArray sql = QString(args[5]).replace(QLatin1String("%n"), QString::number(n)).toUtf8();
            char *error = nullptr;
            if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, &error) != SQLITE_OK) {
                std::fprintf(stderr, "round %d: %s\n", n, error ? error : "?");
                sqlite3_free(error);
                sqlite3_close(db);
                return 1;
            }
        }
        sqlite3_close(db);
        say("done");
        return 0;
    }
    return 2;
}
