#include "csvtransfer.h"

#include "catalogue/catalogue.h"
#include "components/filedialog.h"
#include "components/messages.h"
#include "form_csvimport.h"
#include "progresswindow.h"
#include "store/programfolder.h"

#include <QFileInfo>

namespace csvtransfer {
namespace {

// After a file box, also one that failed: the program folder is the
// current folder again. A failure to enter it must not hide the error that
// is on its way to the error box.
void enterProgramFolderQuietly() noexcept
{
    try {
        programfolder::enter();
    } catch (...) {
    }
}

} // namespace

Exported exportBooks(QWidget *parent, const Catalogue &catalogue)
{
    filedialog::Options box;
    box.defaultSuffix = QStringLiteral("csv");
    box.filter = QStringLiteral("CSV文件 (*.csv)");
    box.proposedName = QStringLiteral("qmp2csv.csv");
    const QString chosen = filedialog::saveFileName(parent, box);
    programfolder::enter();
    if (chosen.isEmpty())
        return {};
    Exported out;
    out.path = QFileInfo(chosen).absoluteFilePath();
    ProgressWindow progress(parent, QStringLiteral("正在导出书籍……"));
    try {
        out.books =
            catalogue.exportBooks(out.path, [&](qint64 done, qint64 total) { return progress.update(done, total); });
    } catch (...) {
        enterProgramFolderQuietly();
        throw;
    }
    return out;
}

void importBooks(QWidget *parent, Catalogue &catalogue)
{
    filedialog::Options box;
    box.filter = QStringLiteral("CSV文件 (*.csv *.tsv *.txt);;所有文件 (*)");
    const QString chosen = filedialog::openFileName(parent, box);
    programfolder::enter();
    if (chosen.isEmpty())
        return;
    const QString path = QFileInfo(chosen).absoluteFilePath();

    auto read = std::make_unique<BookImport>(csvreader::readFile(path), path);
    CsvImportDialog window(std::move(read), catalogue, parent);
    if (window.showModal() != QDialog::Accepted)
        return;
    const BookImport &books = window.books();
    window.hide();

    ProgressWindow progress(parent, QStringLiteral("正在导入书籍……"));
    const importwriter::Summary summary = catalogue.importBooks(
        books, window.withDuplicates(), [&](int done, int total) { return progress.update(done, total); });
    progress.close();
    msg::plain(parent, summary.text(path), QStringLiteral("从CSV文件导入书籍"));
}

} // namespace csvtransfer
