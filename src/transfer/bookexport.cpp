#include "bookexport.h"

#include "bookcolumns.h"
#include "formats/csvwriter.h"
#include "store/bookfields.h"
#include "store/codes.h"
#include "store/dataset.h"
#include "store/usererror.h"
#include "store/wholefile.h"

#include <QFileInfo>

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
        // Dates too: as stored, the ISO text.
        out.text(value.textBytes());
        return;
    }
}

} // namespace

QStringList header()
{
    QStringList names;
    for (int c = 0; c < bookcolumns::kColumnCount; ++c)
        names << bookfields::caption(bookcolumns::columnName(c));
    return names;
}

qint64 write(const QString &dataFile, const QString &target, const Progress &progress)
{
    // The file written in place of the catalogue would end it.
    const QFileInfo file(target);
    if (file.exists() && file.canonicalFilePath() == QFileInfo(dataFile).canonicalFilePath())
        throw UserError(QStringLiteral("不能把CSV文件保存为正在使用的数据文件%1本身，请另选一个文件名。")
                            .arg(describeFile(file.absoluteFilePath())));
    Dataset books(dataFile);
    qint64 total = 0;
    {
        ScopedClose closing(books);
        books.setCommandText(QStringLiteral("select count(*) from book"));
        books.open();
        total = books.fieldText(0).toLongLong();
    }

    WholeFile out(target);
    QByteArray buffer;
    buffer.reserve(kBlock + 64 * 1024);
    CsvWriter csv(buffer);
    csv.byteOrderMark();
    for (const QString &name : header())
        csv.text(name.toUtf8());
    csv.endRecord();

    std::array<int, bookcolumns::kColumnCount> index{};
    qint64 written = 0;
    books.setCommandText(QStringLiteral("select * from book order by book_id"));
    try {
        books.scan(
            [&](const Dataset::Row &row) {
                for (int c = 0; c < bookcolumns::kColumnCount; ++c)
                    writeValue(csv, bookcolumns::kind(c), row.value(index[size_t(c)]));
                csv.endRecord();
                if (buffer.size() >= kBlock) {
                    out.write(buffer.constData(), buffer.size());
                    buffer.resize(0); // the capacity is kept
                }
                if (++written % kProgressEvery == 0 && progress && !progress(written, total))
                    throw Stopped();
            },
            [&](const Dataset::Row &row) {
                for (int c = 0; c < bookcolumns::kColumnCount; ++c)
                    index[size_t(c)] = row.fieldIndex(bookcolumns::columnName(c));
            });
    } catch (const Stopped &) {
        return -1; // the temporary file goes with out
    }
    if (progress && !progress(written, total))
        return -1;
    out.write(buffer.constData(), buffer.size());
    out.commit();
    return written;
}

} // namespace bookexport
