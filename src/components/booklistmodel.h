#pragma once

#include "store/bookrow.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <QStringList>

#include <array>
#include <vector>

class Catalogue;
struct BookQuery;

// The rows of the book list. Each book is kept as its stored fields (see
// bookrow::StoredFields), packed (see packedrows) so that a list of a
// million books stays small, fills at the speed of the scan and is given
// back in one step; the 17 texts of a row (by bookrow's row rule) are made
// when they are shown or sorted. The background of a row follows the loan
// text it shows: borrowed in and lent out have their colours, an own copy
// and a loan code that is no known code have none.
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
    // How many texts the row has: 17, whatever its codes hold.
    int cellCount(int row) const;

    // Filling: everything between beginFill() and endFill() is one model
    // reset. Use Fill, which ends the fill also when it stops by an error.
    void beginFill();
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
        // Adds a book given as texts.
        void add(const bookrow::Fields &book);
        // Adds one row per book the query selects, read from the catalogue.
        void addBooks(const Catalogue &catalogue, const BookQuery &query);
        Fill(const Fill &) = delete;
        Fill &operator=(const Fill &) = delete;

    private:
        BookListModel &m_model;
    };

    void clear();
    // A book read back from the catalogue: the first row of book, as
    // Catalogue::readBookRow gives it.
    void appendBook(const PackedRows &book);
    void setBook(int row, const PackedRows &book);
    // A book given as texts.
    void appendRow(const bookrow::Fields &book);
    void setRow(int row, const bookrow::Fields &book);
    void removeBookRow(int row);
    // The row of the book with that number; -1 when the list does not show it.
    int rowOfNumber(const QString &number) const;

    // Sorts all rows by the column, stably, with the byte order of
    // textorder; descending when ascending is false. The keys of the last
    // column sorted are kept until the rows change.
    void sortRows(int column, bool ascending);

    void setLargeIcons(bool large);
    // The size of every item in the icon views (one size for all keeps a
    // long list fast); an invalid size leaves it to the view.
    void setItemSize(QSize size);

private:
    // The stored fields of a row, with their date flags; valid until the
    // rows change.
    const bookrow::StoredFields &fields(int row) const;
    const QStringList &texts(int row) const;
    void rowsChanged();
    void afterSetRow(int row);
    void buildKeys(int column);

    PackedRows m_rows;
    std::array<bool, bookrow::kFieldCount> m_dates{};
    mutable bookrow::StoredFields m_fields;
    mutable int m_fieldsRow = -1;
    mutable QStringList m_texts;
    mutable int m_textsRow = -1;
    // The sort keys of one column, one per row, in the rows' order.
    struct Keys
    {
        int column = -1;
        QByteArray bytes; // under 4 GiB: the keys of a list that fits in memory
        std::vector<quint32> starts;
        std::vector<quint32> lengths;
    } m_keys;
    bool m_filling = false;
    bool m_largeIcons = false;
    QSize m_itemSize;
    QIcon m_smallIcon;
    QIcon m_largeIcon;
};
