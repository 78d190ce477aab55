// The check every save makes before it writes: which names stand for the
// catalogue in use, its lock, its journal or a file of the program, however
// they are reached, and the message that refuses them.
#include "tst_saves.h"

#include "store/programfolder.h"
#include "store/savetarget.h"
#include "store/usererror.h"
#include "support/filehelpers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QtTest>

#include <unistd.h>

using Layout = fixture::CatalogueElsewhere::Layout;
using Kind = savetarget::Kind;

namespace {

// The names the table's paths use: {catalogue} the catalogue in use,
// {books} its folder, {program} the program folder, {out} a folder of
// other files, {root} the folder holding them all, {self} the running
// program.
QString expand(QString text, const fixture::CatalogueElsewhere &place)
{
    text.replace(QLatin1String("{catalogue}"), place.dataFile());
    text.replace(QLatin1String("{books}"), QFileInfo(place.dataFile()).path() + QLatin1Char('/'));
    text.replace(QLatin1String("{program}"), place.programFolder());
    text.replace(QLatin1String("{out}"), place.outside());
    text.replace(QLatin1String("{root}"), place.root());
    text.replace(QLatin1String("{self}"), QCoreApplication::applicationFilePath());
    return text;
}

// Makes what a row needs before the check: "symlink LINK TARGET",
// "hardlink NAME EXISTING" or "copy NAME EXISTING"; "" for nothing.
bool prepare(const QString &step)
{
    if (step.isEmpty())
        return true;
    const QStringList words = step.split(QLatin1Char(' '));
    const QByteArray name = QFile::encodeName(words[1]), other = QFile::encodeName(words[2]);
    if (words[0] == QLatin1String("symlink"))
        return ::symlink(other.constData(), name.constData()) == 0;
    if (words[0] == QLatin1String("hardlink"))
        return ::link(other.constData(), name.constData()) == 0;
    return QFile::copy(words[2], words[1]);
}

} // namespace

void SavesTest::targetsAreJudged_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<QString>("step");      // made before the check
    QTest::addColumn<QString>("catalogue"); // the catalogue in use, as the program names it
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("kind");
    const int portable = int(Layout::Portable), installed = int(Layout::Installed);
    const struct
    {
        const char *name;
        int layout;
        const char *step, *catalogue, *target;
        Kind kind;
    } rows[] = {
        // The catalogue in use, however it is named.
        {"the catalogue", portable, "", "{catalogue}", "{catalogue}", Kind::Catalogue},
        {"the catalogue, relative to its folder", portable, "", "{catalogue}", "藏书.qmd", Kind::Catalogue},
        {"the catalogue through ..", portable, "", "{catalogue}", "{out}../books/./藏书.qmd", Kind::Catalogue},
        {"the catalogue through a linked folder", portable, "symlink {root}shelf {books}", "{catalogue}",
         "{root}shelf/藏书.qmd", Kind::Catalogue},
        {"a link to the catalogue", portable, "symlink {out}books.csv {catalogue}", "{catalogue}", "{out}books.csv",
         Kind::Catalogue},
        {"a link to a link to the catalogue", portable, "symlink {out}a.csv {root}shelf/藏书.qmd", "{catalogue}",
         "{out}a.csv", Kind::Catalogue},
        {"a hard link to the catalogue", portable, "hardlink {out}copy.qmd {catalogue}", "{catalogue}", "{out}copy.qmd",
         Kind::Catalogue},
        {"a catalogue named through a link, its real file", portable, "symlink {root}link.qmd {catalogue}",
         "{root}link.qmd", "{catalogue}", Kind::Catalogue},
        {"a catalogue named through a link, the link", portable, "symlink {root}link.qmd {catalogue}", "{root}link.qmd",
         "{root}link.qmd", Kind::Catalogue},
        {"the user's catalogue", installed, "", "{catalogue}", "{catalogue}", Kind::Catalogue},

        // Its lock and SQLite's files beside it, there or not yet.
        {"the lock", portable, "", "{catalogue}", "{catalogue}.lock", Kind::Lock},
        {"the lock through a linked folder", portable, "symlink {root}shelf {books}", "{catalogue}",
         "{root}shelf/藏书.qmd.lock", Kind::Lock},
        {"the lock of a catalogue named through a link", portable, "symlink {root}link.qmd {catalogue}",
         "{root}link.qmd", "{root}link.qmd.lock", Kind::Lock},
        {"the journal, not there yet", portable, "", "{catalogue}", "{catalogue}-journal", Kind::Journal},
        {"the journal through ..", portable, "", "{catalogue}", "{out}../books/藏书.qmd-journal", Kind::Journal},
        {"a link to the journal, which is not there", portable, "symlink {out}j.csv {catalogue}-journal", "{catalogue}",
         "{out}j.csv", Kind::Journal},
        {"the journal of a catalogue named through a link", portable, "symlink {root}link.qmd {catalogue}",
         "{root}link.qmd", "{catalogue}-journal", Kind::Journal},
        {"the write-ahead log", portable, "", "{catalogue}", "{catalogue}-wal", Kind::Journal},
        {"the shared memory file", portable, "", "{catalogue}", "{catalogue}-shm", Kind::Journal},

        // The program's own files.
        {"the restore program", portable, "", "{catalogue}", "{program}qmrestore", Kind::ProgramFile},
        {"the program", portable, "", "{catalogue}", "{program}quillmere", Kind::ProgramFile},
        {"the catalogue maker", installed, "", "{catalogue}", "{program}qmnewdata", Kind::ProgramFile},
        {"the running program", portable, "", "{catalogue}", "{self}", Kind::ProgramFile},
        {"a hard link to the restore program", portable, "hardlink {out}r.csv {program}qmrestore", "{catalogue}",
         "{out}r.csv", Kind::ProgramFile},
        {"the help document beside the program", portable, "", "{catalogue}", "{program}qmp.html", Kind::ProgramFile},
        {"the installed help document", installed, "", "{catalogue}", "{program}../share/quillmere/qmp.html",
         Kind::ProgramFile},
        {"the installed empty catalogue", installed, "", "{catalogue}", "{root}prefix/share/quillmere/data.qmd",
         Kind::ProgramFile},

        // Free to write.
        {"a new file", portable, "", "{catalogue}", "{out}books.csv", Kind::Free},
        {"a copy of the catalogue", portable, "copy {out}copy.qmd {catalogue}", "{catalogue}", "{out}copy.qmd",
         Kind::Free},
        {"the data file beside the program, not in use", portable, "", "{catalogue}", "{program}data.qmd", Kind::Free},
        {"data.qmd beside the installed program", installed, "", "{catalogue}", "{program}data.qmd", Kind::Free},
        {"names that only begin as the lock", portable, "", "{catalogue}", "{catalogue}.lock.csv", Kind::Free},
        {"names that only begin as the journal", portable, "", "{catalogue}", "{catalogue}-journal.csv", Kind::Free},
        {"the catalogue's name in another folder", portable, "", "{catalogue}", "{out}藏书.qmd", Kind::Free},
        {"the program's name in another folder", portable, "", "{catalogue}", "{books}qmrestore", Kind::Free},
    };
    for (const auto &r : rows)
        QTest::newRow(r.name) << r.layout << QString::fromUtf8(r.step) << QString::fromUtf8(r.catalogue)
                              << QString::fromUtf8(r.target) << int(r.kind);
}

void SavesTest::targetsAreJudged()
{
    QFETCH(int, layout);
    QFETCH(QString, step);
    QFETCH(QString, catalogue);
    QFETCH(QString, target);
    QFETCH(int, kind);
    open(Layout(layout));
    // Links to links: the folder's link first.
    if (step.contains(QLatin1String("{root}shelf/")))
        QVERIFY(prepare(expand(QStringLiteral("symlink {root}shelf {books}"), *place)));
    QVERIFY(prepare(expand(step, *place)));
    const QString path = expand(target, *place);
    const QString inUse = expand(catalogue, *place);
    const QStringList before = filehelpers::filesIn(QFileInfo(path).path());

    QCOMPARE(int(savetarget::judge(path, inUse)), kind);
    QString refused;
    try {
        savetarget::check(path, QStringLiteral("CSV文件"), inUse);
    } catch (const UserError &e) {
        refused = e.message();
    }
    QCOMPARE(refused.isEmpty(), kind == int(Kind::Free));
    if (!refused.isEmpty())
        QVERIFY2(refused.contains(QStringLiteral("“%1”").arg(QFileInfo(path).fileName())), qPrintable(refused));
    // Judging touches nothing.
    QCOMPARE(filehelpers::filesIn(QFileInfo(path).path()), before);
}

void SavesTest::refusalsNameTheFileAndSayWhy_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("message");
    QTest::newRow("the catalogue") << "{catalogue}"
                                   << "CSV文件"
                                   << "不能把CSV文件保存为正在使用的数据文件“藏书.qmd”（文件夹：{root}books）本身，"
                                      "请另选一个文件名。";
    QTest::newRow("the lock") << "{catalogue}.lock"
                              << "图片"
                              << "不能把图片保存为“藏书.qmd.lock”（文件夹：{root}books）：它是正在使用的数据文件的"
                                 "锁文件，请另选一个文件名。";
    QTest::newRow("the journal") << "{catalogue}-journal"
                                 << "备份"
                                 << "不能把备份保存为“藏书.qmd-journal”（文件夹：{root}books）：它是正在使用的数据"
                                    "文件的日志文件，请另选一个文件名。";
    QTest::newRow("the restore program") << "{program}qmrestore"
                                         << "HTML文件"
                                         << "不能把HTML文件保存为“qmrestore”（文件夹：{root}program）：它是本程序的"
                                            "文件，请另选一个文件名。";
}

void SavesTest::refusalsNameTheFileAndSayWhy()
{
    QFETCH(QString, target);
    QFETCH(QString, what);
    QFETCH(QString, message);
    open(Layout::Portable);
    QString refused;
    try {
        // The catalogue in use, as the program chose it.
        savetarget::check(expand(target, *place), what, programfolder::dataFile());
    } catch (const UserError &e) {
        refused = e.message();
    }
    QCOMPARE(refused, expand(message, *place));
}
