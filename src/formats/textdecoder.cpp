#include "textdecoder.h"

#include "bytesource.h"
#include "textencoding.h"

#include <QStringDecoder>

namespace {

// Looks over characters just decoded: zero and control characters, white
// space, and the replacement characters of invalid bytes once the decoder
// has met any.
class Inspector
{
public:
    explicit Inspector(DecodedText &out)
        : m_out(out)
    {}

    // Looks at text[from, to), whose first character is the position-th of
    // the whole text. False at a zero character.
    bool look(qsizetype from, qsizetype to, qint64 position, bool invalidMet)
    {
        const char16_t *p = reinterpret_cast<const char16_t *>(m_out.text.constData());
        for (qsizetype i = from; i < to; ++i) {
            const char16_t c = p[i];
            if (c >= 0x20) {
                if (c == 0xFFFD && invalidMet && !m_lineInvalid) {
                    m_out.invalid.push_back(qsizetype(position + (i - from)));
                    m_lineInvalid = true;
                }
                if (m_out.blank && !QChar::isSpace(c))
                    m_out.blank = false;
                continue;
            }
            if (c == u'\n' || c == u'\r') {
                m_lineInvalid = false;
                continue;
            }
            if (c == 0)
                return false;
            if (c == 0x1A)
                m_out.blank = false;
            else if (c != u'\t' && c != u'\f' && c != u'\v')
                ++m_controls;
        }
        return true;
    }

    bool tooManyControls(qint64 length) const { return m_controls > 8 && m_controls * 1000 > length; }

private:
    DecodedText &m_out;
    bool m_lineInvalid = false;
    qint64 m_controls = 0;
};

} // namespace

void decodeText(const ByteSource &source, const QByteArray &encoding, qsizetype from, DecodedText &out,
                const TextTaker &take)
{
    // A byte-order mark was skipped already; one past it is text.
    QStringDecoder decoder(encoding.constData(), QStringDecoder::Flag::ConvertInitialBom);
    // No encoding makes more characters than bytes; the room for one more
    // block's worth lets every block be decoded in place. Pages never
    // written are never taken from the system, and the reader keeps moving
    // what it keeps to the front.
    const qsizetype room = qsizetype(source.size()) + 2 * ByteSource::kBlockSize + 16;
    out.text.reserve(room);
    out.text.resize(room);
    qsizetype end = 0;
    qint64 decoded = 0; // characters so far
    Inspector inspector(out);
    auto decode = [&](QByteArrayView block) {
        QChar *const begin = out.text.data();
        const qsizetype before = end;
        end = decoder.appendToBuffer(begin + end, block) - begin;
        if (!inspector.look(before, end, decoded, decoder.hasError())) {
            out.binary = true;
            return false;
        }
        decoded += end - before;
        return true;
    };
    qint64 at = 0;
    source.forEachBlock([&](QByteArrayView block) {
        const qint64 blockStart = at;
        at += block.size();
        if (at <= from)
            return true;
        if (!decode(block.sliced(qMax<qint64>(from - blockStart, 0))))
            return false;
        end = take(end, false);
        return true;
    });
    if (out.binary)
        return;
    if (textencoding::isAsciiCompatible(encoding)) {
        // A character that the last bytes began but never finished: a line
        // feed after it shows it as invalid, as a byte before any other would.
        decode("\n");
    } else if ((at - from) % 2 != 0) {
        // An odd byte left over at the end of UTF-16.
        out.text[end] = QChar(QChar::ReplacementCharacter);
        inspector.look(end, end + 1, decoded, true);
        ++end;
        ++decoded;
    }
    out.binary = out.binary || inspector.tooManyControls(decoded);
    if (!out.binary && !out.blank)
        end = take(end, true);
    out.text.resize(end);
}
