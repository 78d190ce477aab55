#pragma once

#include "catalogue/bookimport.h"
#include "components/formdialog.h"

#include <memory>

class Catalogue;
class QStandardItemModel;
class QTableWidgetItem;
class SkippedRowsModel;

namespace Ui {
class CsvImportDialog;
}

// The import window: what the program made of a CSV file before anything
// is written. It shows the file's encoding and separator, which the user
// can change (the file is then read again); each column of the file with
// its first value and the field it goes to, which the user can change (or
// set to "不导入"), and the columns that go nowhere; the order of day and
// month where the file's dates leave it open; the first books as they will
// be stored; every record that will not be added as it is, with the
// reason; the counts. "导入" closes it accepted, "取消" rejected; the caller
// then writes books(). Made for one file and gone with it. Its object name
// is form_csvimport.
class CsvImportDialog : public FormDialog
{
    Q_OBJECT

public:
    // The records are judged against the catalogue's books as they are
    // when the window is made.
    CsvImportDialog(std::unique_ptr<BookImport> books, const Catalogue &catalogue, QWidget *parent = nullptr);
    ~CsvImportDialog() override;

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
    // The user sent a column to another field.
    void changeTarget(QTableWidgetItem *item);
    // The user chose another encoding or separator: the file is read again.
    void readAgain();
    void changeDateOrder();
    // Judges the file again and shows the result.
    void refresh();
    void fillPreview();
    void showCounts();

    std::unique_ptr<BookImport> m_books;
    const BookImport::CatalogueKeys m_catalogueKeys;
    std::unique_ptr<Ui::CsvImportDialog> ui;
    QStandardItemModel *m_preview = nullptr;
    SkippedRowsModel *m_skipped = nullptr;
    bool m_filling = false;
};
