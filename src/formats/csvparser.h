#pragma once

#include "csvreader.h"

#include <QByteArray>
#include <QChar>
#include <QString>

#include <vector>

struct DecodedText;

// Splits a file's text into the records and fields of a table (see
// csvreader.h) as it is decoded, block by block: each field's text is moved
// to the end of the one before it, its quotes undone, so that the table
// keeps the text once and never more of it than it keeps in the end. It can
// stop anywhere, in the middle of a field or a line break, and go on with
// the next block.
class CsvParser
{
public:
    // Reads the decoded text of a file of that many bytes with the
    // separator; a null one is found from the header: the one of comma, tab
    // and semicolon it holds most of outside quotes, a tie settled by the
    // record after it, a comma when it holds none.
    CsvParser(DecodedText &decoded, qint64 bytes, QChar separator, const QString &path);

    // Takes the text decoded so far (see TextTaker). Throws UserError naming
    // the file for a quote never closed and for a header of too many columns.
    qsizetype take(qsizetype end, bool last);

    // Whether a record was found: the header.
    bool hasHeader() const { return m_table.m_firsts.size() > 1; }
    // The table, read in the encoding (whether a byte-order mark told it).
    CsvTable table(const QByteArray &encoding, bool mark);

    // Throws UserError: the file cannot be imported, and why.
    [[noreturn]] static void refuse(const QString &path, const QString &why);

private:
    enum class State : unsigned char {
        LineStart,  // between records
        FieldStart, // at a field's first character
        Plain,      // in a field that is not quoted, or after a closing quote
        Quoted,     // between the quotes of a quoted field
        QuoteSeen,  // after a quote in a quoted field: closing, or the first of two
    };

    bool findSeparator(qsizetype end, bool last);
    void makeRoom();
    void run(qsizetype stop);
    void finishText();
    // Moves text[from, m_r) to the write position.
    void keep(qsizetype from);
    void endField();
    void endRecord();

    CsvTable m_table;
    DecodedText &m_decoded;
    const qint64 m_bytes;
    const QString &m_path;
    bool m_roomMade = false;
    char16_t *m_d = nullptr;
    char16_t m_sep = 0;
    State m_state = State::LineStart;
    bool m_quoted = false;  // the field being read began with a quote
    char16_t m_quoteChar = u'"'; // the quote of the field being read
    bool m_afterCr = false; // the character before was a CR: an LF after it is the same line break
    int m_line = 1;
    int m_recordLine = 1;
    int m_quoteLine = 1; // where the open quote began
    qsizetype m_r = 0;   // where the text is read
    qsizetype m_w = 0;   // where the fields' texts are written
    qint64 m_shift = 0;  // the position in the whole text of m_r, less m_r
    size_t m_nextInvalid = 0;
};
