#pragma once

#include "gridsource.h"

#include "store/packedrows.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class Connection;
class Dataset;
class KeyCursor;

// The rows of a command over one table, kept as their order only: one key
// per row (the table's integer key), the values read from the data file
// when they are shown or written. A grid of a million books costs eight
// megabytes.
//
// The screen reads pages of rows around the row asked for and keeps the
// last few; an export reads its rows through a reader of its own, which
// steps through the table while the keys follow each other. The values are
// the table's at the moment they are read; a row whose book is no longer in
// the file reads as a row without values.
//
// The table reads through the dataset's connection: it must go before the
// dataset does.
class StoredGridTable : public GridSource
{
public:
    StoredGridTable();
    ~StoredGridTable() override;

    // Takes the keys of the dataset's command in one pass over its result,
    // in the result's order, and the named fields that the result has, in
    // the order named, with the types their columns declare. The command
    // must read the columns of the table that writes go to (the one named
    // after "from"); its key is the table's integer primary key. The dataset
    // must be closed and stays closed. Errors raise UserError and leave the
    // table empty.
    void open(Dataset &dataset, const QStringList &fieldNames);
    void close();
    // Forgets the pages read for the screen, so that what is shown next is
    // read from the file again.
    void dropPages();

    int rowCount() const override { return m_rowCount; }
    qint64 key(int row) const { return m_keys[size_t(row >> kBlockBits)][row & kBlockMask]; }

    // Reads the row's page when it is not at hand. When that fails the page
    // reads as empty rows until it is dropped, and the error (UserError,
    // naming the file) is raised once.
    QString displayText(int row, int field) const override;
    std::unique_ptr<GridRowReader> reader() const override;

private:
    // The keys are kept in blocks of a fixed size: growing never copies
    // them, and beyond the keys themselves they take at most one block.
    static constexpr int kBlockBits = 16;
    static constexpr int kBlockMask = (1 << kBlockBits) - 1;
    void appendKey(qint64 key);

    struct Page
    {
        int first = -1;      // the page's first row
        PackedRows rows;     // a row without values: the book is gone
        quint64 lastUse = 0; // the least recently used page goes first
    };
    std::unique_ptr<KeyCursor> cursor() const;
    const Page &page(int row) const;
    void readPage(Page &page) const;

    Connection *m_connection = nullptr;
    QString m_table;
    QString m_key;
    QStringList m_columns; // the fields' columns in the table
    std::vector<std::unique_ptr<qint64[]>> m_keys;
    int m_rowCount = 0;

    mutable std::vector<Page> m_pages;
    mutable std::unique_ptr<KeyCursor> m_pageCursor;
    mutable quint64 m_uses = 0;
};
