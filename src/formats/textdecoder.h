#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

class ByteSource;

// A file's text as it is decoded block by block into one string that is
// allocated once, for a reader that takes each block's text as it comes and
// may keep less of it than it was given (the bytes are never held whole,
// and the text never beside its compacted form).
struct DecodedText
{
    // The text not yet taken, from the start of the reader's own part.
    QString text;
    // Where bytes that are invalid in the encoding were read (each became
    // U+FFFD), counted in characters of the whole text: the first such
    // character of every line that has one, a line being what lies between
    // two line breaks (CR or LF), in order.
    std::vector<qsizetype> invalid;
    // A zero character, or more than a few control characters that text
    // never holds: no text file. Decoding stops at the first zero.
    bool binary = false;
    // Nothing but white space.
    bool blank = true;
};

// Takes the text decoded so far: text[0, end) holds it, the last call
// after the last block. Returns where the next block's text is to go: end,
// or less where the reader moved the text it has yet to read down over what
// it no longer needs.
using TextTaker = std::function<qsizetype(qsizetype end, bool last)>;

// Decodes the source's bytes from the offset on, in the encoding (an id
// QStringDecoder accepts and has checked), handing the text to take after
// every block. The last call is left out for a binary or blank text.
void decodeText(const ByteSource &source, const QByteArray &encoding, qsizetype from, DecodedText &out,
                const TextTaker &take);
