#include "summaryedit.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {

// The paragraph that carries this in its format continues the one before it.
constexpr int kSoftBreak = QTextFormat::UserProperty + 1;
// A line longer than this is held in pieces of about kPiece characters, cut
// after a space where one is near, so that words stay whole.
constexpr qsizetype kLongLine = 4000;
constexpr qsizetype kPiece = 1000;
// The box lays out its first and its last paragraphs as it opens (the last
// to know how far it scrolls): near both ends the pieces are shorter.
constexpr qsizetype kEndPiece = 250;
constexpr qsizetype kEnds = 2000;
// More characters than the box shows without scrolling, in any font.
constexpr qsizetype kSureToScroll = 5000;

bool isSoft(const QTextBlock &block)
{
    return block.isValid() && block.blockFormat().boolProperty(kSoftBreak);
}

QTextBlockFormat withBreak(QTextBlockFormat format, bool soft)
{
    if (soft)
        format.setProperty(kSoftBreak, true);
    else
        format.clearProperty(kSoftBreak);
    return format;
}

// Whether a piece may end before text[at]: never inside a surrogate pair or
// before a combining mark.
bool mayCut(QStringView text, qsizetype at)
{
    const QChar next = text.at(at);
    return !next.isLowSurrogate() && !next.isMark() && next != QChar(0x200D) && text.at(at - 1) != QChar(0x200D);
}

qsizetype pieceEnd(QStringView line, qsizetype start)
{
    const qsizetype size = start < kEnds || line.size() - start <= kEnds + kPiece ? kEndPiece : kPiece;
    const qsizetype target = start + size;
    if (line.size() - target < size)
        return line.size();
    for (qsizetype at = target; at > target - size / 5; --at) {
        if (line.at(at - 1).isSpace() && mayCut(line, at))
            return at;
    }
    qsizetype at = target;
    while (at > start + 1 && !mayCut(line, at))
        --at;
    return at;
}

// The characters a plain text box turns into paragraph breaks on insertion.
QString withNewlines(QString text)
{
    const auto breaksParagraph = [](QChar c) {
        return c == u'\r' || c == QChar::ParagraphSeparator || c == QChar(0xFDD0) || c == QChar(0xFDD1);
    };
    if (std::none_of(text.cbegin(), text.cend(), breaksParagraph))
        return text;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    std::replace_if(text.begin(), text.end(), breaksParagraph, QChar(u'\n'));
    return text;
}

// What stands before a piece of a text: nothing (the text's first piece),
// a line break, or a soft break inside a long line.
enum class Before { Nothing, LineBreak, SoftBreak };

// Walks the text's lines (paragraph breaks of any kind), a long line in
// pieces, calling piece(text, before) for each.
template <class Piece> void forEachPiece(const QString &text, Piece piece)
{
    const QString lines = withNewlines(text);
    for (qsizetype from = 0;;) {
        const qsizetype newline = lines.indexOf(QLatin1Char('\n'), from);
        const QStringView line = QStringView(lines).sliced(from, (newline < 0 ? lines.size() : newline) - from);
        const Before first = from == 0 ? Before::Nothing : Before::LineBreak;
        if (line.size() <= kLongLine) {
            piece(line, first);
        } else {
            for (qsizetype start = 0; start < line.size();) {
                const qsizetype end = pieceEnd(line, start);
                piece(line.sliced(start, end - start), start == 0 ? first : Before::SoftBreak);
                start = end;
            }
        }
        if (newline < 0)
            break;
        from = newline + 1;
    }
}

bool matchesAny(QKeyEvent *event, std::initializer_list<QKeySequence::StandardKey> keys)
{
    for (const QKeySequence::StandardKey key : keys) {
        if (event->matches(key))
            return true;
    }
    return false;
}

} // namespace

SummaryEdit::SummaryEdit(QWidget *parent)
    : QPlainTextEdit(parent)
{
    // Any change after setText(), the user's or a caller's own
    // setPlainText(), makes the text the document holds the one to read.
    connect(document(), &QTextDocument::contentsChange, this, [this] { m_givenHeld = false; });
}

void SummaryEdit::setText(const QString &text)
{
    // The pieces go in as paragraphs of one plain text, the quickest way in;
    // then the paragraphs that continue a line are marked.
    QString shown;
    shown.reserve(text.size() + text.size() / kEndPiece + 1);
    std::vector<int> soft;
    int paragraphs = 0;
    forEachPiece(text, [&](QStringView piece, Before before) {
        if (before != Before::Nothing)
            shown += QLatin1Char('\n');
        if (before == Before::SoftBreak)
            soft.push_back(paragraphs);
        shown += piece;
        ++paragraphs;
    });
    // A text that cannot fit gets its scroll bar before it is laid out, not
    // after: the bar's coming narrows the box and would lay out again what
    // was laid out for the width without it.
    setVerticalScrollBarPolicy(text.size() > kSureToScroll ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
    setPlainText(QString());
    // Written and marked in one edit, so that the box lays it out once; its
    // cursor stays at the start meanwhile (a cursor at the end would scroll
    // there, laying out the paragraphs on the way).
    QTextCursor start = textCursor();
    start.setKeepPositionOnInsert(true);
    setTextCursor(start);
    QTextDocument *doc = document();
    doc->setUndoRedoEnabled(false);
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    cursor.insertText(shown);
    for (const int n : soft) {
        const QTextBlock block = doc->findBlockByNumber(n);
        cursor.setPosition(block.position());
        cursor.setBlockFormat(withBreak(block.blockFormat(), true));
    }
    cursor.endEditBlock();
    start = textCursor();
    start.setKeepPositionOnInsert(false);
    start.setPosition(0);
    setTextCursor(start);
    doc->setUndoRedoEnabled(true);
    doc->setModified(false);
    m_given = text;
    m_givenHeld = true;
}

QString SummaryEdit::text() const
{
    if (m_givenHeld)
        return m_given;
    QTextCursor all(document());
    all.select(QTextCursor::Document);
    return textOf(all);
}

QString SummaryEdit::textOf(const QTextCursor &selection)
{
    const QTextDocument *doc = selection.document();
    const int start = selection.selectionStart();
    const int end = selection.selectionEnd();
    QString out;
    for (QTextBlock block = doc->findBlock(start); block.isValid() && block.position() <= end;
         block = block.next()) {
        if (block.position() > start && !isSoft(block))
            out += QLatin1Char('\n');
        const int from = std::max(start - block.position(), 0);
        const int to = std::min(end - block.position(), block.length() - 1);
        if (to > from)
            out += block.text().mid(from, to - from);
    }
    return out;
}

void SummaryEdit::insertLines(QTextCursor &cursor, const QString &text)
{
    forEachPiece(text, [&](QStringView piece, Before before) {
        if (before != Before::Nothing)
            cursor.insertBlock(withBreak(cursor.blockFormat(), before == Before::SoftBreak));
        cursor.insertText(piece.toString());
    });
}

// Moves the cursor over a soft break it stands at, in the direction the key
// goes, so that the key acts on the character beyond it as it would in one
// paragraph. Returns true when it handled the key itself.
bool SummaryEdit::crossSoftBreak(QKeyEvent *event)
{
    if (!isReadOnly()
        && matchesAny(event, {QKeySequence::InsertParagraphSeparator, QKeySequence::InsertLineSeparator})) {
        QTextCursor cursor = textCursor();
        cursor.beginEditBlock();
        cursor.removeSelectedText();
        // At a soft break the line ends there: the break becomes hard.
        QTextBlock block = cursor.block();
        if (cursor.atBlockEnd() && isSoft(block.next())) {
            block = block.next();
            cursor.setPosition(block.position());
        }
        if (cursor.atBlockStart() && isSoft(block))
            cursor.setBlockFormat(withBreak(block.blockFormat(), false));
        else
            cursor.insertBlock(withBreak(cursor.blockFormat(), false));
        cursor.endEditBlock();
        setTextCursor(cursor);
        ensureCursorVisible();
        return true;
    }

    const bool selecting = matchesAny(event, {QKeySequence::SelectPreviousChar, QKeySequence::SelectNextChar,
                                              QKeySequence::SelectPreviousWord, QKeySequence::SelectNextWord});
    const bool backward = matchesAny(event, {QKeySequence::MoveToPreviousChar, QKeySequence::MoveToPreviousWord,
                                             QKeySequence::SelectPreviousChar, QKeySequence::SelectPreviousWord,
                                             QKeySequence::DeleteStartOfWord})
                          || (event->key() == Qt::Key_Backspace && !isReadOnly());
    const bool forward = matchesAny(event, {QKeySequence::MoveToNextChar, QKeySequence::MoveToNextWord,
                                            QKeySequence::SelectNextChar, QKeySequence::SelectNextWord,
                                            QKeySequence::Delete, QKeySequence::DeleteEndOfWord});
    QTextCursor cursor = textCursor();
    if ((!backward && !forward) || (cursor.hasSelection() && !selecting))
        return false;

    int at = cursor.position();
    for (QTextBlock block = cursor.block();;) {
        if (backward && at == block.position() && isSoft(block)) {
            block = block.previous();
            at = block.position() + block.length() - 1;
        } else if (forward && at == block.position() + block.length() - 1 && isSoft(block.next())) {
            block = block.next();
            at = block.position();
        } else {
            break;
        }
    }
    if (at != cursor.position()) {
        cursor.setPosition(at, selecting ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
        setTextCursor(cursor);
    }
    return false;
}

void SummaryEdit::keyPressEvent(QKeyEvent *event)
{
    if (crossSoftBreak(event)) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

QMimeData *SummaryEdit::createMimeDataFromSelection() const
{
    auto *data = new QMimeData;
    data->setText(textOf(textCursor()));
    return data;
}

void SummaryEdit::insertFromMimeData(const QMimeData *source)
{
    if (isReadOnly() || !source->hasText())
        return;
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    insertLines(cursor, source->text());
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
}
