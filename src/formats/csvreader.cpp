#include "csvreader.h"

#include "bytesource.h"
#include "csvparser.h"
#include "textdecoder.h"

#include <QStringList>

#include <algorithm>

namespace {

// Larger files are refused before they are read.
constexpr qint64 kLargestFile = qint64(1) << 30;

const QString &notText()
{
    static const QString why = QStringLiteral("它不是文本文件（含有二进制数据），不是CSV文件。");
    return why;
}

// The encoding to read a file in, and the byte-order mark to skip.
struct Reading
{
    QByteArray encoding;
    qsizetype skip = 0;
    bool mark = false;
};

textencoding::Mark markOf(const ByteSource &source)
{
    QByteArray start;
    source.forEachBlock([&](QByteArrayView block) {
        start = block.first(qMin<qsizetype>(4, block.size())).toByteArray();
        return false;
    });
    return textencoding::markAt(start);
}

// The encoding the caller chose, a byte-order mark of that same encoding
// skipped; otherwise the one the mark tells, otherwise the one the bytes
// suggest.
Reading chooseEncoding(const ByteSource &source, const QByteArray &chosen)
{
    const textencoding::Mark mark = markOf(source);
    if (!chosen.isEmpty()) {
        QByteArray id = textencoding::fromName(QString::fromLatin1(chosen));
        if (id.isEmpty())
            CsvParser::refuse(source.path(), QStringLiteral("不认识编码“%1”。").arg(QString::fromLatin1(chosen)));
        if (id == "UTF-16") // the order of the bytes as the mark tells, else as Windows writes it
            id = mark.id.startsWith("UTF-16") ? mark.id : QByteArray("UTF-16LE");
        if (mark.id == id)
            return {id, mark.length, true};
        return {id, 0, false};
    }
    if (!mark.id.isEmpty())
        return {mark.id, mark.length, true};
    textencoding::Sniffer sniffer;
    source.forEachBlock([&](QByteArrayView block) {
        sniffer.feed(block);
        return !sniffer.sawZero();
    });
    if (sniffer.sawZero())
        CsvParser::refuse(source.path(), notText());
    return {sniffer.encoding(), 0, false};
}

CsvTable read(const ByteSource &source, const CsvOptions &options)
{
    const QString &path = source.path();
    if (source.size() > kLargestFile)
        CsvParser::refuse(path, QStringLiteral("文件超过1 GB，太大了。"));
    const QChar separator = options.separator;
    if (separator == QLatin1Char('"') || separator == QLatin1Char('\n') || separator == QLatin1Char('\r'))
        CsvParser::refuse(path, QStringLiteral("不能用“%1”作分隔符。").arg(separator));
    const Reading reading = chooseEncoding(source, options.encoding);
    DecodedText decoded;
    CsvParser parser(decoded, source.size(), separator, path);
    decodeText(source, reading.encoding, reading.skip, decoded,
               [&](qsizetype end, bool last) { return parser.take(end, last); });
    if (decoded.binary)
        CsvParser::refuse(path, notText());
    if (decoded.blank || !parser.hasHeader())
        CsvParser::refuse(path, QStringLiteral("文件是空的，没有可以导入的内容。"));
    return parser.table(reading.encoding, reading.mark);
}

} // namespace

QString CsvTable::encodingName() const
{
    const QString name = textencoding::caption(m_encoding);
    return m_mark ? name + QStringLiteral("（带字节顺序标记）") : name;
}

QString CsvTable::separatorName() const
{
    for (const CsvSeparatorChoice &choice : csvreader::separatorChoices())
        if (choice.separator == m_separator)
            return choice.caption;
    return QStringLiteral("“%1”").arg(m_separator);
}

int CsvTable::fieldCount(int record) const
{
    return int(m_firsts[size_t(record + 2)] - m_firsts[size_t(record + 1)]);
}

QStringView CsvTable::field(int record, int column) const
{
    if (column < 0 || column >= fieldCount(record))
        return QStringView();
    const quint32 index = fieldIndex(record, column);
    const qsizetype start = fieldStart(index);
    return QStringView(m_text).sliced(start, qsizetype(m_ends[index] & kOffset) - start);
}

bool CsvTable::isQuoted(int record, int column) const
{
    if (column < 0 || column >= fieldCount(record))
        return false;
    return (m_ends[fieldIndex(record, column)] & kQuoted) != 0;
}

bool CsvTable::isBlank(int record) const
{
    for (quint32 index = m_firsts[size_t(record + 1)]; index < m_firsts[size_t(record + 2)]; ++index)
        if ((m_ends[index] & kQuoted) != 0 || qsizetype(m_ends[index]) != fieldStart(index))
            return false;
    return true;
}

QString CsvTable::problem(int record) const
{
    const auto found = std::lower_bound(m_problems.begin(), m_problems.end(), record,
                                        [](const Problem &p, int r) { return p.record < r; });
    if (found == m_problems.end() || found->record != record)
        return QString();
    QStringList parts;
    if (found->fields > 0)
        parts << QStringLiteral("有%1个字段，比标题行的%2个多").arg(found->fields).arg(columnCount());
    if (found->invalid)
        parts << QStringLiteral("含有不是有效%1编码的字节").arg(QString::fromLatin1(m_encoding));
    return parts.join(QStringLiteral("；"));
}

int CsvTable::problemCount() const
{
    const bool header = !m_problems.empty() && m_problems.front().record < 0;
    return int(m_problems.size()) - (header ? 1 : 0);
}

namespace csvreader {

CsvTable parse(const QByteArray &bytes, const QString &path, const CsvOptions &options)
{
    return read(ByteSource(QByteArrayView(bytes), path), options);
}

CsvTable readFile(const QString &path, const CsvOptions &options)
{
    return read(ByteSource(path, kLargestFile), options);
}

std::vector<CsvEncodingChoice> encodingChoices()
{
    return textencoding::choices();
}

std::vector<CsvSeparatorChoice> separatorChoices()
{
    return {{QLatin1Char(','), QStringLiteral("逗号")},
            {QLatin1Char('\t'), QStringLiteral("制表符")},
            {QLatin1Char(';'), QStringLiteral("分号")},
            {QLatin1Char('|'), QStringLiteral("竖线")}};
}

QByteArray encodingFromName(QStringView name)
{
    return textencoding::fromName(name);
}

} // namespace csvreader
