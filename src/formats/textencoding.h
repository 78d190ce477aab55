#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <vector>

// The encodings of text files the program reads: their names, the ones a
// user may choose, and finding a file's encoding from its bytes.
//
// An encoding is named by its id, a name QStringDecoder accepts ("UTF-8",
// "GB18030", "windows-1252", "UTF-16LE", ...).
namespace textencoding {

// An encoding a user may choose, with its caption ("Windows-1252（西欧）").
struct Choice
{
    QByteArray id;
    QString caption;
};
const std::vector<Choice> &choices();

// The encoding a typed name stands for, case and punctuation aside ("utf8",
// "GBK", "cp1252", "latin1", "Shift-JIS", or any name the decoder knows);
// empty when there is none.
QByteArray fromName(QStringView name);

// The caption of an encoding: the choice's, otherwise the id itself.
QString caption(const QByteArray &id);

// Whether the encoding writes ASCII as ASCII bytes (not UTF-16 or UTF-32).
bool isAsciiCompatible(const QByteArray &id);

// A byte-order mark at the start of a file: the encoding it stands for and
// its length; an empty id and 0 when there is none.
struct Mark
{
    QByteArray id;
    int length = 0;
};
Mark markAt(QByteArrayView start);

// Finds the encoding of a file without a byte-order mark from every block of
// it, in order: UTF-8 when it is valid UTF-8, or holds many good multi-byte
// characters beside a few invalid bytes (a damaged UTF-8 file); otherwise a
// guess from a sample of the lines that hold bytes past ASCII: Big5 or
// Shift_JIS when the detector names them and they read well, GB18030 when
// the bytes pair up as common Chinese characters do (or the detector names
// it and it reads well), otherwise Windows-1252, the Western encoding of
// Windows, which reads ISO-8859-1 text the same.
class Sniffer
{
public:
    void feed(QByteArrayView block);
    // Whether a block held a zero byte: no text in an encoding found here.
    bool sawZero() const { return m_zero; }
    // The encoding, after the last block.
    QByteArray encoding() const;

private:
    void checkUtf8(const unsigned char *p, qsizetype n);
    void sample(QByteArrayView block);

    // UTF-8: bytes that start no valid character, valid characters of two
    // bytes or more, and the character a block's end cut.
    qint64 m_bad = 0;
    qint64 m_multiByte = 0;
    int m_need = 0;  // continuation bytes still to come
    int m_taken = 0; // continuation bytes of it seen so far
    unsigned char m_low = 0x80, m_high = 0xBF;
    bool m_zero = false;
    // Lines that hold bytes past ASCII, up to a limit; the line being read.
    QByteArray m_sample;
    QByteArray m_line;
    bool m_lineHigh = false;
};

} // namespace textencoding
