#include "textorder.h"

#include <QStringEncoder>

#include <cstring>
#include <memory>

namespace textorder {
namespace {

// The GB18030 bytes of every character of the basic plane, taken from the
// encoder once, so that building keys is a table lookup per character.
// Each entry holds up to four bytes and their count.
struct Entry
{
    unsigned char bytes[4];
    unsigned char count;
};

class Table
{
public:
    Table()
    {
        QStringEncoder encoder("GB18030");
        m_valid = encoder.isValid();
        if (!m_valid)
            return;
        m_entries = std::make_unique<Entry[]>(0x10000);
        // One character at a time keeps the table exact; done once per run.
        for (char32_t c = 0; c < 0x10000; ++c) {
            Entry &e = m_entries[c];
            if (c >= 0xD800 && c < 0xE000) { // surrogates: handled in pairs
                e = {{0, 0, 0, 0}, 0};
                continue;
            }
            const QChar ch{char16_t(c)};
            const QByteArray bytes = encoder.encode(QStringView(&ch, 1));
            e.count = static_cast<unsigned char>(std::min<qsizetype>(bytes.size(), 4));
            std::memcpy(e.bytes, bytes.constData(), e.count);
        }
    }

    bool valid() const { return m_valid; }
    const Entry &operator[](char16_t c) const { return m_entries[c]; }

private:
    bool m_valid = false;
    std::unique_ptr<Entry[]> m_entries;
};

const Table &table()
{
    static const Table t;
    return t;
}

// Characters outside the basic plane map linearly onto four-byte codes
// starting at 0x90308130.
void appendSupplementary(char32_t code, QByteArray &out)
{
    const quint32 offset = code - 0x10000;
    const char bytes[4] = {char(0x90 + offset / 12600), char(0x30 + (offset / 1260) % 10),
                           char(0x81 + (offset / 10) % 126), char(0x30 + offset % 10)};
    out.append(bytes, 4);
}

} // namespace

bool available()
{
    static const bool ok = QStringEncoder("GB18030").isValid();
    return ok;
}

void appendKey(QStringView text, QByteArray &out)
{
    const Table &t = table();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            out.append(char(c >= 'a' && c <= 'z' ? c - ('a' - 'A') : c));
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) {
            appendSupplementary(QChar::surrogateToUcs4(c, text[i + 1].unicode()), out);
            ++i;
            continue;
        }
        if (!t.valid())
            continue;
        const Entry &e = t[c];
        out.append(reinterpret_cast<const char *>(e.bytes), e.count);
    }
}

QByteArray key(QStringView text)
{
    QByteArray out;
    out.reserve(text.size() * 2);
    appendKey(text, out);
    return out;
}

int compareKeys(const char *a, qsizetype lengthA, const char *b, qsizetype lengthB)
{
    const qsizetype common = std::min(lengthA, lengthB);
    const int byBytes = common ? std::memcmp(a, b, size_t(common)) : 0;
    if (byBytes != 0)
        return byBytes;
    return lengthA < lengthB ? -1 : (lengthA > lengthB ? 1 : 0);
}

int compare(QStringView a, QStringView b)
{
    return compareKeys(key(a), key(b));
}

} // namespace textorder
