#pragma once

#include <QAbstractTableModel>

#include <vector>

class BookImport;

// The records of an import that will not be added as they are: the records
// the file spoils, the books the catalogue holds already, and the books
// with a value left empty, each with its line in the file, what becomes of
// it, and the reason. The reasons are made when shown, so
// that a large file with many such records costs no more than its list.
class SkippedRowsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit SkippedRowsModel(QObject *parent = nullptr);

    // Takes the records as judged now; books must outlive the model's use.
    void reset(const BookImport &books);
    // Whether the duplicates are added too, as the window's choice stands.
    void setWithDuplicates(bool with);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const BookImport *m_books = nullptr;
    std::vector<int> m_records;
    bool m_withDuplicates = false;
};
