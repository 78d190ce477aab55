#include "textdecoder.h"

#include "bytesource.h"
#include "textencoding.h"

#include <QStringDecoder>

namespace {

// Looks over characters just decoded: zero and control characters, and the
// replacement characters of invalid bytes once the decoder has met any.
class Inspector
{
public:
    explicit Inspector(DecodedText &out)
        : m_out(out)
    {}

    // Looks at text[from, to). False at a zero character.
    bool look(qsizetype from, qsizetype to, bool invalidMet)
    {
        const char16_t *p = reinterpret_cast<const char16_t *>(m_out.text.constData());
        for (qsizetype i = from; i < to; ++i) {
            const char16_t c = p[i];
            if (c >= 0x20) {
                if (c == 0xFFFD && invalidMet && !m_lineInvalid) {
                    m_out.invalid.push_back(i);
                    m_lineInvalid = true;
                }
                continue;
            }
            if (c == u'\n' || c == u'\r')
                m_lineInvalid = false;
            else if (c == 0)
                return false;
            else if (c != u'\t' && c != u'\f' && c != u'\v' && c != 0x1A)
                ++m_controls;
        }
        return true;
    }

    bool tooManyControls(qsizetype length) const { return m_controls > 8 && m_controls * 1000 > length; }

private:
    DecodedText &m_out;
    bool m_lineInvalid = false;
    qsizetype m_controls = 0;
};

} // namespace

DecodedText decodeText(const ByteSource &source, const QByteArray &encoding, qsizetype from)
{
    DecodedText out;
    // A byte-order mark was skipped already; one past it is text.
    QStringDecoder decoder(encoding.constData(), QStringDecoder::Flag::ConvertInitialBom);
    const bool asciiCompatible = textencoding::isAsciiCompatible(encoding);
    // No encoding makes more characters than bytes; the room for one more
    // block's worth lets every block be decoded in place. Pages never
    // written are never taken from the system.
    const qsizetype room = qsizetype(source.size()) + 2 * ByteSource::kBlockSize + 16;
    out.text.reserve(room);
    out.text.resize(room);
    QChar *const begin = out.text.data();
    QChar *end = begin;
    Inspector inspector(out);
    qint64 at = 0;
    auto decode = [&](QByteArrayView block) {
        const qsizetype before = end - begin;
        end = decoder.appendToBuffer(end, block);
        if (!inspector.look(before, end - begin, decoder.hasError())) {
            out.binary = true;
            return false;
        }
        return true;
    };
    source.forEachBlock([&](QByteArrayView block) {
        const qint64 blockStart = at;
        at += block.size();
        if (blockStart + block.size() <= from)
            return true;
        return decode(block.sliced(qMax<qint64>(from - blockStart, 0)));
    });
    // A character that the last bytes began but never finished: a line feed
    // after it shows it as invalid, as a byte before any other would.
    if (!out.binary && asciiCompatible)
        decode("\n");
    else if (!out.binary && (at - from) % 2 != 0) {
        // An odd byte left over at the end of UTF-16.
        *end++ = QChar(QChar::ReplacementCharacter);
        inspector.look(end - begin - 1, end - begin, true);
    }
    out.binary = out.binary || inspector.tooManyControls(end - begin);
    out.text.resize(end - begin);
    return out;
}
