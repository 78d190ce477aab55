#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <vector>

// A table read from a file of comma-separated values: the header (the first
// record that is not blank) and the records after it, every field as text.
//
// The file's encoding is found from its bytes: UTF-8 with or without a
// byte-order mark, otherwise GB18030. The field separator is whichever of
// comma, tab and semicolon the header holds most of (outside quotes).
// Records end with CR LF, LF or CR; a quoted field may hold separators,
// line breaks and doubled quotes (RFC 4180). Readers of the table can tell
// an empty field ("a,,b") from a quoted empty one ("a,"",b").
class CsvTable
{
public:
    enum class Encoding { Utf8, Utf8WithMark, Gb18030 };

    Encoding encoding() const { return m_encoding; }
    QChar separator() const { return m_separator; }
    // The encoding and the separator in words ("UTF-8", "逗号").
    QString encodingName() const;
    QString separatorName() const;

    int columnCount() const { return fieldCount(-1); }
    QStringView header(int column) const { return field(-1, column); }

    // The records after the header; -1 stands for the header itself.
    int recordCount() const { return int(m_starts.size()) - 2; }
    int fieldCount(int record) const;
    // A field of a record; an empty view past the record's last field.
    QStringView field(int record, int column) const;
    bool isQuoted(int record, int column) const;
    // Whether every field of the record is empty and none is quoted.
    bool isBlank(int record) const;
    // The line of the file the record starts on, from 1.
    int line(int record) const { return m_lines[size_t(record + 1)]; }

private:
    friend class CsvParser;

    struct Field
    {
        qsizetype offset = 0; // in m_text, or in m_unquoted when unquoted is set
        int length = 0;
        bool quoted = false;
        bool unquoted = false; // its doubled quotes were undone into m_unquoted
    };

    Encoding m_encoding = Encoding::Utf8;
    QChar m_separator = QLatin1Char(',');
    QString m_text;     // the file's text
    QString m_unquoted; // fields whose doubled quotes were made single
    std::vector<Field> m_fields;
    std::vector<qsizetype> m_starts; // each record's first field, the header first, then the end
    std::vector<int> m_lines;
};

namespace csvreader {

// Reads the file. Throws UserError naming the file when it cannot be read,
// is empty, is no text (a binary file, UTF-16), is not valid in its
// encoding, holds a quote that is never closed, or has a record with more
// fields than the header (empty fields at a record's end do not count).
CsvTable readFile(const QString &path);
// The same for bytes read already; path names the file in messages.
CsvTable parse(const QByteArray &bytes, const QString &path);

} // namespace csvreader
