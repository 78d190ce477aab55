#include "gridexportexcel.h"

#include "store/usererror.h"

#include <cstring>

namespace {

// Record numbers.
constexpr quint16 kBof = 0x0409;
constexpr quint16 kGuts = 0x0080;
constexpr quint16 kPalette = 0x0092;
constexpr quint16 kFont = 0x0231;
constexpr quint16 kXf = 0x0443;
constexpr quint16 kColInfo = 0x007D;
constexpr quint16 kDimensions = 0x0200;
constexpr quint16 kLabel = 0x0204;
constexpr quint16 kRk = 0x027E;
constexpr quint16 kNumber = 0x0203;
constexpr quint16 kEof = 0x000A;

// The format of the caption cells, and of the first column's cells.
constexpr quint16 kHeaderFormat = 22;
constexpr quint16 kFirstColumnFormat = 29;

// A memo keeps its first 255 bytes; any text at most what a record's 16-bit
// length can hold.
constexpr qsizetype kMemoBytes = 255;
constexpr qsizetype kLabelBytes = 0xFFFF - 8;

// An RK value holds a whole number of 30 bits.
constexpr qint64 kRkMin = -(qint64(1) << 29);
constexpr qint64 kRkMax = (qint64(1) << 29) - 1;

// The 29 fixed cell formats (XF 0 to 28). XF 21 ends with the grid-line
// borders, added when it is written.
constexpr unsigned char kFixedFormats[29][12] = {
    {0x00, 0x00, 0xF5, 0xFF, 0x20, 0x00, 0x00, 0xCE, 0x00, 0x00, 0x00, 0x00},
    {0x01, 0x00, 0xF5, 0xFF, 0x20, 0xF4, 0x00, 0xCE, 0x00, 0x00, 0x00, 0x00},
    {0x01, 0x00, 0xF5, 0xFF, 0x20, 0xF4, 0x00, 0xCE, 0x00, 0x00, 0x00, 0x00},
    {0x02, 0x00, 0xF5, 0xFF, 0x20, 0xF4, 0x00, 0xCE, 0x00, 0x00, 0x00, 0x00},
    {0x02, 0x00, 0xF5, 0xFF, 0x20, 0xF4, 0x00, 0xCE, 0x00, 0x00, 0x00, 0x00},
    {0x00, 0x00, 0xF5, 0xFF, 0x20, 0xF4, 0x00, 0xCE, 0x00, 0x00, 0x00, 0x00},
    {0x00, 0x00, 0xF5, 0xFF, 0x20, 0xF4, 0x00, 0xCE, 0x00, 0x00, 0x00, 0x00},
    {0x00, 0x00, 0xF5, 0xFF, 0x20, 0xF4, 0x00, 0xCE, 0x00, 0x00, 0x00, 0x00},
    {0x00, 0x00, 0xF5, 0xFF, 0x20, 0xF4, 0x00, 0xCE, 0x00, 0x00, 0x00, 0x00},
    {0x00, 0x00, 0xF5, 0xFF, 0x20, 0xF4, 0x00, 0xCE, 0x00, 0x00, 0x00, 0x00},
    {0x00, 0x00, 0xF5, 0xFF, 0x20, 0xF4, 0x00, 0xCE, 0x00, 0x00, 0x00, 0x00},
    {0x00, 0x00, 0xF5, 0xFF, 0x20, 0xF4, 0x00, 0xCE, 0x00, 0x00, 0x00, 0x00},
    {0x00, 0x00, 0xF5, 0xFF, 0x20, 0xF4, 0x00, 0xCE, 0x00, 0x00, 0x00, 0x00},
    {0x00, 0x00, 0xF5, 0xFF, 0x20, 0xF4, 0x00, 0xCE, 0x00, 0x00, 0x00, 0x00},
    {0x00, 0x00, 0xF5, 0xFF, 0x20, 0xF4, 0x00, 0xCE, 0x00, 0x00, 0x00, 0x00},
    {0x00, 0x00, 0x01, 0x00, 0x20, 0x00, 0x00, 0xCE, 0x00, 0x00, 0x00, 0x00},
    {0x01, 0x21, 0xF5, 0xFF, 0x20, 0xF8, 0x00, 0xCE, 0x00, 0x00, 0x00, 0x00},
    {0x01, 0x1F, 0xF5, 0xFF, 0x20, 0xF8, 0x00, 0xCE, 0x00, 0x00, 0x00, 0x00},
    {0x01, 0x20, 0xF5, 0xFF, 0x20, 0xF8, 0x00, 0xCE, 0x00, 0x00, 0x00, 0x00},
    {0x01, 0x1E, 0xF5, 0xFF, 0x20, 0xF8, 0x00, 0xCE, 0x00, 0x00, 0x00, 0x00},
    {0x01, 0x0D, 0xF5, 0xFF, 0x20, 0xF8, 0x00, 0xCE, 0x00, 0x00, 0x00, 0x00},
    {0x05, 0x00, 0x01, 0x00, 0x21, 0x78, 0x41, 0x03, 0x00, 0x00, 0x00, 0x00},
    {0x06, 0x00, 0x01, 0x00, 0x22, 0x78, 0x41, 0x02, 0x71, 0x71, 0x71, 0x71},
    {0x07, 0x00, 0x01, 0x00, 0x21, 0x78, 0xC1, 0x02, 0x00, 0x00, 0x00, 0x00},
    {0x05, 0x00, 0x01, 0x00, 0x22, 0x78, 0xC1, 0x02, 0xB9, 0xB9, 0xB9, 0xB9},
    {0x05, 0x00, 0x01, 0x00, 0x22, 0x78, 0xC1, 0x02, 0xB9, 0x00, 0xB9, 0x00},
    {0x08, 0x00, 0x01, 0x00, 0x22, 0x78, 0x41, 0x02, 0x71, 0x71, 0x71, 0x00},
    {0x09, 0x00, 0x01, 0x00, 0x21, 0x78, 0xC1, 0x02, 0xB9, 0xB9, 0xB9, 0xB9},
    {0x09, 0x00, 0x01, 0x00, 0x21, 0x78, 0xC1, 0x02, 0xB9, 0x00, 0xB9, 0x00},
};
constexpr int kGridLineFormat = 21;

void put8(QByteArray &out, unsigned value)
{
    out.append(char(value & 0xFF));
}

void put16(QByteArray &out, unsigned value)
{
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

// Starts a record: its number and the length of its body.
void begin(QByteArray &out, quint16 number, qsizetype bodyLength)
{
    out.resize(0);
    put16(out, number);
    put16(out, unsigned(bodyLength));
}

// The length of the longest start of a GB18030 text that is at most limit
// bytes and ends on a whole character (one, two or four bytes).
qsizetype wholeCharacters(QByteArrayView bytes, qsizetype limit)
{
    if (bytes.size() <= limit)
        return bytes.size();
    qsizetype at = 0;
    while (at < bytes.size()) {
        qsizetype length = 1;
        if (static_cast<unsigned char>(bytes[at]) >= 0x80) {
            const bool fourBytes = at + 1 < bytes.size() && bytes[at + 1] >= '0' && bytes[at + 1] <= '9';
            length = fourBytes ? 4 : 2;
        }
        if (at + length > limit)
            break;
        at += length;
    }
    return at;
}

// The palette entry of a colour: red, green, blue, 0; zeros for no colour.
void putColor(QByteArray &out, const GridColor &color)
{
    const quint32 rgb = color.value_or(0);
    put8(out, (rgb >> 16) & 0xFF);
    put8(out, (rgb >> 8) & 0xFF);
    put8(out, rgb & 0xFF);
    put8(out, 0);
}

unsigned alignmentByte(GridAlignment alignment)
{
    switch (alignment) {
    case GridAlignment::Right:
        return 0x23;
    case GridAlignment::Center:
        return 0x22;
    case GridAlignment::Left:
        break;
    }
    return 0x21;
}

} // namespace

void TGridExportExcel::checkRecordCount(qsizetype records)
{
    if (records > kMaxRecords)
        throw UserError(QStringLiteral("Excel 工作表最多只能容纳 %1 本书，要导出的书籍有 %2 本，文件没有写入。\n"
                                       "HTML 文件没有这个限制，可以用“存为HTML文件”导出全部书籍。")
                            .arg(kMaxRecords)
                            .arg(records));
}

void TGridExportExcel::CheckSize(qsizetype records, qsizetype columns) const
{
    checkRecordCount(records);
    if (columns > kMaxColumns)
        throw UserError(QStringLiteral("Excel 工作表最多只能导出 %1 列，表格显示了 %2 列，文件没有写入。")
                            .arg(kMaxColumns)
                            .arg(columns));
}

void TGridExportExcel::DoBeginWriting()
{
    const GridLook &grid = look();
    const std::vector<GridColumn> &shown = columns();
    const QByteArray gridLines = grid.showGrid ? QByteArray("\xA1\xA1\xA1\xA1", 4) : QByteArray(4, '\0');

    // BOF: BIFF4, a worksheet.
    begin(m_record, kBof, 6);
    put16(m_record, 0);
    put16(m_record, 0x0010);
    put16(m_record, 0);
    Write(m_record);

    begin(m_record, kGuts, 8);
    m_record.append(8, '\0');
    Write(m_record);

    // The palette: index 8 + k in a font or format is entry k.
    begin(m_record, kPalette, 2 + 13 * 4);
    put16(m_record, 13);
    for (const GridColor *color :
         {&grid.headerFont.color, &grid.headerColor, &grid.groupNodeTextColor, &grid.groupNodeColor, &grid.font.color,
          &grid.color, &grid.windowFrameColor, &grid.windowColor, &grid.bandFont.color, &grid.bandColor,
          &grid.rowFooterTextColor, &grid.rowFooterColor, &grid.gridLineColor})
        putColor(m_record, *color);
    Write(m_record);

    // Fonts 0 to 3, the sheet's own.
    for (int i = 0; i < 4; ++i) {
        begin(m_record, kFont, 12);
        put16(m_record, 200);
        put16(m_record, 0);
        put16(m_record, 0x7FFF);
        put8(m_record, 5);
        m_record.append("Arial");
        Write(m_record);
    }
    // Fonts 5 and on (the format has no font 4): the grid's, then one per
    // column, each with the colour of its palette index.
    auto writeFont = [&](const GridFont &font, unsigned colorIndex) {
        const QByteArray encodedName = encoded(font.name);
        const QByteArrayView name(encodedName.constData(), wholeCharacters(encodedName, 255 - 7));
        begin(m_record, kFont, 7 + name.size());
        put16(m_record, unsigned(font.pointSize * 20));
        put8(m_record,
             (font.bold ? 1 : 0) | (font.italic ? 2 : 0) | (font.underline ? 4 : 0) | (font.strikeOut ? 8 : 0));
        put8(m_record, 0);
        put16(m_record, colorIndex);
        put8(m_record, unsigned(name.size()));
        m_record.append(name);
        Write(m_record);
    };
    writeFont(grid.font, 12);
    writeFont(grid.headerFont, 8);
    writeFont(grid.font, 10);
    writeFont(grid.bandFont, 16);
    writeFont(grid.font, 18);
    for (const GridColumn &column : shown)
        writeFont(column.font, 12);

    for (int i = 0; i < 29; ++i) {
        begin(m_record, kXf, 12);
        m_record.append(reinterpret_cast<const char *>(kFixedFormats[i]), i == kGridLineFormat ? 8 : 12);
        if (i == kGridLineFormat)
            m_record.append(gridLines);
        Write(m_record);
    }
    // One format per column: its font, its alignment, the grid's background.
    for (size_t i = 0; i < shown.size(); ++i) {
        begin(m_record, kXf, 12);
        put8(m_record, unsigned(10 + i));
        put8(m_record, 0);
        put16(m_record, 0x0001);
        put8(m_record, alignmentByte(shown[i].alignment));
        m_record.append("\x78\x41\x03", 3);
        m_record.append(gridLines);
        Write(m_record);
    }
    // Column widths in 1/256 of a character, from pixels.
    for (size_t i = 0; i < shown.size(); ++i) {
        begin(m_record, kColInfo, 12);
        put16(m_record, unsigned(i));
        put16(m_record, unsigned(i));
        put16(m_record, unsigned(shown[i].width * 36) & 0xFFFF);
        put16(m_record, 0x000F);
        put16(m_record, 0);
        put16(m_record, 0);
        Write(m_record);
    }
    // The sheet's extent: always rows 0 to 65535 and columns 0 to 254.
    begin(m_record, kDimensions, 10);
    put16(m_record, 0);
    put16(m_record, 0xFFFF);
    put16(m_record, 0);
    put16(m_record, 0x00FF);
    put16(m_record, 0);
    Write(m_record);
}

// The cells' records are made in place: a sheet of 65,535 books has about a
// million of them.
namespace {

char *le16(char *out, unsigned value)
{
    out[0] = char(value & 0xFF);
    out[1] = char((value >> 8) & 0xFF);
    return out + 2;
}

char *le32(char *out, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        out[i] = char((value >> (8 * i)) & 0xFF);
    return out + 4;
}

// A cell record's start: number, body length, row, column, format.
char *cellStart(char *out, quint16 number, qsizetype bodyLength, int row, quint16 column, quint16 format)
{
    out = le16(out, number);
    out = le16(out, unsigned(bodyLength));
    out = le16(out, unsigned(row));
    out = le16(out, column);
    return le16(out, format);
}

} // namespace

void TGridExportExcel::writeLabel(quint16 column, quint16 format, QByteArrayView text)
{
    const qsizetype length = wholeCharacters(text, kLabelBytes);
    char record[12];
    le16(cellStart(record, kLabel, 8 + length, rowCounter, column, format), unsigned(length));
    Write(QByteArrayView(record, sizeof record));
    Write(text.first(length));
}

void TGridExportExcel::writeRk(quint16 column, quint16 format, qint64 value)
{
    char record[14];
    le32(cellStart(record, kRk, 10, rowCounter, column, format), quint32(value * 4 + 2));
    Write(QByteArrayView(record, sizeof record));
}

void TGridExportExcel::writeNumber(quint16 column, quint16 format, double value)
{
    quint64 bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    char record[18];
    char *out = cellStart(record, kNumber, 14, rowCounter, column, format);
    le32(le32(out, quint32(bits & 0xFFFFFFFFu)), quint32(bits >> 32));
    Write(QByteArrayView(record, sizeof record));
}

void TGridExportExcel::DoWriteHeader()
{
    if (!look().showHeader)
        return;
    const std::vector<GridColumn> &shown = columns();
    for (size_t i = 0; i < shown.size(); ++i) {
        const QByteArray caption = shown[i].captionSuppressed ? QByteArray() : encoded(shown[i].caption);
        writeLabel(quint16(i), kHeaderFormat, caption);
    }
    ++rowCounter;
}

void TGridExportExcel::DoWriteRecord(int row)
{
    const std::vector<GridSource::Cell> &cells = readRecord(row);
    const size_t count = columns().size();
    for (size_t i = 0; i < count; ++i) {
        const auto column = quint16(i);
        const auto format = quint16(kFirstColumnFormat + i);
        const int field = columnField(i);
        if (field < 0) {
            writeLabel(column, format, {});
            continue;
        }
        const GridSource::Cell &cell = cells[size_t(field)];
        const FieldType type = table().field(field).type;
        if (type == FieldType::Integer || type == FieldType::Float) {
            // No value counts as 0. A text that is no number stays a text.
            if (cell.type == GridSource::Cell::Null) {
                if (type == FieldType::Integer)
                    writeRk(column, format, 0);
                else
                    writeNumber(column, format, 0.0);
                continue;
            }
            if (cell.type == GridSource::Cell::Integer) {
                if (type == FieldType::Integer && cell.integer >= kRkMin && cell.integer <= kRkMax)
                    writeRk(column, format, cell.integer);
                else
                    writeNumber(column, format, double(cell.integer));
                continue;
            }
            if (cell.type == GridSource::Cell::Real) {
                writeNumber(column, format, cell.real);
                continue;
            }
        }
        m_text.resize(0);
        cell.appendText(m_text, encoder());
        QByteArrayView text = m_text;
        // A memo is cut after its last whole character within 255 bytes.
        if (type == FieldType::Memo)
            text = text.first(wholeCharacters(text, kMemoBytes));
        writeLabel(column, format, text);
    }
}

void TGridExportExcel::DoWriteFooter()
{
    // Footer cells and their sums belong only to grids that show a summary
    // footer; the grids of this program do not.
}

void TGridExportExcel::DoEndWriting()
{
    begin(m_record, kEof, 0);
    Write(m_record);
}
