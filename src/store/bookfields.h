#pragma once

#include <QString>
#include <QStringView>

// The columns of table book and the name the program shows for each: the
// book list's header for the columns it shows, and a plain name for the
// others (the summary, the loan date, the number).
namespace bookfields {

// The caption of a column of book; the column's own name for an unknown one.
QString caption(QStringView column);

// A field's stored text as the user reads it: a code as its display text
// ("非常喜爱", "已借出", "已读"), everything else as it is.
QString shownText(QStringView column, const QString &text);

} // namespace bookfields
