#pragma once

#include "bookimport.h"
#include "components/formdialog.h"

#include <memory>

class QComboBox;
class QStandardItemModel;
class SkippedRowsModel;

namespace Ui {
class Tform_csvimport;
}

// The import window: what the program made of a CSV file before anything
// is written. It shows the file's encoding and separator; each column of
// the file with its first value and the field it goes to, which the user
// can change (or set to "不导入"); the first books as they will be stored;
// every record that cannot be added, or repeats a book, with the reason;
// the counts. "导入" closes it accepted, "取消" rejected; the caller then
// writes the books. Made for one file and gone with it.
class Tform_csvimport : public FormDialog
{
    Q_OBJECT

public:
    // The books and the catalogue's keys must outlive the window.
    Tform_csvimport(BookImport &books, const BookImport::CatalogueKeys &catalogue, QWidget *parent = nullptr);
    ~Tform_csvimport() override;

    // How many of the file's first books are shown as they will be stored.
    static constexpr int kPreviewBooks = 20;

    // Whether the duplicates are to be added too ("重复的书籍也导入").
    bool withDuplicates() const;
    // How many books "导入" adds, as the window stands.
    int booksToAdd() const;

private:
    void fillMapping();
    void mappingChange(int column, int index);
    // Judges the file again and shows the result.
    void refresh();
    void fillPreview();
    void showCounts();
    void button_importClick();

    BookImport &m_books;
    const BookImport::CatalogueKeys &m_catalogue;
    std::unique_ptr<Ui::Tform_csvimport> ui;
    QStandardItemModel *m_preview = nullptr;
    SkippedRowsModel *m_skipped = nullptr;
};
