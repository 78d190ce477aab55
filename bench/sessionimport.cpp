// The session's CSV import on the command line: the file the session
// exported, imported by the program itself in a child process
// (quillmere --import-csv FILE --duplicates import) into a copy of the
// catalogue, every book once more; and the same program importing one book
// of it into another copy, which sets the floor of its memory: the start,
// Qt, SQLite's page cache and the catalogue's own keys, read by both.
#include "session.h"

#include "childrun.h"
#include "driver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace session {
namespace {

using driver::require;

// The copy the whole file is imported into; kept for the floor.
const QString kCopy = QStringLiteral("cli.qmd");
// Where the floor holds the imported books before it writes them again.
const QByteArray kHeld = "cli_floor";

QString inFolder(const Context &c, const QString &name)
{
    return QDir(c.options.folder).filePath(name);
}

// The file's header and its first record (which may span lines where a
// quoted field holds a line break), as a file of its own.
void writeFirstBook(const QString &from, const QString &to)
{
    QFile in(from);
    require(in.open(QIODevice::ReadOnly), "cannot read " + from.toStdString());
    QByteArray bytes;
    for (int records = 0; records < 2 && !in.atEnd();) {
        bytes += in.readLine();
        records += bytes.count('"') % 2 == 0;
    }
    QFile out(to);
    require(out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(bytes) == bytes.size() && out.flush(),
            "cannot write " + to.toStdString());
}

// Imports the file into a fresh copy of the catalogue as a child process,
// timed as one step; the child must have imported books books.
childrun::Outcome importInChild(Context &c, const std::string &id, const QString &csv, const QString &copy, int books)
{
    QFile::remove(copy);
    require(QFile::copy(c.dataFile, copy), "cannot copy the catalogue to " + copy.toStdString());
    const QString program = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("quillmere"));
    require(QFileInfo(program).isExecutable(),
            "no program " + program.toStdString() + " beside the benchmark: build the target quillmere");
    c.startStep();
    const childrun::Outcome child = childrun::run(program,
                                                  {QStringLiteral("--data"), copy, QStringLiteral("--import-csv"), csv,
                                                   QStringLiteral("--duplicates"), QStringLiteral("import")},
                                                  c.options.folder);
    c.record(id, child.ms);
    const std::string told = (child.out + child.err).trimmed().toStdString();
    require(child.exitCode == 0, id + ": the import failed: " + told);
    require(child.out.contains(QStringLiteral("已导入 %1 本书").arg(books)), id + ": not every book imported: " + told);
    return child;
}

} // namespace

void commandLineImport(Context &c, const QString &csv)
{
    const int books = c.check->value("select count(*) from book").toInt();
    const QString one = inFolder(c, QStringLiteral("one.csv"));
    writeFirstBook(csv, one);
    const QString baseCopy = inFolder(c, QStringLiteral("base.qmd"));
    const childrun::Outcome base = importInChild(c, "csv.cli.one", one, baseCopy, 1);
    QFile::remove(baseCopy);
    QFile::remove(one);

    c.note("csv.cli.last", c.check->value("select max(book_id) from book"));
    const QString copy = inFolder(c, kCopy);
    const childrun::Outcome all = importInChild(c, "csv.cli", csv, copy, books);
    require(Floor(copy).value("select count(*) from book").toInt() == 2 * books,
            "csv.cli: the catalogue does not hold the books imported");
    c.run.memory.push_back({"csv.cli", double(QFile(csv).size()), all.peakMb, base.peakMb});
}

void commandLineFloor(Context &c)
{
    const QString copy = inFolder(c, kCopy);
    if (!QFile::exists(copy))
        return;
    {
        // The copy goes back to its books before the import; the imported
        // books are then inserted again through SQLite.
        Floor floor(copy);
        const QByteArray from = QByteArray::fromStdString(c.run.note("csv.cli.last"));
        floor.change("create table " + kHeld + " as select " + kImportedColumns + " from book where book_id > " + from);
        const int held = floor.change("delete from book where book_id > " + from);
        require(held == floor.value("select count(*) from " + kHeld).toInt() && held > 0,
                "csv.cli floor: the imported books are not all held");
        QByteArray marks = "?";
        for (int i = 1; i < int(kImportedColumns.count(',')) + 1; ++i)
            marks += ", ?";
        c.setFloor("csv.cli", floor.insertFrom("insert into book (" + kImportedColumns + ") values (" + marks + ")",
                                               "select " + kImportedColumns + " from " + kHeld));
    }
    QFile::remove(copy);
}

} // namespace session
