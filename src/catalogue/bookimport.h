#pragma once

#include "bookcolumns.h"
#include "bookvalues.h"
#include "formats/csvreader.h"
#include "storedalready.h"

#include <QDate>
#include <QString>
#include <QStringView>

#include <array>
#include <memory>
#include <optional>
#include <vector>

class Connection;

// The books of a CSV file as they would be stored: each column of the file
// goes to a target (see bookcolumns), each record becomes a book, and every
// record is judged: a book to add, a blank record, a record the file itself
// spoils (more fields than the header, bytes not valid in its encoding), or
// a book the catalogue holds already. A value that cannot be read costs its
// field, not the book: the field stays empty and the record carries a
// warning. The records of one file are separate books, even where two are
// alike: only the catalogue is asked whether a book is there already.
class BookImport
{
public:
    // The books' fields after the number, in the table's order: field f is
    // column f + 1 of table book.
    static constexpr int kFieldCount = bookcolumns::kColumnCount - 1;

    // One stored value. A text is a view into the table it was read from,
    // or a text of its own (authors joined from one field).
    class Value
    {
    public:
        enum Kind : unsigned char { None, Whole, Text, Date };
        Kind kind = None;
        qint64 whole = 0;
        QDate date;

        QStringView text() const { return m_own.isNull() ? m_text : QStringView(m_own); }
        void setText(QStringView text)
        {
            kind = Text;
            m_text = text;
            m_own = QString();
        }
        void setOwnText(QString text)
        {
            kind = Text;
            m_own = std::move(text);
        }
        bool isEmpty() const { return kind == None || (kind == Text && text().isEmpty()); }

    private:
        QStringView m_text;
        QString m_own;
    };
    using Book = std::array<Value, kFieldCount>;

    // A value that could not be read and was left empty: a heading for the
    // summary ("出版日期无法识别") and the details for the record ("Year:
    // “1999年春”无法识别为日期，已留空").
    struct Warning
    {
        QString heading;
        QString detail;
    };

    enum class Status : unsigned char { Good, Blank, Problem, Duplicate };
    struct Judgement
    {
        Status status = Status::Good;
        bool warned = false;   // a value of the book could not be read
        bool sameIsbn = false; // for a duplicate: by ISBN, or else by title and first author
        qint64 other = 0;      // the catalogue's book number a duplicate repeats
    };

    // The books already in the catalogue, asked one record at a time by
    // the catalogue's one rule (see storedalready.h), from its indexes:
    // nothing of the catalogue's books is held in memory. Copies share one
    // set of questions; they are used no longer than the dataset read from.
    class CatalogueKeys
    {
    public:
        // Asks through the connection. With makeIndexes, makes the indexes
        // first where the file lacks them and may be written; without, a
        // file is never changed (a dry run, which holds no lock), and one
        // that lacks them is asked by reading its books.
        static CatalogueKeys read(Connection &connection, bool makeIndexes);
        // The stored book that a book of this title, first author and ISBN
        // repeats, if there is one.
        std::optional<storedalready::Match> find(QStringView title, QStringView author, QStringView isbn) const;
        // Many records asked in one read of the file (see Finder::Reading).
        storedalready::Finder::Reading reading() const { return m_finder->reading(); }

    private:
        std::shared_ptr<storedalready::Finder> m_finder;
    };

    // Maps the columns by their headers. Throws UserError naming the file
    // when no header is one the program knows, or when the file holds no
    // record after its header.
    BookImport(CsvTable table, const QString &path);

    const CsvTable &table() const { return m_table; }
    const QString &path() const { return m_path; }
    // Whether the file is the program's own export (its header the export's
    // nineteen captions, in order): then every field comes back as it was
    // stored, also a value that no reading understands (a year alone, a
    // code out of range, a text in a number's column), so that a catalogue
    // exported and imported again is the same.
    bool isOwnExport() const { return m_ownExport; }

    bookcolumns::Target target(int column) const { return m_targets[size_t(column)]; }
    void setTarget(int column, bookcolumns::Target target);
    // Whether any column goes to a field.
    bool importsAnything() const;
    // The columns that go nowhere, in the file's order, and the same in
    // words: their headers, an unknown one marked ("Autor（无法识别）").
    std::vector<int> ignoredColumns() const;
    // At most `most` names, then how many in all ("……等 1997 列").
    QString ignoredColumnsText(int most = -1) const;

    // Dates with the year last whose day and month could swap (03/04/2020)
    // are read by the order their column's other values show (13/04/2020).
    // Where a column shows none, the user's order is taken; without one
    // such dates stay empty with a warning.
    bool dateOrderUnsettled() const;
    bookvalues::DateOrder dateOrder() const { return m_dateOrder; }
    void setDateOrder(bookvalues::DateOrder order) { m_dateOrder = order; }
    // An example of an unsettled date, for the question ("03/04/2020").
    QString unsettledDateExample() const;

    // Judges every record against the catalogue's books.
    void judge(const CatalogueKeys &catalogue);
    const Judgement &judgement(int record) const { return m_judgements[size_t(record)]; }
    int count(Status status) const { return m_counts[size_t(status)]; }
    // How many books to add carry a warning.
    int warnedCount() const { return m_warned; }
    // The records judged as that, in the file's order.
    std::vector<int> records(Status status) const;
    // The records that will not be added as they are: problems, duplicates,
    // and the books with a value left empty, in the file's order.
    std::vector<int> notableRecords() const;
    // The reason in words for a record that is not Good, or the warnings of
    // a Good one; "" for a Good one without warnings.
    QString reason(int record) const;
    // The heading the summary counts a skipped record under.
    QString heading(int record) const;

    // The book of a record; false when the file spoils the record. A value
    // that cannot be read leaves its field empty and adds a warning, unless
    // another column gives that field a value. Where several columns go to
    // one field, the first that is not empty gives its value. A column that
    // is a field of the book itself gives it as the file has it, empty or
    // not. A loan that no column gives is an own copy; a rating or a read
    // state that no column gives stays unknown (no value).
    bool book(int record, Book &out, std::vector<Warning> *warnings = nullptr) const;

private:
    void findDirectFields();
    void findDateOrders();
    bookvalues::DateOrder orderOf(int column) const;
    QString fileProblem(int record) const;

    CsvTable m_table;
    QString m_path;
    bool m_ownExport = false;
    std::vector<bookcolumns::Target> m_targets;
    // The order of day and month each column's values settle; Unknown
    // where they settle none.
    std::vector<bookvalues::DateOrder> m_columnOrders;
    // The first date of a column whose day and month could swap; -1 for none.
    std::vector<int> m_unsettled;
    bookvalues::DateOrder m_dateOrder = bookvalues::DateOrder::Unknown;
    // The fields that a column of the file goes to as it is.
    std::array<bool, kFieldCount> m_direct{};
    std::vector<Judgement> m_judgements;
    std::array<int, 4> m_counts{};
    int m_warned = 0;
};
