#include "gridexporthtml.h"

namespace {

// The text of an empty cell or caption: a non-breaking space.
constexpr char kBlankCell[] = "&nbsp;";

// Six upper-case hexadecimal digits, red, green and blue; "000000" for no
// colour.
QByteArray colorText(const GridColor &color)
{
    const quint32 rgb = color.value_or(0) & 0xFFFFFFu;
    return QByteArray::number(rgb, 16).toUpper().rightJustified(6, '0');
}

// The text as it may stand in the page: "&", "<" and ">" as entities. In
// GB18030 these three bytes occur only as the characters themselves, never
// inside a two- or four-byte character.
void appendEscaped(QByteArray &out, QByteArrayView text)
{
    const char *run = text.data();
    const char *const end = run + text.size();
    for (const char *p = run; p < end; ++p) {
        const char *entity = nullptr;
        switch (*p) {
        case '&':
            entity = "&amp;";
            break;
        case '<':
            entity = "&lt;";
            break;
        case '>':
            entity = "&gt;";
            break;
        default:
            continue;
        }
        out.append(run, p - run);
        out.append(entity);
        run = p + 1;
    }
    out.append(run, end - run);
}

} // namespace

std::pair<QByteArray, QByteArray> TGridExportHTML::GetFontStyle(const GridFont &font)
{
    QByteArray open, close;
    if (font.bold)
        open.append("<B>");
    if (font.italic)
        open.append("<I>");
    if (font.underline)
        open.append("<U>");
    if (font.strikeOut)
        open.append("<STRIKE>");
    if (font.strikeOut)
        close.append("</STRIKE>");
    if (font.underline)
        close.append("</U>");
    if (font.italic)
        close.append("</I>");
    if (font.bold)
        close.append("</B>");
    return {open, close};
}

QByteArray TGridExportHTML::GetHTMLAlignment(GridAlignment alignment)
{
    switch (alignment) {
    case GridAlignment::Right:
        return QByteArrayLiteral("RIGHT");
    case GridAlignment::Center:
        return QByteArrayLiteral("CENTER");
    case GridAlignment::Left:
        break;
    }
    return QByteArrayLiteral("LEFT");
}

void TGridExportHTML::styleLine(const char *selector, const GridFont &font, const GridColor &color)
{
    m_line = selector;
    m_line.append(encoded(font.name));
    m_line.append("; font-size: ");
    m_line.append(QByteArray::number(font.pointSize));
    m_line.append("pt; color: #");
    m_line.append(colorText(color));
    m_line.append("}");
    WriteLn(m_line);
}

void TGridExportHTML::DoBeginWriting()
{
    const GridLook &grid = look();
    WriteLn("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 3.2//EN\">");
    WriteLn("<HTML>");
    WriteLn("<HEAD>");
    m_line = "<TITLE>";
    appendEscaped(m_line, encoded(grid.name));
    m_line.append("</TITLE> ");
    WriteLn(m_line);
    WriteLn("<STYLE>");
    WriteLn("<!--");
    styleLine(".Band{font-family: ", grid.bandFont, grid.bandFont.color);
    styleLine(".Header{font-family: ", grid.headerFont, grid.headerFont.color);
    styleLine(".Footer{font-family: ", grid.font, grid.font.color);
    styleLine(".RowFooter{font-family: ", grid.font, grid.rowFooterTextColor);
    styleLine(".Group{font-family: ", grid.font, grid.groupNodeTextColor);
    WriteLn("-->");
    WriteLn("</STYLE>");
    WriteLn("</HEAD> ");
    WriteLn("<BODY BGCOLOR=#C0C0C0>");
    if (grid.singleBorder)
        WriteLn("<TABLE BORDER=1 CELLSPACING=0 CELLPADDING=1 BGCOLOR=#C0C0C0><TR><TD>");
    m_line = "<TABLE ";
    if (!grid.showGrid)
        m_line.append("BORDER=0 CELLSPACING=0 CELLPADDING=2");
    else if (grid.ctl3D)
        m_line.append("BORDER=1 CELLSPACING=0 CELLPADDING=1");
    else
        m_line.append("BORDER=0 CELLSPACING=1 CELLPADDING=2");
    m_line.append(" BGCOLOR=#C0C0C0>");
    WriteLn(m_line);

    // What surrounds each column's cell text is the same in every record.
    m_frames.clear();
    for (const GridColumn &column : columns()) {
        CellFrame frame;
        frame.before = "<TD NOWRAP ALIGN=\"";
        frame.before.append(GetHTMLAlignment(column.alignment));
        frame.before.append("\" BGCOLOR=#");
        frame.before.append(colorText(column.color));
        frame.before.append("><FONT STYLE=\"font-family: ");
        frame.before.append(encoded(column.font.name));
        frame.before.append("; font-size: ");
        frame.before.append(QByteArray::number(column.font.pointSize));
        frame.before.append("pt; color: #");
        frame.before.append(colorText(column.font.color));
        frame.before.append("\">");
        std::tie(frame.open, frame.close) = GetFontStyle(column.font);
        m_frames.push_back(std::move(frame));
    }
}

void TGridExportHTML::DoWriteHeader()
{
    const GridLook &grid = look();
    if (!grid.showHeader)
        return;
    const auto [open, close] = GetFontStyle(grid.headerFont);
    m_line = "<TR VALIGN=\"TOP\" class=\"Header\" BGCOLOR=#";
    m_line.append(colorText(grid.headerColor));
    m_line.append(">");
    for (const GridColumn &column : columns()) {
        m_line.append("<TD NOWRAP WIDTH=");
        m_line.append(QByteArray::number(column.width));
        m_line.append(" ALIGN=\"");
        m_line.append(GetHTMLAlignment(column.headerAlignment));
        m_line.append("\">");
        if (column.captionSuppressed || column.caption.isEmpty()) {
            m_line.append(kBlankCell);
        } else {
            m_line.append(open);
            appendEscaped(m_line, encoded(column.caption));
            m_line.append(close);
        }
        m_line.append("</TD>");
    }
    m_line.append("</TR>");
    WriteLn(m_line);
}

void TGridExportHTML::DoWriteRecord(int row)
{
    const std::vector<GridSource::Cell> &cells = readRecord(row);
    m_line.resize(0); // keeps its room from the last record
    m_line.append("<TR>");
    for (size_t i = 0; i < m_frames.size(); ++i) {
        const CellFrame &frame = m_frames[i];
        m_line.append(frame.before);
        m_text.resize(0);
        const int field = columnField(i);
        if (field >= 0)
            cells[size_t(field)].appendText(m_text, encoder());
        if (m_text.isEmpty()) {
            m_line.append(kBlankCell);
        } else {
            m_line.append(frame.open);
            appendEscaped(m_line, m_text);
            m_line.append(frame.close);
        }
        m_line.append("</FONT></TD>");
    }
    m_line.append("</TR>");
    WriteLn(m_line);
}

void TGridExportHTML::DoWriteFooter()
{
    // A footer row belongs only to grids that show a summary footer and
    // hold the whole table; the grids of this program do neither.
}

void TGridExportHTML::DoEndWriting()
{
    WriteLn("</TABLE>");
    if (look().singleBorder)
        WriteLn("</TD></TR></TABLE>");
    WriteLn("</BODY>");
    WriteLn("</HTML>");
}
