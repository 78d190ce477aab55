#pragma once

#include "gridexport.h"

#include <utility>
#include <vector>

// Writes a grid as an HTML 3.2 page: the head with five style lines, an
// outer frame table, the header row and one line per record. Texts go out as
// GB18030 bytes, without a character-set declaration; "&", "<" and ">" in
// captions and cell texts are written as "&amp;", "&lt;" and "&gt;", so that
// a book's data never changes the page.
class TGridExportHTML : public TGridExport
{
public:
    using TGridExport::TGridExport;

    // The opening and closing tags of a font's style: "<B>", "<I>", "<U>",
    // "<STRIKE>" for each style set, closed in the reverse order.
    static std::pair<QByteArray, QByteArray> GetFontStyle(const GridFont &font);
    static QByteArray GetHTMLAlignment(GridAlignment alignment);

protected:
    void DoBeginWriting() override;
    void DoWriteHeader() override;
    void DoWriteRecord(int row) override;
    void DoWriteFooter() override;
    void DoEndWriting() override;

private:
    // The fixed pieces around each visible column's cell text.
    struct CellFrame
    {
        QByteArray before; // "<TD ...><FONT STYLE=...>"
        QByteArray open;   // the font's style tags
        QByteArray close;
    };

    void styleLine(const char *selector, const GridFont &font, const GridColor &color);

    std::vector<CellFrame> m_frames;
    QByteArray m_line;
    QByteArray m_text;
};
