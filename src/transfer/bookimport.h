#pragma once

#include "bookcolumns.h"
#include "formats/csvreader.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringView>

#include <array>
#include <vector>

class Dataset;

// The books of a CSV file as they would be stored: each column of the file
// goes to a target (see bookcolumns), each record becomes a book, and every
// record is judged: a book to add, a blank record, a record with a value
// that cannot be read, or a duplicate of a book before it in the file or
// already in the catalogue.
class BookImport
{
public:
    // The books' fields after the number, in the table's order: field f is
    // column f + 1 of table book.
    static constexpr int kFieldCount = bookcolumns::kColumnCount - 1;

    // One stored value. A text is a view into the table it was read from.
    struct Value
    {
        enum Kind : unsigned char { None, Whole, Text, Date };
        Kind kind = None;
        qint64 whole = 0;
        QDate date;
        QStringView text;

        bool isEmpty() const { return kind == None || (kind == Text && text.isEmpty()); }
    };
    using Book = std::array<Value, kFieldCount>;

    // Why a record cannot be added: a heading for the summary ("出版日期无法
    // 识别") and the details for the record ("出版日期“1999年春”无法识别").
    struct Problem
    {
        QString heading;
        QString detail;
    };

    enum class Status : unsigned char { Good, Blank, Problem, DuplicateInFile, DuplicateInCatalogue };
    struct Judgement
    {
        Status status = Status::Good;
        bool sameIsbn = false; // for a duplicate: by ISBN, or else by title and first author
        qint64 other = 0;      // the record it repeats, or the catalogue's book number
    };

    // The books already in the catalogue, by the keys that make duplicates.
    struct CatalogueKeys
    {
        QHash<QString, qint64> isbns;
        QHash<QString, qint64> titles;
        // Reads them through the dataset (closed before and after).
        static CatalogueKeys read(Dataset &books);
    };

    // Maps the columns by their headers. Throws UserError naming the file
    // when no header is one the program knows, or when the file holds no
    // record after its header.
    BookImport(CsvTable table, const QString &path);

    const CsvTable &table() const { return m_table; }
    const QString &path() const { return m_path; }

    bookcolumns::Target target(int column) const { return m_targets[size_t(column)]; }
    void setTarget(int column, bookcolumns::Target target);
    // Whether any column goes to a field.
    bool importsAnything() const;

    // Judges every record against the file and the catalogue's books.
    void judge(const CatalogueKeys &catalogue);
    const Judgement &judgement(int record) const { return m_judgements[size_t(record)]; }
    int count(Status status) const { return m_counts[size_t(status)]; }
    // The records judged as that, in the file's order.
    std::vector<int> records(Status status) const;
    // The reason in words for a record that is not Good.
    QString reason(int record) const;
    // The heading the summary counts a skipped record under.
    QString heading(int record) const;

    // The book of a record; false and the first problem when a value cannot
    // be read. Where several columns go to one field, the first that is not
    // empty gives its value. A column that is a field of the book itself
    // gives it as the file has it, empty or not; the three codes that no
    // such column gives take the entry window's choice ("非常喜欢", "自己拥有",
    // "已读") unless another column's reading gives them (stars, shelves, a
    // read date).
    bool book(int record, Book &out, Problem *problem = nullptr) const;

private:
    void findDirectFields();

    CsvTable m_table;
    QString m_path;
    std::vector<bookcolumns::Target> m_targets;
    // The fields that a column of the file goes to as it is.
    std::array<bool, kFieldCount> m_direct{};
    std::vector<Judgement> m_judgements;
    std::array<int, 5> m_counts{};
};
