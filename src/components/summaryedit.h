#pragma once

#include <QPlainTextEdit>

// The box of a book's summary. It holds the stored text exactly, however
// long its lines: a text edit lays out a whole paragraph at once, in time
// that grows faster than its length when it has nowhere to wrap, so a line
// of hundreds of thousands of characters would freeze the window. Such a
// line is held as several paragraphs joined by soft breaks, marked in the
// format of the paragraph they open. A soft break is nothing of the text:
// the user deletes, moves, copies and undoes across it as across any other
// place, and text() gives the line back whole.
class SummaryEdit : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit SummaryEdit(QWidget *parent = nullptr);

    // The text with "\n" between its lines.
    void setText(const QString &text);
    // The text shown, its lines joined by "\n"; exactly what setText() was
    // given while nothing has changed it.
    QString text() const;

    // A selection's text or a whole document's, soft breaks left out.
    static QString textOf(const QTextCursor &selection);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    QMimeData *createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    // Inserts text at the cursor: lines end in hard breaks, long lines are
    // held in pieces.
    void insertLines(QTextCursor &cursor, const QString &text);
    bool crossSoftBreak(QKeyEvent *event);

    QString m_given;
    bool m_givenHeld = false;
};
