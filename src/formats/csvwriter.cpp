#include "csvwriter.h"

void CsvWriter::byteOrderMark()
{
    m_out.append("\xEF\xBB\xBF", 3);
}

void CsvWriter::separate()
{
    if (!m_first)
        m_out.append(',');
    m_first = false;
}

void CsvWriter::text(QByteArrayView utf8)
{
    separate();
    bool quote = utf8.isEmpty();
    for (const char c : utf8) {
        if (c == ',' || c == '"' || c == '\r' || c == '\n') {
            quote = true;
            break;
        }
    }
    if (!quote) {
        m_out.append(utf8.data(), utf8.size());
        return;
    }
    m_out.append('"');
    qsizetype from = 0;
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '"') {
            m_out.append(utf8.data() + from, i + 1 - from);
            m_out.append('"');
            from = i + 1;
        }
    }
    m_out.append(utf8.data() + from, utf8.size() - from);
    m_out.append('"');
}

void CsvWriter::none()
{
    separate();
}

void CsvWriter::endRecord()
{
    m_out.append("\r\n", 2);
    m_first = true;
}
