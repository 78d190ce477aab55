#pragma once

#include <QString>

// Book and list numbers taken from the windows' rows. Every value reaches a
// command bound to one of its "?" marks (Dataset::setCommandText), never
// joined into the text; a number is checked to be a whole number first.
namespace sqlquote {

// Returns the number's text without surrounding blanks; throws UserError
// when the text is not a whole number.
QString checkedId(const QString &text);
// The same, as the number to bind.
qint64 checkedNumber(const QString &text);

} // namespace sqlquote
