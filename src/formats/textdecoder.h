#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

class ByteSource;

// A file's text, decoded block by block into one string that is allocated
// once (the bytes are never held whole beside it).
struct DecodedText
{
    QString text;
    // Where bytes that are invalid in the encoding were read (each became
    // U+FFFD): the first such character of every line that has one, a line
    // being what lies between two line breaks (CR or LF), in order.
    std::vector<qsizetype> invalid;
    // A zero character, or more than a few control characters that text
    // never holds: no text file. Decoding stops at the first zero.
    bool binary = false;
};

// Decodes the source's bytes from the offset on, in the encoding (an id
// QStringDecoder accepts and has checked).
DecodedText decodeText(const ByteSource &source, const QByteArray &encoding, qsizetype from);
