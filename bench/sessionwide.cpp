// The import window on a narrow and on a wide file: the same books, once
// with 20 columns and once with 2,000 (the most a header may have), most of
// them unknown to the program. The window lists every column with a pick
// list opened only on demand, so a wide file should open it nearly as fast
// as a narrow one.
#include "session.h"

#include "driver.h"
#include "probe.h"

#include "components/filedialog.h"
#include "formats/csvreader.h"
#include "main/form_main.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QTableWidget>

namespace session {
namespace {

using driver::require;

constexpr int kNarrow = 20;
constexpr int kWide = csvreader::kMostColumns;
constexpr int kRecords = 200;

// The columns the program knows, first in both files.
const QStringList kKnown{QStringLiteral("书名"), QStringLiteral("作者"), QStringLiteral("出版社")};

const QStringList kAuthors{QStringLiteral("林若水"), QStringLiteral("[英] 玛丽·斯通"), QStringLiteral("周晓岚"),
                           QStringLiteral("Anne Miller")};

// A file of kRecords books with columns columns: the known ones, then
// others the program does not know, each holding a short value, as a
// spreadsheet with many columns of its own has them. The first columns of
// the wide file are those of the narrow one.
void writeFile(const QString &path, int columns)
{
    QStringList header = kKnown;
    for (int col = int(kKnown.size()); col < columns; ++col)
        header << QStringLiteral("附加字段%1").arg(col - kKnown.size() + 1);
    QByteArray bytes = header.join(QLatin1Char(',')).toUtf8() + "\r\n";
    for (int r = 0; r < kRecords; ++r) {
        QStringList fields{QStringLiteral("宽表样书·第%1册").arg(r + 1), kAuthors[r % kAuthors.size()],
                           QStringLiteral("样本出版社")};
        for (int col = int(kKnown.size()); col < columns; ++col)
            fields << QString::number((r * 31 + col * 7) % 1000);
        bytes += fields.join(QLatin1Char(',')).toUtf8() + "\r\n";
    }
    QFile file(path);
    require(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size() && file.flush(),
            "cannot write " + path.toStdString());
}

// "从CSV文件导入书籍" on the file, up to the import window shown and
// painted, recorded as the step id (not when id is empty); then 取消.
// Returns the time.
double openWindow(Context &c, const QString &path, int columns, const std::string &id)
{
    filedialog::setNextFileName(path);
    QElapsedTimer timer;
    double ms = 0;
    driver::withModal(
        [&] {
            c.startStep();
            timer.start();
            driver::command("mfimportcsv")->trigger();
        },
        [&](QDialog *window) {
            probe::settle(window);
            ms = probe::elapsedMs(timer);
            if (!id.empty())
                c.record(id, ms);
            c.expectShown(id.empty() ? "csv.window" : id.c_str());
            require(driver::child<QTableWidget>(window, "grid_mapping")->rowCount() == columns,
                    "the import window does not list every column of " + path.toStdString());
            const QString offered = driver::child<QAbstractButton>(window, "button_import")->text();
            require(offered == QStringLiteral("导入 %1 本书(&I)").arg(kRecords),
                    "the import window does not offer every book of " + path.toStdString() + " (" +
                        offered.toStdString() + ")");
            driver::clickButton(window, "button_cancel");
        });
    probe::settle(c.listViewport());
    c.expectShown("csv.window.closed");
    return ms;
}

} // namespace

void importWindowWidths(Context &c)
{
    const QString narrow = QDir(c.options.folder).filePath(QStringLiteral("narrow.csv"));
    const QString wide = QDir(c.options.folder).filePath(QStringLiteral("wide.csv"));
    writeFile(narrow, kNarrow);
    writeFile(wide, kWide);
    c.note("csv.narrow.bytes", QString::number(QFile(narrow).size()));
    c.note("csv.wide.bytes", QString::number(QFile(wide).size()));
    // Once untimed, so that both files meet a window the process has made
    // before (below a million books the session's import has made it).
    openWindow(c, narrow, kNarrow, {});
    const double narrowMs = openWindow(c, narrow, kNarrow, "csv.narrow");
    openWindow(c, wide, kWide, "csv.wide");
    // Judged against the narrow file in the same run.
    c.setFloor("csv.wide", narrowMs);
    QFile::remove(narrow);
    QFile::remove(wide);
}

} // namespace session
