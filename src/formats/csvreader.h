#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringView>

#include "textencoding.h"

#include <vector>

// A table read from a file of comma-separated values: the header (the first
// record that is not blank) and the records after it, every field as text.
//
// The file's encoding is found from its bytes (see textencoding.h): a
// byte-order mark (UTF-8, UTF-16), otherwise UTF-8 when the bytes are UTF-8,
// otherwise a guess (GB18030, Big5, Shift_JIS, Windows-1252, ...). The field
// separator is whichever of comma, tab and semicolon the header holds most
// of (outside quotes), a tie settled by the record after it. Records end
// with CR LF, LF or CR; a quoted field may hold separators, line breaks and
// doubled quotes (RFC 4180). Readers of the table can tell an empty field
// ("a,,b") from a quoted empty one ("a,"",b"). A Ctrl-Z (0x1A) at the very
// end, as old programs wrote it, ends the file.
//
// A record that is wrong in itself is kept, with what is wrong with it (see
// problem()): more fields than the header, or bytes that are invalid in the
// file's encoding. The whole file is refused only when it is no table.
class CsvTable
{
public:
    // The encoding as QStringDecoder names it ("UTF-8", "GB18030",
    // "windows-1252", "UTF-16LE", ...), and whether a byte-order mark told it.
    QByteArray encodingId() const { return m_encoding; }
    bool hasByteOrderMark() const { return m_mark; }
    QChar separator() const { return m_separator; }
    // The encoding and the separator in words ("UTF-8", "GB18030",
    // "Windows-1252（西欧）", "UTF-8（带字节顺序标记）"; "逗号", "制表符").
    QString encodingName() const;
    QString separatorName() const;

    int columnCount() const { return fieldCount(-1); }
    QStringView header(int column) const { return field(-1, column); }

    // The records after the header; -1 stands for the header itself.
    int recordCount() const { return int(m_firsts.size()) - 2; }
    int fieldCount(int record) const;
    // A field of a record; an empty view past the record's last field.
    QStringView field(int record, int column) const;
    bool isQuoted(int record, int column) const;
    // Whether every field of the record is empty and none is quoted.
    bool isBlank(int record) const;
    // The line of the file the record starts on, from 1.
    int line(int record) const { return m_lines[size_t(record + 1)]; }
    // What is wrong with the record in words ("有21个字段，比标题行的20个多";
    // "含有不是有效UTF-8编码的字节"), empty when nothing is. A record with more
    // fields than the header keeps them all.
    QString problem(int record) const;
    // How many records (the header aside) have a problem.
    int problemCount() const;

private:
    friend class CsvParser;

    static constexpr quint32 kQuoted = 0x80000000u;
    static constexpr quint32 kOffset = 0x7FFFFFFFu;

    struct Problem
    {
        int record = 0;
        int fields = 0;       // more fields than the header: how many; else 0
        bool invalid = false; // bytes invalid in the encoding
    };

    quint32 fieldIndex(int record, int column) const { return m_firsts[size_t(record + 1)] + quint32(column); }
    qsizetype fieldStart(quint32 index) const { return index == 0 ? 0 : qsizetype(m_ends[index - 1] & kOffset); }

    QByteArray m_encoding = "UTF-8";
    bool m_mark = false;
    QChar m_separator = QLatin1Char(',');
    // The fields' texts one after the other, quotes undone, nothing between.
    QString m_text;
    // Each field's end in m_text, kQuoted set when it was quoted; a field
    // starts where the one before it ends.
    std::vector<quint32> m_ends;
    // Each record's first field, the header first, then the end.
    std::vector<quint32> m_firsts;
    std::vector<int> m_lines;
    std::vector<Problem> m_problems; // in the order of the records
};

// How a file is to be read: what the reader would otherwise find itself.
struct CsvOptions
{
    QByteArray encoding; // an id (see csvreader::encodingChoices); empty: found from the bytes
    QChar separator;     // null: found from the header
};

// An encoding a user may choose: its id and its caption.
using CsvEncodingChoice = textencoding::Choice;

// A separator a user may choose, with its caption.
struct CsvSeparatorChoice
{
    QChar separator;
    QString caption;
};

namespace csvreader {

// Reads the file. Throws UserError naming the file when it cannot be read,
// is missing, is no regular file (a folder, a pipe, a device), is larger
// than 1 GB, is empty, is no text (a binary file), holds a quote that is
// never closed, or has a header of more than kMostColumns columns; or when
// the options name an encoding or a separator that cannot be used.
CsvTable readFile(const QString &path, const CsvOptions &options = {});
// The same for bytes read already; path names the file in messages.
CsvTable parse(const QByteArray &bytes, const QString &path, const CsvOptions &options = {});

// The most columns a header may have.
constexpr int kMostColumns = 2000;

// The encodings and separators a user may choose, in the order to offer them.
std::vector<CsvEncodingChoice> encodingChoices();
std::vector<CsvSeparatorChoice> separatorChoices();
// The encoding a name typed on the command line stands for ("gb18030",
// "UTF8", "cp1252", "latin1", "gbk"; any case); empty when none.
QByteArray encodingFromName(QStringView name);

} // namespace csvreader
