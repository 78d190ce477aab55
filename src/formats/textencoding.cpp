#include "textencoding.h"

#include <QStringDecoder>

#include <uchardet.h>

#include <algorithm>
#include <cstring>

namespace textencoding {

namespace {

// The sample of lines that the guess reads, and the most of one line in it.
constexpr qsizetype kSampleLimit = qsizetype(1) << 20;
constexpr qsizetype kLineLimit = qsizetype(1) << 16;

// Typed names and what they stand for, written without case and punctuation.
struct Alias
{
    const char *typed;
    const char *id;
};
constexpr Alias kAliases[] = {
    {"utf8", "UTF-8"},          {"gb18030", "GB18030"},     {"gbk", "GB18030"},
    {"gb2312", "GB18030"},      {"cp936", "GB18030"},       {"euccn", "GB18030"},
    {"big5", "Big5"},           {"cp950", "Big5"},          {"windows1252", "windows-1252"},
    {"cp1252", "windows-1252"}, {"iso88591", "ISO-8859-1"}, {"latin1", "ISO-8859-1"},
    {"utf16le", "UTF-16LE"},    {"utf16be", "UTF-16BE"},    {"utf16", "UTF-16"},
    {"unicode", "UTF-16"},      {"shiftjis", "Shift_JIS"},  {"sjis", "Shift_JIS"},
    {"cp932", "Shift_JIS"},
};

QByteArray squeezed(QStringView name)
{
    QByteArray out;
    for (const QChar c : name)
        if (c.isLetterOrNumber())
            out.append(char(c.toLower().toLatin1()));
    return out;
}

// The detector's name for a guess, as the id of the encoding it means.
QByteArray detectorGuess(QByteArrayView sample)
{
    uchardet_t detector = uchardet_new();
    if (detector == nullptr)
        return QByteArray();
    uchardet_handle_data(detector, sample.data(), size_t(sample.size()));
    uchardet_data_end(detector);
    const QByteArray said = QByteArray(uchardet_get_charset(detector)).toUpper();
    uchardet_delete(detector);
    if (said == "BIG5")
        return "Big5";
    if (said == "SHIFT_JIS")
        return "Shift_JIS";
    if (said == "GB18030" || said == "GB2312" || said == "GBK")
        return "GB18030";
    return said;
}

// Whether the sample reads in the encoding with hardly a byte it cannot read.
bool readsWell(QByteArrayView sample, const QByteArray &id)
{
    QStringDecoder decoder(id.constData());
    if (!decoder.isValid())
        return false;
    const QString text = decoder.decode(sample);
    qsizetype beyondAscii = 0, replaced = 0;
    for (const QChar c : text) {
        beyondAscii += c.unicode() >= 0x80;
        replaced += c.unicode() == 0xFFFD;
    }
    return beyondAscii > 0 && replaced * 50 <= beyondAscii;
}

// Whether the bytes past ASCII pair up as Chinese text in GB18030 does: most
// of them characters of the common two-byte area (both bytes 0xA1 and up),
// or of four bytes. Western text in a one-byte encoding has a letter past
// ASCII mostly alone between ASCII letters, which GB18030 would read as a
// rare character of the extended area.
bool looksLikeGb18030(QByteArrayView sample)
{
    const auto *p = reinterpret_cast<const unsigned char *>(sample.data());
    const qsizetype n = sample.size();
    auto lead = [](unsigned char b) { return b >= 0x81 && b <= 0xFE; };
    auto digit = [](unsigned char b) { return b >= 0x30 && b <= 0x39; };
    qsizetype common = 0, other = 0;
    for (qsizetype i = 0; i < n;) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        if (lead(b) && i + 3 < n && digit(p[i + 1]) && lead(p[i + 2]) && digit(p[i + 3])) {
            ++common;
            i += 4;
        } else if (lead(b) && i + 1 < n && p[i + 1] >= 0x40 && p[i + 1] != 0x7F && p[i + 1] != 0xFF) {
            if (b >= 0xA1 && b <= 0xF7 && p[i + 1] >= 0xA1)
                ++common;
            else
                ++other;
            i += 2;
        } else {
            ++other;
            ++i;
        }
    }
    return common > 0 && common >= 3 * other;
}

} // namespace

const std::vector<Choice> &choices()
{
    static const std::vector<Choice> list{
        {"UTF-8", QStringLiteral("UTF-8")},
        {"GB18030", QStringLiteral("GB18030")},
        {"Big5", QStringLiteral("Big5（繁体中文）")},
        {"windows-1252", QStringLiteral("Windows-1252（西欧）")},
        {"ISO-8859-1", QStringLiteral("ISO-8859-1（西欧）")},
        {"UTF-16LE", QStringLiteral("UTF-16LE")},
        {"UTF-16BE", QStringLiteral("UTF-16BE")},
        {"Shift_JIS", QStringLiteral("Shift_JIS（日文）")},
    };
    return list;
}

QByteArray fromName(QStringView name)
{
    const QByteArray typed = squeezed(name);
    if (typed.isEmpty())
        return QByteArray();
    for (const Alias &alias : kAliases)
        if (typed == alias.typed)
            return alias.id;
    const QByteArray asGiven = name.trimmed().toLatin1();
    QStringDecoder decoder(asGiven.constData());
    return decoder.isValid() ? QByteArray(decoder.name()) : QByteArray();
}

QString caption(const QByteArray &id)
{
    for (const Choice &choice : choices())
        if (choice.id == id)
            return choice.caption;
    return QString::fromLatin1(id);
}

bool isAsciiCompatible(const QByteArray &id)
{
    return !id.toUpper().startsWith("UTF-16") && !id.toUpper().startsWith("UTF-32");
}

Mark markAt(QByteArrayView start)
{
    if (start.startsWith("\xEF\xBB\xBF"))
        return {"UTF-8", 3};
    if (start.startsWith(QByteArrayView("\xFF\xFE\0\0", 4)))
        return {"UTF-32LE", 4};
    if (start.startsWith(QByteArrayView("\0\0\xFE\xFF", 4)))
        return {"UTF-32BE", 4};
    if (start.startsWith("\xFF\xFE"))
        return {"UTF-16LE", 2};
    if (start.startsWith("\xFE\xFF"))
        return {"UTF-16BE", 2};
    return {};
}

void Sniffer::feed(QByteArrayView block)
{
    const auto *p = reinterpret_cast<const unsigned char *>(block.data());
    if (std::memchr(p, 0, size_t(block.size())) != nullptr)
        m_zero = true;
    checkUtf8(p, block.size());
    if (m_sample.size() < kSampleLimit)
        sample(block);
}

// Checks UTF-8 strictly (no overlong forms, no surrogates, nothing past
// U+10FFFF), a character cut by a block's end carried over to the next.
void Sniffer::checkUtf8(const unsigned char *p, qsizetype n)
{
    for (qsizetype i = 0; i < n;) {
        if (m_need == 0) {
            // Runs of ASCII, eight bytes at a time.
            quint64 eight = 0;
            while (i + 8 <= n && (std::memcpy(&eight, p + i, 8), (eight & 0x8080808080808080ULL) == 0))
                i += 8;
            if (i >= n)
                break;
            const unsigned char b = p[i++];
            if (b < 0x80)
                continue;
            m_taken = 0;
            m_low = 0x80;
            m_high = 0xBF;
            if (b >= 0xC2 && b <= 0xDF) {
                m_need = 1;
            } else if (b >= 0xE0 && b <= 0xEF) {
                m_need = 2;
                m_low = b == 0xE0 ? 0xA0 : 0x80;
                m_high = b == 0xED ? 0x9F : 0xBF;
            } else if (b >= 0xF0 && b <= 0xF4) {
                m_need = 3;
                m_low = b == 0xF0 ? 0x90 : 0x80;
                m_high = b == 0xF4 ? 0x8F : 0xBF;
            } else {
                ++m_bad;
            }
            continue;
        }
        const unsigned char b = p[i];
        if (b >= m_low && b <= m_high) {
            ++i;
            ++m_taken;
            m_low = 0x80;
            m_high = 0xBF;
            if (--m_need == 0)
                ++m_multiByte;
            continue;
        }
        // The character breaks off: its lead and the continuation bytes
        // taken start none; b is read again as the start of the next.
        m_bad += 1 + m_taken;
        m_need = 0;
    }
}

void Sniffer::sample(QByteArrayView block)
{
    for (qsizetype from = 0; from < block.size() && m_sample.size() < kSampleLimit;) {
        const qsizetype lineFeed = block.indexOf('\n', from);
        const qsizetype end = lineFeed < 0 ? block.size() : lineFeed + 1;
        const QByteArrayView part = block.sliced(from, end - from);
        m_line.append(part.first(qMin(part.size(), kLineLimit - m_line.size())));
        m_lineHigh = m_lineHigh || std::any_of(part.begin(), part.end(), [](char c) { return c & 0x80; });
        if (lineFeed < 0)
            return;
        if (m_lineHigh)
            m_sample.append(m_line);
        m_line.resize(0);
        m_lineHigh = false;
        from = end;
    }
}

QByteArray Sniffer::encoding() const
{
    const qint64 bad = m_bad + (m_need > 0 ? 1 + m_taken : 0);
    if (bad == 0 || m_multiByte >= 8 * bad)
        return "UTF-8";
    QByteArray sample = m_sample;
    if (m_lineHigh && sample.size() < kSampleLimit)
        sample.append(m_line);
    const QByteArray said = detectorGuess(sample);
    if ((said == "Big5" || said == "Shift_JIS") && readsWell(sample, said))
        return said;
    if (looksLikeGb18030(sample) || (said == "GB18030" && readsWell(sample, said)))
        return "GB18030";
    // Western text: Windows-1252 reads every ISO-8859-1 file the same, but
    // for the control characters 0x80..0x9F that no text holds, and reads
    // those bytes as the letters and quotes that Windows programs write.
    return "windows-1252";
}

} // namespace textencoding
