#pragma once

#include "catalogue/bookimport.h"
#include "components/formdialog.h"

#include <memory>

class QStandardItemModel;
class QTableWidgetItem;
class SkippedRowsModel;

namespace Ui {
class Tform_csvimport;
}

// The import window: what the program made of a CSV file before anything
// is written. It shows the file's encoding and separator, which the user
// can change (the file is then read again); each column of the file with
// its first value and the field it goes to, which the user can change (or
// set to "不导入"), and the columns that go nowhere; the order of day and
// month where the file's dates leave it open; the first books as they will
// be stored; every record that will not be added as it is, with the
// reason; the counts. "导入" closes it accepted, "取消" rejected; the caller
// then writes books(). Made for one file and gone with it.
class Tform_csvimport : public FormDialog
{
    Q_OBJECT

public:
    // The catalogue's keys must outlive the window.
    Tform_csvimport(std::unique_ptr<BookImport> books, const BookImport::CatalogueKeys &catalogue,
                    QWidget *parent = nullptr);
    ~Tform_csvimport() override;

    // How many of the file's first books are shown as they will be stored.
    static constexpr int kPreviewBooks = 20;
    // How many of the columns that go nowhere are named under the list.
    static constexpr int kListedIgnored = 12;

    // The books as the window stands: read again when the encoding or the
    // separator was changed.
    BookImport &books() { return *m_books; }
    // Whether the books the catalogue holds already are to be added too.
    bool withDuplicates() const;
    // How many books "导入" adds, as the window stands.
    int booksToAdd() const;

private:
    void fillReading();
    void fillMapping();
    void mappingChange(QTableWidgetItem *item);
    void readingChange();
    void dateOrderChange();
    // Judges the file again and shows the result.
    void refresh();
    void fillPreview();
    void showCounts();
    void button_importClick();

    std::unique_ptr<BookImport> m_books;
    const BookImport::CatalogueKeys &m_catalogue;
    std::unique_ptr<Ui::Tform_csvimport> ui;
    QStandardItemModel *m_preview = nullptr;
    SkippedRowsModel *m_skipped = nullptr;
    bool m_filling = false;
};
