#include "csvparser.h"

#include "textdecoder.h"

#include "store/connection.h"
#include "store/usererror.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

constexpr std::array<char16_t, 3> kSeparators{u',', u'\t', u';'};

bool isLineBreak(char16_t c)
{
    return c == u'\n' || c == u'\r';
}

// How many of each separator a record holds outside quotes, whether it
// ends (with a line break) before the end of the text, and where the record
// after it starts.
struct SeparatorCount
{
    std::array<int, 3> counts{};
    bool whole = false;
    qsizetype next = 0;
};

SeparatorCount countSeparators(const char16_t *text, qsizetype from, qsizetype end)
{
    SeparatorCount out;
    bool quoted = false;
    qsizetype i = from;
    for (; i < end; ++i) {
        const char16_t c = text[i];
        if (c == u'"') {
            quoted = !quoted;
        } else if (!quoted && isLineBreak(c)) {
            out.whole = true;
            break;
        } else if (!quoted) {
            for (size_t k = 0; k < kSeparators.size(); ++k)
                if (c == kSeparators[k])
                    ++out.counts[k];
        }
    }
    while (i < end && isLineBreak(text[i]))
        ++i;
    out.next = i;
    return out;
}

} // namespace

CsvParser::CsvParser(DecodedText &decoded, qint64 bytes, QChar separator, const QString &path)
    : m_decoded(decoded)
    , m_bytes(bytes)
    , m_path(path)
    , m_sep(separator.unicode())
{
    m_table.m_firsts.push_back(0);
}

void CsvParser::refuse(const QString &path, const QString &why)
{
    throw UserError(QStringLiteral("无法导入文件%1：%2").arg(describeFile(path), why));
}

bool CsvParser::findSeparator(qsizetype end, bool last)
{
    qsizetype headerStart = m_r;
    while (headerStart < end && isLineBreak(m_d[headerStart]))
        ++headerStart;
    const SeparatorCount header = countSeparators(m_d, headerStart, end);
    if (!header.whole && !last)
        return false;
    const SeparatorCount second = countSeparators(m_d, header.next, end);
    if (!second.whole && !last)
        return false;
    const int most = *std::max_element(header.counts.begin(), header.counts.end());
    m_sep = u',';
    if (most == 0)
        return true;
    // A tie is settled by the record after the header: the separator it
    // holds as often as the header does.
    size_t chosen = kSeparators.size();
    for (size_t k = 0; k < kSeparators.size(); ++k) {
        if (header.counts[k] != most)
            continue;
        if (chosen == kSeparators.size() || second.counts[k] == most)
            chosen = k;
        if (second.counts[k] == most)
            break;
    }
    m_sep = kSeparators[chosen];
    return true;
}

// Room for the fields and records that the whole file will have, as many
// as the text read so far suggests, so that the lists do not grow by
// copying near the end; room never used is never taken from the system.
void CsvParser::makeRoom()
{
    m_roomMade = true;
    const qint64 read = m_r + m_shift;
    if (read == 0 || m_table.m_ends.empty())
        return;
    // No file has more characters than bytes.
    const double scale = 1.1 * double(m_bytes) / double(read);
    m_table.m_ends.reserve(size_t(double(m_table.m_ends.size()) * scale) + 64);
    m_table.m_firsts.reserve(size_t(double(m_table.m_firsts.size()) * scale) + 64);
    m_table.m_lines.reserve(size_t(double(m_table.m_lines.size()) * scale) + 64);
}

qsizetype CsvParser::take(qsizetype end, bool last)
{
    m_d = reinterpret_cast<char16_t *>(m_decoded.text.data());
    if (m_sep == 0 && !findSeparator(end, last))
        return end; // the header and the record after it are not whole yet
    // Old programs ended a text file with a Ctrl-Z (0x1A): it and the line
    // breaks after it are no part of the table. At the end of what came so
    // far it may be that mark: it waits for what follows.
    qsizetype stop = end;
    bool mark = false;
    while (stop > m_r && (isLineBreak(m_d[stop - 1]) || m_d[stop - 1] == 0x1A)) {
        mark = mark || m_d[stop - 1] == 0x1A;
        --stop;
    }
    if (last && mark) {
        stop = end;
        while (stop > m_r && isLineBreak(m_d[stop - 1]))
            --stop;
        while (stop > m_r && m_d[stop - 1] == 0x1A)
            --stop;
    } else if (last || !mark) {
        stop = end;
    }
    run(stop);
    if (last) {
        finishText();
        return m_w;
    }
    if (!m_roomMade)
        makeRoom();
    // What is left to read moves down to where the fields' texts end.
    const qsizetype rest = end - m_r;
    if (m_r != m_w) {
        std::memmove(m_d + m_w, m_d + m_r, size_t(rest) * sizeof(char16_t));
        m_shift += m_r - m_w;
        m_r = m_w;
    }
    return m_w + rest;
}

void CsvParser::keep(qsizetype from)
{
    if (m_w != from)
        std::memmove(m_d + m_w, m_d + from, size_t(m_r - from) * sizeof(char16_t));
    m_w += m_r - from;
    if (m_r != from)
        m_afterCr = false;
}

void CsvParser::run(qsizetype stop)
{
    while (m_r < stop) {
        switch (m_state) {
        case State::LineStart: {
            const char16_t c = m_d[m_r];
            if (c == u'\r' || (c == u'\n' && !m_afterCr))
                ++m_line; // a blank line is no record
            if (isLineBreak(c)) {
                m_afterCr = c == u'\r';
                ++m_r;
                continue;
            }
            m_recordLine = m_line;
            m_afterCr = false;
            m_state = State::FieldStart;
            continue;
        }
        case State::FieldStart:
            // The header of a catalogue's older export quotes its names with
            // ' ('AUTHOR (last, first)'); its records, and every other
            // file, quote with ".
            m_quoteChar = m_d[m_r] == u'\'' && m_table.m_firsts.size() == 1 ? u'\'' : u'"';
            m_quoted = m_d[m_r] == m_quoteChar;
            if (m_quoted) {
                m_quoteLine = m_line;
                m_afterCr = false;
                ++m_r;
                m_state = State::Quoted;
            } else {
                m_state = State::Plain;
            }
            continue;
        case State::Plain: {
            const qsizetype from = m_r;
            while (m_r < stop && m_d[m_r] != m_sep && !isLineBreak(m_d[m_r]))
                ++m_r;
            keep(from);
            if (m_r == stop)
                continue;
            endField();
            if (m_d[m_r] == m_sep) {
                ++m_r;
                m_state = State::FieldStart;
            } else {
                endRecord();
                m_state = State::LineStart;
            }
            continue;
        }
        case State::Quoted: {
            const qsizetype from = m_r;
            for (; m_r < stop && m_d[m_r] != m_quoteChar; ++m_r) {
                const char16_t c = m_d[m_r];
                if (c == u'\r' || (c == u'\n' && !m_afterCr))
                    ++m_line;
                m_afterCr = c == u'\r';
            }
            const bool afterCr = m_afterCr;
            keep(from);
            m_afterCr = afterCr;
            if (m_r < stop) {
                ++m_r;
                m_afterCr = false;
                m_state = State::QuoteSeen;
            }
            continue;
        }
        case State::QuoteSeen:
            if (m_d[m_r] == m_quoteChar) {
                m_d[m_w++] = m_quoteChar; // a doubled quote stands for one
                ++m_r;
                m_state = State::Quoted;
            } else {
                m_state = State::Plain; // text after the closing quote is kept as it is
            }
            continue;
        }
    }
}

void CsvParser::finishText()
{
    switch (m_state) {
    case State::LineStart:
        break;
    case State::Quoted:
        refuse(m_path, QStringLiteral("第%1行开始的引号直到文件末尾也没有结束。").arg(m_quoteLine));
    case State::FieldStart: // after a separator: an empty field
    case State::Plain:
    case State::QuoteSeen:
        endField();
        endRecord();
        break;
    }
    m_state = State::LineStart;
}

void CsvParser::endField()
{
    m_table.m_ends.push_back(quint32(m_w) | (m_quoted ? CsvTable::kQuoted : 0));
    m_quoted = false;
}

void CsvParser::endRecord()
{
    CsvTable &t = m_table;
    const int record = int(t.m_firsts.size()) - 2;
    const size_t first = t.m_firsts.back();
    CsvTable::Problem problem{record, 0, false};
    const std::vector<qsizetype> &invalid = m_decoded.invalid;
    while (m_nextInvalid < invalid.size() && invalid[m_nextInvalid] < m_r + m_shift) {
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
    t.m_lines.push_back(m_recordLine);
    t.m_firsts.push_back(quint32(t.m_ends.size()));
}

CsvTable CsvParser::table(const QByteArray &encoding, bool mark)
{
    m_table.m_encoding = encoding;
    m_table.m_mark = mark;
    m_table.m_separator = QChar(m_sep);
    m_decoded.text.resize(m_w);
    m_decoded.text.squeeze();
    m_table.m_text = std::move(m_decoded.text);
    return std::move(m_table);
}
