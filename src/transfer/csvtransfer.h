#pragma once

#include <QString>

class Catalogue;
class QWidget;

// The two CSV commands of the main window, from the file box to the end.
namespace csvtransfer {

struct Exported
{
    QString path;      // the file written; "" when the user chose none
    qint64 books = -1; // how many books it holds; -1 when none was written
};

// "导出为CSV文件": asks for a file and writes every book of the catalogue
// into it, with a progress window for a large catalogue, whose "取消" leaves
// no file.
Exported exportBooks(QWidget *parent, const Catalogue &catalogue);

// "从CSV文件导入书籍": asks for a file, reads it, shows the import window,
// and on "导入" adds the books to the catalogue (a progress window for a
// large file, whose "取消" writes nothing; the catalogue tells the windows
// that follow it), and shows the summary. A file that cannot be read is
// refused with a message naming it before the window.
void importBooks(QWidget *parent, Catalogue &catalogue);

} // namespace csvtransfer
