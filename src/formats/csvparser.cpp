#include "csvparser.h"

#include "csvreader.h"
#include "textdecoder.h"

#include "store/connection.h"
#include "store/usererror.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// How many of each separator a record holds outside quotes; where the
// record after it starts.
struct SeparatorCount
{
    std::array<int, 3> counts{};
    qsizetype next = 0;
};

constexpr std::array<char16_t, 3> kSeparators{u',', u'\t', u';'};

SeparatorCount countSeparators(QStringView text, qsizetype from)
{
    SeparatorCount out;
    bool quoted = false;
    qsizetype i = from;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'"') {
            quoted = !quoted;
        } else if (!quoted && (c == u'\n' || c == u'\r')) {
            break;
        } else if (!quoted) {
            for (size_t k = 0; k < kSeparators.size(); ++k)
                if (c == kSeparators[k])
                    ++out.counts[k];
        }
    }
    while (i < text.size() && (text[i] == QLatin1Char('\n') || text[i] == QLatin1Char('\r')))
        ++i;
    out.next = i;
    return out;
}

} // namespace

QChar CsvParser::findSeparator(QStringView text)
{
    qsizetype headerStart = 0;
    while (headerStart < text.size() &&
           (text[headerStart] == QLatin1Char('\n') || text[headerStart] == QLatin1Char('\r')))
        ++headerStart;
    const SeparatorCount header = countSeparators(text, headerStart);
    const int most = *std::max_element(header.counts.begin(), header.counts.end());
    if (most == 0)
        return QLatin1Char(',');
    // A tie is settled by the record after the header: the separator it
    // holds as often as the header does.
    const SeparatorCount second = countSeparators(text, header.next);
    size_t chosen = kSeparators.size();
    for (size_t k = 0; k < kSeparators.size(); ++k) {
        if (header.counts[k] != most)
            continue;
        if (chosen == kSeparators.size() || second.counts[k] == most)
            chosen = k;
        if (second.counts[k] == most)
            break;
    }
    return QChar(kSeparators[chosen]);
}

void CsvParser::refuse(const QString &path, const QString &why)
{
    throw UserError(QStringLiteral("无法导入文件%1：%2").arg(describeFile(path), why));
}

CsvParser::CsvParser(CsvTable &table, DecodedText &decoded, const QString &path)
    : t(table)
    , m_path(path)
    , m_d(reinterpret_cast<char16_t *>(decoded.text.data()))
    , m_n(decoded.text.size())
    , m_sep(table.m_separator.unicode())
    , m_invalid(decoded.invalid)
{}

CsvTable CsvParser::split(DecodedText &decoded, QChar separator, const QByteArray &encoding, bool mark,
                          const QString &path)
{
    CsvTable table;
    table.m_encoding = encoding;
    table.m_mark = mark;
    table.m_separator = separator;
    CsvParser parser(table, decoded, path);
    // Room for every field and record there can be, so that the lists never
    // grow by copying; room never used is never taken from the system.
    qsizetype separators = 0, breaks = 0;
    for (qsizetype i = 0; i < parser.m_n; ++i) {
        separators += parser.m_d[i] == parser.m_sep;
        breaks += parser.m_d[i] == u'\n' || parser.m_d[i] == u'\r';
    }
    table.m_ends.reserve(size_t(separators + breaks + 1));
    table.m_firsts.reserve(size_t(breaks + 3));
    table.m_lines.reserve(size_t(breaks + 2));
    parser.run();
    decoded.text.resize(parser.m_w);
    decoded.text.squeeze();
    table.m_text = std::move(decoded.text);
    return table;
}

void CsvParser::keep(qsizetype from)
{
    if (m_w != from)
        std::memmove(m_d + m_w, m_d + from, size_t(m_r - from) * sizeof(char16_t));
    m_w += m_r - from;
}

void CsvParser::endField(bool quoted)
{
    t.m_ends.push_back(quint32(m_w) | (quoted ? CsvTable::kQuoted : 0));
}

void CsvParser::plainField()
{
    const qsizetype from = m_r;
    while (m_r < m_n) {
        const char16_t c = m_d[m_r];
        if (c == m_sep || c == u'\n' || c == u'\r')
            break;
        ++m_r;
    }
    keep(from);
}

void CsvParser::quotedField()
{
    const int opened = m_line;
    ++m_r;
    for (;;) {
        const qsizetype from = m_r;
        while (m_r < m_n && m_d[m_r] != u'"') {
            const char16_t c = m_d[m_r];
            if (c == u'\n' || (c == u'\r' && (m_r + 1 >= m_n || m_d[m_r + 1] != u'\n')))
                ++m_line;
            ++m_r;
        }
        keep(from);
        if (m_r >= m_n)
            refuse(m_path, QStringLiteral("第%1行开始的引号直到文件末尾也没有结束。").arg(opened));
        if (m_r + 1 < m_n && m_d[m_r + 1] == u'"') {
            m_d[m_w++] = u'"'; // a doubled quote stands for one
            m_r += 2;
            continue;
        }
        ++m_r;
        break;
    }
    // Text after the closing quote, up to the separator, is kept as it is.
    plainField();
}

void CsvParser::skipLineBreak()
{
    if (m_r < m_n && m_d[m_r] == u'\r')
        ++m_r;
    if (m_r < m_n && m_d[m_r] == u'\n')
        ++m_r;
    ++m_line;
}

void CsvParser::endRecord(int line)
{
    const int record = int(t.m_firsts.size()) - 2;
    const size_t first = t.m_firsts.back();
    CsvTable::Problem problem{record, 0, false};
    while (m_nextInvalid < m_invalid.size() && m_invalid[m_nextInvalid] < m_r) {
        problem.invalid = true;
        ++m_nextInvalid;
    }
    if (record < 0) {
        const size_t columns = t.m_ends.size() - first;
        if (columns > size_t(csvreader::kMostColumns))
            refuse(m_path, QStringLiteral("标题行有%1列，超过了%2列的上限。请检查分隔符是否正确。")
                               .arg(columns)
                               .arg(csvreader::kMostColumns));
    } else {
        // Empty fields at the end, past the header's, are separators left
        // by a spreadsheet; more fields than that are a fault of the record.
        const size_t columns = t.m_firsts[1] - t.m_firsts[0];
        auto emptyLast = [&] {
            const quint32 last = t.m_ends.back();
            return (last & CsvTable::kQuoted) == 0 && qsizetype(last) == t.fieldStart(quint32(t.m_ends.size() - 1));
        };
        while (t.m_ends.size() - first > columns && emptyLast())
            t.m_ends.pop_back();
        if (t.m_ends.size() - first > columns)
            problem.fields = int(t.m_ends.size() - first);
    }
    if (problem.invalid || problem.fields > 0)
        t.m_problems.push_back(problem);
    t.m_lines.push_back(line);
    t.m_firsts.push_back(quint32(t.m_ends.size()));
}

void CsvParser::run()
{
    t.m_firsts.push_back(0);
    while (m_r < m_n) {
        if (m_d[m_r] == u'\n' || m_d[m_r] == u'\r') {
            skipLineBreak(); // a blank line is no record
            continue;
        }
        const int line = m_line;
        for (;;) {
            if (m_r < m_n && m_d[m_r] == u'"') {
                quotedField();
                endField(true);
            } else {
                plainField();
                endField(false);
            }
            if (m_r < m_n && m_d[m_r] == m_sep) {
                ++m_r;
                continue;
            }
            break;
        }
        endRecord(line);
        if (m_r < m_n)
            skipLineBreak();
    }
}
