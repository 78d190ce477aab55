#include "bookexport.h"

#include "bookcolumns.h"
#include "formats/csvwriter.h"
#include "formats/formulaguard.h"
#include "store/bookfields.h"
#include "store/codes.h"
#include "store/dataset.h"
#include "store/savetarget.h"
#include "store/usererror.h"
#include "store/wholefile.h"

#include <array>

namespace bookexport {
namespace {

using bookcolumns::Kind;

// Written to the file in blocks of about this size.
constexpr qsizetype kBlock = 1 << 20;
constexpr int kProgressEvery = 1000;

struct Stopped
{
};

// The code's text in UTF-8; empty when the code has none.
QByteArray codeText(Kind kind, const FieldValue &value)
{
    if (value.type != FieldValue::Integer || value.integer < 1 || value.integer > 9)
        return QByteArray();
    const int code = int(value.integer);
    const QStringView name = kind == Kind::Rating ? codes::ratingName(code)
                             : kind == Kind::Loan ? codes::loanName(code)
                                                  : codes::readName(code);
    return name.toUtf8();
}

void writeValue(CsvWriter &out, Kind kind, const FieldValue &value)
{
    switch (value.type) {
    case FieldValue::Null:
        out.none();
        return;
    case FieldValue::Integer:
        if (kind == Kind::Rating || kind == Kind::Loan || kind == Kind::Read) {
            const QByteArray name = codeText(kind, value);
            if (!name.isEmpty()) {
                out.text(name);
                return;
            }
        }
        out.text(QByteArray::number(value.integer));
        return;
    case FieldValue::Real:
        out.text(QByteArray::number(value.real, 'g', 15));
        return;
    case FieldValue::Text:
        // Dates too: as stored, the ISO text. A text in a column of numbers
        // is a text all the same. Most texts need no guard, and are written
        // without a copy.
        if (formulaguard::needsGuard(value.textBytes()))
            out.text(formulaguard::guarded(value.textBytes()));
        else
            out.text(value.textBytes());
        return;
    }
}

// The file being written: the header, then one record per book given, in
// blocks, under a temporary name until commit().
class BookFile
{
public:
    BookFile(const QString &target, const QStringList &extraHeader)
        : m_out(target, WholeFile::Streams::Written)
        , m_csv(m_buffer)
    {
        m_buffer.reserve(kBlock + 64 * 1024);
        m_csv.byteOrderMark();
        for (const QString &name : header())
            m_csv.text(name.toUtf8());
        for (const QString &name : extraHeader)
            m_csv.text(name.toUtf8());
        m_csv.endRecord();
    }

    // Finds the nineteen columns in the result of a query.
    void findColumns(const Dataset::Row &row)
    {
        for (int c = 0; c < bookcolumns::kColumnCount; ++c)
            m_index[size_t(c)] = row.fieldIndex(bookcolumns::columnName(c));
    }

    void add(const Dataset::Row &row, const QStringList &extra = {})
    {
        for (int c = 0; c < bookcolumns::kColumnCount; ++c)
            writeValue(m_csv, bookcolumns::kind(c), row.value(m_index[size_t(c)]));
        for (const QString &value : extra)
            m_csv.text(formulaguard::guarded(QStringView(value)).toUtf8());
        m_csv.endRecord();
        if (m_buffer.size() >= kBlock) {
            m_out.write(m_buffer.constData(), m_buffer.size());
            m_buffer.resize(0); // the capacity is kept
        }
    }

    void commit()
    {
        m_out.write(m_buffer.constData(), m_buffer.size());
        m_out.commit();
    }

private:
    WholeFile m_out;
    QByteArray m_buffer;
    CsvWriter m_csv;
    std::array<int, bookcolumns::kColumnCount> m_index{};
};

} // namespace

QStringList header()
{
    QStringList names;
    for (int c = 0; c < bookcolumns::kColumnCount; ++c)
        names << bookfields::caption(bookcolumns::columnName(c));
    return names;
}

qint64 write(Connection &catalogue, const QString &target, const Progress &progress)
{
    savetarget::check(target, QStringLiteral("CSV文件"), catalogue.absolutePath());
    Dataset books(catalogue);
    qint64 total = 0;
    {
        ScopedClose closing(books);
        books.setCommandText(QStringLiteral("select count(*) from book"));
        books.open();
        total = books.fieldText(0).toLongLong();
    }

    BookFile file(target, {});
    qint64 written = 0;
    books.setCommandText(QStringLiteral("select * from book order by book_id"));
    try {
        books.scan(
            [&](const Dataset::Row &row) {
                file.add(row);
                if (++written % kProgressEvery == 0 && progress && !progress(written, total))
                    throw Stopped();
            },
            [&](const Dataset::Row &row) { file.findColumns(row); });
    } catch (const Stopped &) {
        return -1; // the temporary file goes with file
    }
    if (progress && !progress(written, total))
        return -1;
    file.commit();
    return written;
}

qint64 writeListed(Connection &catalogue, const QString &target, const std::vector<ListedBook> &books,
                   const QStringList &extraHeader)
{
    savetarget::check(target, QStringLiteral("CSV文件"), catalogue.absolutePath());
    // The numbers go to the query as one JSON array, whose positions keep
    // the list's order; a number no book has finds no row.
    QByteArray numbers = "[";
    for (const ListedBook &book : books) {
        if (numbers.size() > 1)
            numbers += ',';
        numbers += QByteArray::number(book.number);
    }
    numbers += ']';
    Dataset listed(catalogue);
    listed.setCommandText(QStringLiteral("select listed.key as listed_at, book.* from json_each(?) as listed "
                                         "join book on book.book_id = listed.value order by listed.key"),
                          {QString::fromLatin1(numbers)});
    BookFile file(target, extraHeader);
    qint64 written = 0;
    listed.scan(
        [&](const Dataset::Row &row) {
            const FieldValue at = row.value(0);
            file.add(row, books[size_t(at.integer)].extra);
            ++written;
        },
        [&](const Dataset::Row &row) { file.findColumns(row); });
    file.commit();
    return written;
}

} // namespace bookexport
