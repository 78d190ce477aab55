#pragma once

#include <QString>
#include <QStringView>
#include <QVariant>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "connection.h"
#include "packedrows.h"
#include "storedvalue.h"

struct sqlite3_stmt;

// A window's view of the data file: a command text, a snapshot of its whole
// result taken when it is first read (a dataset opened only to add rows
// never reads its table), and single-row writes to the one table named after
// "from". Every value goes in and out as text:
//  - reading: no value gives "", an integer its decimal digits, a date its
//    short date text (see datetext);
//  - writing: "" gives no value in integer and date columns; a text that is
//    not a whole number or not a date is refused with UserError, and nothing
//    of that row reaches the file.
// Failures raise UserError.
class Dataset
{
public:
    enum class State { Closed, Browse, Inserting, Editing };

    // A cursor on an open connection, which it uses and does not own: the
    // catalogue's one connection (see catalogue/catalogue.h).
    explicit Dataset(Connection &connection);
    ~Dataset();

    Dataset(const Dataset &) = delete;
    Dataset &operator=(const Dataset &) = delete;

    // Allowed only while closed; setting the text it already holds does
    // nothing, open or not. The values of the text's "?" marks are given
    // apart from it and bound, never joined into the text: a whole number
    // (qint64, int) as an integer, anything else as its text.
    void setCommandText(const QString &text, const QVariantList &values = {});
    const QString &commandText() const { return m_command; }
    const QVariantList &commandValues() const { return m_values; }

    // Prepares the command; its whole result is taken when first read (the
    // record count, a field, the next row). The first row is current.
    void open();
    // Ends the query. A row being written and not posted is dropped.
    void close();

    State state() const { return m_state; }
    bool isOpen() const { return m_state != State::Closed; }
    int recordCount() const;
    // True when the current position is past the last row.
    bool eof() const;
    void next();

    int fieldCount() const { return int(m_columns.size()); }
    QString fieldName(int column) const;
    // The column's index in the result; throws UserError for an unknown name.
    int fieldIndex(QStringView name) const;
    // The current row's value (or the pending row's, while writing) as text.
    QString fieldText(int column) const;
    QString fieldByName(QStringView name) const { return fieldText(fieldIndex(name)); }
    void setFieldByName(QStringView name, const QString &text);

    // One field as stored, without conversion (see storedvalue).
    using Value = FieldValue;
    // The current record's field as stored (not a value being written). The
    // bytes of a text stay valid until the dataset changes.
    Value value(int column) const;

    // A row met by scan(); valid only while it is being visited.
    class Row
    {
    public:
        int fieldCount() const;
        // The column's index; throws UserError for an unknown name.
        int fieldIndex(QStringView name) const;
        QString fieldName(int column) const;
        // The type the table declares for the column ("TEXT", "DATE", ...).
        QByteArray declaredType(int column) const;
        Value value(int column) const;

    private:
        friend class Dataset;
        explicit Row(sqlite3_stmt *stmt, const std::vector<unsigned char> &dates)
            : m_stmt(stmt)
            , m_dates(dates)
        {}
        sqlite3_stmt *m_stmt;
        const std::vector<unsigned char> &m_dates;
    };

    // Runs the command and hands every row of its result to visit, in the
    // order the store returns them, without taking a snapshot: for walks
    // that only read every row once (filling a list). The dataset must be
    // closed and stays closed. Rows visited before an error stay visited.
    // When given, columns is called once before the first row (also for an
    // empty result), to look at the result's columns: its values are not
    // there yet.
    void scan(const std::function<void(const Row &)> &visit, const std::function<void(const Row &)> &columns = {});

    // Starts a new row.
    void append();
    // Starts changing the current row; on an empty result, starts a new row.
    void edit();
    // Stores the new or changed row. Afterwards the row is current and reads
    // back as stored, its key included.
    void post();
    // Removes the current row at once; the row after it becomes current.
    void deleteRecord();

    // The dataset's connection to the data file, opened if need be. For a
    // Transaction over this dataset's writes.
    Connection &connection();

    // The table that writes go to (the one named after "from") and the
    // result's column of its key, found as append() finds them. The dataset
    // must be open; throws UserError when the command names no table or its
    // result lacks the key.
    QString tableName();
    int keyFieldIndex();

private:
    enum class Kind : unsigned char { Text, Integer, Date };

    struct Column
    {
        QString name;
        Kind kind = Kind::Text;
    };
    // A value given to a field of the row being written.
    struct Pending
    {
        bool set = false;
        StoredValue value;
    };

    sqlite3_stmt *prepare(const QByteArray &sql);
    // The command, prepared with its values bound.
    sqlite3_stmt *prepareCommand();
    [[noreturn]] void fail(const QString &what) const;
    void requireOpen() const;
    void requireCurrent() const;
    void locateTable();
    // Reads the command's result into the snapshot, once.
    void take();
    const PackedRows &rows() const;
    void appendRowFrom(sqlite3_stmt *stmt, PackedRows &into) const;
    void reloadRow(qint64 key, int row);
    Value valueAt(int row, int column) const;

    Connection *m_connection;
    QString m_command;
    QVariantList m_values;
    State m_state = State::Closed;

    std::vector<Column> m_columns;
    PackedRows m_rows;
    // False until the result is first read: a dataset opened only to add
    // rows never reads the table. Until then m_rows holds the rows added.
    bool m_taken = false;
    int m_current = 0;

    // The table that writes go to, and its key column (index in the result).
    QString m_table;
    int m_keyColumn = -1;
    std::vector<Pending> m_pending;
};

// Closes a dataset when the action that opened it ends, also when it ends by
// an error, so the next action finds it closed and nothing half-written stays.
class ScopedClose
{
public:
    explicit ScopedClose(Dataset &dataset)
        : m_dataset(dataset)
    {}
    ~ScopedClose() { m_dataset.close(); }
    ScopedClose(const ScopedClose &) = delete;
    ScopedClose &operator=(const ScopedClose &) = delete;

private:
    Dataset &m_dataset;
};

// Every field of a dataset's current record, in the result's order, each
// holding its own copy.
using StoredRecord = std::vector<StoredValue>;
StoredRecord storedRecord(const Dataset &dataset);
