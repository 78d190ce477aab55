#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Comma-separated values as RFC 4180 writes them, in UTF-8: a field that
// holds a comma, a quote or a line break is quoted and its quotes doubled;
// every record ends with CR LF. No value and an empty text stay apart: no
// value is written as nothing, an empty text as "" (the reader keeps the two
// apart the same way).
class CsvWriter
{
public:
    // The bytes go to the end of out; the caller empties it when it likes.
    explicit CsvWriter(QByteArray &out)
        : m_out(out)
    {}

    // The UTF-8 byte-order mark, so that spreadsheets read the file as UTF-8.
    void byteOrderMark();
    // One field holding a text (UTF-8).
    void text(QByteArrayView utf8);
    // One field holding no value.
    void none();
    void endRecord();

private:
    void separate();

    QByteArray &m_out;
    bool m_first = true;
};
