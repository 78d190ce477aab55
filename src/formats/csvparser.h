#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringView>

#include <vector>

class CsvTable;
struct DecodedText;

// Splits a file's decoded text into the records and fields of a table (see
// csvreader.h): in place, each field's text moved to the end of the one
// before it, its quotes undone, so that the table keeps the text once.
class CsvParser
{
public:
    // The separator the header holds most of outside quotes: comma, tab or
    // semicolon, a tie settled by the record after it; a comma when the
    // header holds none.
    static QChar findSeparator(QStringView text);

    // The table of the text, read in the encoding (whether a byte-order mark
    // told it) with the separator. Throws UserError naming the file for a
    // quote never closed and for a header of too many columns.
    static CsvTable split(DecodedText &decoded, QChar separator, const QByteArray &encoding, bool mark,
                          const QString &path);

    // Throws UserError: the file cannot be imported, and why.
    [[noreturn]] static void refuse(const QString &path, const QString &why);

private:
    CsvParser(CsvTable &table, DecodedText &decoded, const QString &path);

    void run();
    void plainField();
    void quotedField();
    // Moves text[from, r) to the write position.
    void keep(qsizetype from);
    void endField(bool quoted);
    void endRecord(int line);
    void skipLineBreak();

    CsvTable &t;
    const QString &m_path;
    char16_t *const m_d;
    const qsizetype m_n;
    const char16_t m_sep;
    const std::vector<qsizetype> &m_invalid;
    size_t m_nextInvalid = 0;
    qsizetype m_r = 0; // where the text is read
    qsizetype m_w = 0; // where the fields' texts are written
    int m_line = 1;
};
