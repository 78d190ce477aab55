#include "csvreader.h"

#include "store/connection.h"
#include "store/usererror.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <array>

namespace {

// Larger files are refused before they are read whole.
constexpr qint64 kLargestFile = qint64(1) << 30;

[[noreturn]] void refuse(const QString &path, const QString &why)
{
    throw UserError(QStringLiteral("无法导入文件%1：%2").arg(describeFile(path), why));
}

int lineAt(const QByteArray &bytes, qsizetype offset)
{
    return int(std::count(bytes.cbegin(), bytes.cbegin() + offset, '\n')) + 1;
}

// A file with a zero byte, or with more than a few control characters that
// text never holds, is not text.
void requireText(const QByteArray &bytes, const QString &path)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        refuse(path, QStringLiteral("这是UTF-16编码的文本。请先在原来的程序中把它另存为UTF-8或GB18030编码的CSV文件。"));
    qsizetype controls = 0;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b == 0)
            refuse(path, QStringLiteral("它不是文本文件（含有二进制数据），不是CSV文件。"));
        if (b < 0x20 && b != '\t' && b != '\n' && b != '\r' && b != '\f' && b != '\v' && b != 0x1A)
            ++controls;
    }
    if (controls > 8 && controls * 1000 > bytes.size())
        refuse(path, QStringLiteral("它不是文本文件（含有二进制数据），不是CSV文件。"));
}

// Checks UTF-8 strictly: no overlong forms, no surrogates, nothing past
// U+10FFFF.
struct Utf8Check
{
    qsizetype firstBad = -1;
    qsizetype bad = 0;       // bytes that start no valid character
    qsizetype multiByte = 0; // valid characters of two bytes or more
};

Utf8Check checkUtf8(const QByteArray &bytes, qsizetype from)
{
    Utf8Check check;
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    auto cont = [&](qsizetype i, unsigned char low = 0x80, unsigned char high = 0xBF) {
        return i < n && p[i] >= low && p[i] <= high;
    };
    for (qsizetype i = from; i < n;) {
        const unsigned char b = p[i];
        int length = 0;
        if (b < 0x80)
            length = 1;
        else if (b >= 0xC2 && b <= 0xDF)
            length = cont(i + 1) ? 2 : 0;
        else if (b == 0xE0)
            length = cont(i + 1, 0xA0) && cont(i + 2) ? 3 : 0;
        else if (b == 0xED)
            length = cont(i + 1, 0x80, 0x9F) && cont(i + 2) ? 3 : 0;
        else if (b >= 0xE1 && b <= 0xEF)
            length = cont(i + 1) && cont(i + 2) ? 3 : 0;
        else if (b == 0xF0)
            length = cont(i + 1, 0x90) && cont(i + 2) && cont(i + 3) ? 4 : 0;
        else if (b >= 0xF1 && b <= 0xF3)
            length = cont(i + 1) && cont(i + 2) && cont(i + 3) ? 4 : 0;
        else if (b == 0xF4)
            length = cont(i + 1, 0x80, 0x8F) && cont(i + 2) && cont(i + 3) ? 4 : 0;
        if (length == 0) {
            if (check.firstBad < 0)
                check.firstBad = i;
            ++check.bad;
            ++i;
            continue;
        }
        if (length > 1)
            ++check.multiByte;
        i += length;
    }
    return check;
}

// The first line that GB18030 cannot read, from 1; 0 when every line reads.
int firstBadGb18030Line(const QByteArray &bytes)
{
    int line = 1;
    for (qsizetype from = 0; from <= bytes.size(); ++line) {
        qsizetype end = bytes.indexOf('\n', from);
        if (end < 0)
            end = bytes.size();
        QStringDecoder decoder("GB18030");
        const QString text = decoder.decode(QByteArrayView(bytes).sliced(from, end - from));
        if (decoder.hasError())
            return line;
        from = end + 1;
    }
    return 0;
}

QString decode(const QByteArray &bytes, const QString &path, CsvTable::Encoding &encoding)
{
    const bool marked = bytes.startsWith("\xEF\xBB\xBF");
    const Utf8Check check = checkUtf8(bytes, marked ? 3 : 0);
    if (check.firstBad < 0) {
        encoding = marked ? CsvTable::Encoding::Utf8WithMark : CsvTable::Encoding::Utf8;
        return QString::fromUtf8(QByteArrayView(bytes).sliced(marked ? 3 : 0));
    }
    // A byte-order mark, or many good UTF-8 characters beside a few bad
    // bytes, make a UTF-8 file that is damaged, not a GB18030 one.
    if (marked || check.multiByte >= 8 * check.bad)
        refuse(path, QStringLiteral("它是UTF-8编码的文本，但第%1行有不是有效UTF-8的字节，文件可能已经损坏。")
                         .arg(lineAt(bytes, check.firstBad)));
    QStringDecoder decoder("GB18030");
    if (!decoder.isValid())
        refuse(path, QStringLiteral("本机的Qt不支持GB18030编码。"));
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        refuse(path, QStringLiteral("它既不是有效的UTF-8文本，也不是有效的GB18030文本（第%1行有无法识别的字节）。")
                         .arg(firstBadGb18030Line(bytes)));
    encoding = CsvTable::Encoding::Gb18030;
    return text;
}

// How many of each separator the first record holds outside quotes; where
// the second record starts.
struct SeparatorCount
{
    std::array<int, 3> counts{};
    qsizetype next = 0;
};

constexpr std::array<char16_t, 3> kSeparators{u',', u'\t', u';'};

SeparatorCount countSeparators(const QString &text, qsizetype from)
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

QChar findSeparator(const QString &text, qsizetype headerStart)
{
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

} // namespace

// Splits the decoded text into records and fields.
class CsvParser
{
public:
    CsvParser(CsvTable &table, const QString &path)
        : t(table)
        , m_path(path)
        , m_text(t.m_text)
        , m_sep(t.m_separator.unicode())
    {}

    // The table of a file's bytes.
    static CsvTable read(const QByteArray &bytes, const QString &path);

private:
    void run(qsizetype from);

    bool atLineEnd(qsizetype i) const
    {
        return i >= m_text.size() || m_text[i] == QLatin1Char('\n') || m_text[i] == QLatin1Char('\r');
    }
    // Steps over one line break at i, counting it.
    qsizetype skipLineBreak(qsizetype i)
    {
        if (i < m_text.size() && m_text[i] == QLatin1Char('\r'))
            ++i;
        if (i < m_text.size() && m_text[i] == QLatin1Char('\n'))
            ++i;
        ++m_line;
        return i;
    }
    qsizetype field(qsizetype i);
    qsizetype quotedField(qsizetype i);
    void endRecord(int line);

    CsvTable &t;
    const QString &m_path;
    const QString &m_text;
    const char16_t m_sep;
    int m_line = 1;
};

qsizetype CsvParser::field(qsizetype i)
{
    if (i < m_text.size() && m_text[i] == QLatin1Char('"'))
        return quotedField(i);
    const qsizetype start = i;
    while (i < m_text.size()) {
        const char16_t c = m_text[i].unicode();
        if (c == m_sep || c == u'\n' || c == u'\r')
            break;
        ++i;
    }
    t.m_fields.push_back({start, int(i - start), false, false});
    return i;
}

qsizetype CsvParser::quotedField(qsizetype i)
{
    const int opened = m_line;
    const qsizetype start = ++i;
    bool doubled = false;
    for (;;) {
        if (i >= m_text.size())
            throw UserError(QStringLiteral("无法导入文件%1：第%2行开始的引号直到文件末尾也没有结束。")
                                .arg(describeFile(m_path))
                                .arg(opened));
        const char16_t c = m_text[i].unicode();
        if (c == u'"') {
            if (i + 1 < m_text.size() && m_text[i + 1] == QLatin1Char('"')) {
                doubled = true;
                i += 2;
                continue;
            }
            break;
        }
        if (c == u'\n' || (c == u'\r' && (i + 1 >= m_text.size() || m_text[i + 1] != QLatin1Char('\n'))))
            ++m_line;
        ++i;
    }
    const qsizetype end = i++;
    // Text after the closing quote, up to the separator, is kept as it is.
    qsizetype rest = i;
    while (rest < m_text.size() && m_text[rest] != QChar(m_sep) && !atLineEnd(rest))
        ++rest;
    if (!doubled && rest == i) {
        t.m_fields.push_back({start, int(end - start), true, false});
        return i;
    }
    const qsizetype offset = t.m_unquoted.size();
    QStringView inside = QStringView(m_text).sliced(start, end - start);
    for (qsizetype k = 0; k < inside.size(); ++k) {
        t.m_unquoted.append(inside[k]);
        if (inside[k] == QLatin1Char('"'))
            ++k; // the second of a doubled quote
    }
    t.m_unquoted.append(QStringView(m_text).sliced(i, rest - i));
    t.m_fields.push_back({offset, int(t.m_unquoted.size() - offset), true, true});
    return rest;
}

void CsvParser::endRecord(int line)
{
    const size_t first = size_t(t.m_starts.back());
    if (t.m_starts.size() > 1) {
        // Empty fields at the end, past the header's, are separators left
        // by a spreadsheet; more fields than that are a fault of the file.
        const size_t columns = size_t(t.m_starts[1] - t.m_starts[0]);
        while (t.m_fields.size() - first > columns && t.m_fields.back().length == 0 && !t.m_fields.back().quoted)
            t.m_fields.pop_back();
        if (t.m_fields.size() - first > columns)
            throw UserError(QStringLiteral("无法导入文件%1：第%2行有%3个字段，比标题行的%4个多。"
                                           "请检查这一行的分隔符和引号。")
                                .arg(describeFile(m_path))
                                .arg(line)
                                .arg(t.m_fields.size() - first)
                                .arg(columns));
    }
    t.m_lines.push_back(line);
    t.m_starts.push_back(qsizetype(t.m_fields.size()));
}

void CsvParser::run(qsizetype i)
{
    t.m_starts.push_back(0);
    while (i < m_text.size()) {
        if (atLineEnd(i)) {
            i = skipLineBreak(i); // a blank line is no record
            continue;
        }
        const int line = m_line;
        for (;;) {
            i = field(i);
            if (i < m_text.size() && m_text[i] == QChar(m_sep)) {
                ++i;
                continue;
            }
            break;
        }
        endRecord(line);
        if (i < m_text.size())
            i = skipLineBreak(i);
    }
}

CsvTable CsvParser::read(const QByteArray &bytes, const QString &path)
{
    CsvTable table;
    requireText(bytes, path);
    table.m_text = decode(bytes, path, table.m_encoding);
    const QString &text = table.m_text;
    qsizetype start = 0;
    while (start < text.size() && text[start].isSpace())
        ++start;
    if (start == text.size())
        refuse(path, QStringLiteral("文件是空的，没有可以导入的内容。"));
    // The header is the first line that is not blank.
    qsizetype headerStart = 0;
    while (headerStart < text.size() &&
           (text[headerStart] == QLatin1Char('\n') || text[headerStart] == QLatin1Char('\r')))
        ++headerStart;
    table.m_separator = findSeparator(text, headerStart);
    CsvParser(table, path).run(0);
    return table;
}

QString CsvTable::encodingName() const
{
    switch (m_encoding) {
    case Encoding::Utf8:
        return QStringLiteral("UTF-8");
    case Encoding::Utf8WithMark:
        return QStringLiteral("UTF-8（带字节顺序标记）");
    case Encoding::Gb18030:
        return QStringLiteral("GB18030");
    }
    return QString();
}

QString CsvTable::separatorName() const
{
    switch (m_separator.unicode()) {
    case u'\t':
        return QStringLiteral("制表符");
    case u';':
        return QStringLiteral("分号");
    default:
        return QStringLiteral("逗号");
    }
}

int CsvTable::fieldCount(int record) const
{
    return int(m_starts[size_t(record + 2)] - m_starts[size_t(record + 1)]);
}

QStringView CsvTable::field(int record, int column) const
{
    if (column < 0 || column >= fieldCount(record))
        return QStringView();
    const Field &f = m_fields[size_t(m_starts[size_t(record + 1)] + column)];
    return QStringView(f.unquoted ? m_unquoted : m_text).sliced(f.offset, f.length);
}

bool CsvTable::isQuoted(int record, int column) const
{
    if (column < 0 || column >= fieldCount(record))
        return false;
    return m_fields[size_t(m_starts[size_t(record + 1)] + column)].quoted;
}

bool CsvTable::isBlank(int record) const
{
    const auto first = m_fields.begin() + m_starts[size_t(record + 1)];
    const auto last = m_fields.begin() + m_starts[size_t(record + 2)];
    return std::all_of(first, last, [](const Field &f) { return f.length == 0 && !f.quoted; });
}

namespace csvreader {

CsvTable parse(const QByteArray &bytes, const QString &path)
{
    return CsvParser::read(bytes, path);
}

CsvTable readFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw UserError(QStringLiteral("找不到文件%1。").arg(describeFile(path)));
    if (info.isDir())
        refuse(path, QStringLiteral("这是一个文件夹，不是文件。"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw UserError(QStringLiteral("无法读取文件%1：没有读取权限。").arg(describeFile(path)));
    if (file.size() > kLargestFile)
        refuse(path, QStringLiteral("文件超过1 GB，太大了。"));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw UserError(QStringLiteral("读取文件%1时出错：%2。").arg(describeFile(path), file.errorString()));
    return parse(bytes, path);
}

} // namespace csvreader
