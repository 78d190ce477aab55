#pragma once

#include "store/bookrow.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <QStringList>

#include <array>
#include <vector>

// The rows of the book list: up to 17 texts a row, kept packed (see
// packedrows) so that a list of a hundred thousand books stays small and is
// given back in one step. Rows come from bookrow's row rule. The background of a row follows its text in the loan
// column.
class BookListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit BookListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The text of a cell; a cell the row lacks reads as the empty text.
    QString cell(int row, int column) const;
    QStringList rowTexts(int row) const;
    // How many texts the row has (17 unless a code was out of range).
    int cellCount(int row) const;

    // Filling: everything between beginFill() and endFill() is one model
    // reset. Use Fill, which ends the fill also when it stops by an error.
    void beginFill();
    void fillRow(const QStringList &texts);
    void endFill();
    class Fill
    {
    public:
        explicit Fill(BookListModel &model)
            : m_model(model)
        {
            m_model.beginFill();
        }
        ~Fill() { m_model.endFill(); }
        void add(const QStringList &texts) { m_model.fillRow(texts); }
        // Runs the dataset's command and adds one row per book found.
        void addBooks(Dataset &books);
        Fill(const Fill &) = delete;
        Fill &operator=(const Fill &) = delete;

    private:
        BookListModel &m_model;
    };

    void clear();
    void appendRow(const QStringList &texts);
    void setRow(int row, const QStringList &texts);
    void removeBookRow(int row);

    // Sorts all rows by the column, stably, with the byte order of
    // textorder; descending when ascending is false.
    void sortRows(int column, bool ascending);

    void setLargeIcons(bool large);
    // The size of every item in the icon views (one size for all keeps a
    // long list fast); an invalid size leaves it to the view.
    void setItemSize(QSize size);

private:
    PackedRows m_rows;
    bool m_filling = false;
    bool m_largeIcons = false;
    QSize m_itemSize;
    QIcon m_smallIcon;
    QIcon m_largeIcon;
};
