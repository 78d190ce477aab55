#pragma once

#include <QAbstractTableModel>

#include <vector>

class BookImport;

// The records of an import that will not be added as they are: the
// duplicates and the records with a value that cannot be read, each with
// its line in the file and the reason. The reasons are made when shown, so
// that a large file with many such records costs no more than its list.
class SkippedRowsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit SkippedRowsModel(QObject *parent = nullptr);

    // Takes the records as judged now; books must outlive the model's use.
    void reset(const BookImport &books);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const BookImport *m_books = nullptr;
    std::vector<int> m_records;
};
