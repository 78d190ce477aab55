#pragma once

#include <QString>

// Values joined into command texts. Names stand between single quotes in the
// command; quoteName() doubles the quotes inside a name so that the name
// selects exactly the rows equal to it. A zero character inside a name comes
// out as '||char(0)||', so that 'a<zero>b' becomes the expression
// 'a'||char(0)||'b': || binds tighter than = and LIKE, so the comparison
// still takes the whole name. Numbers stand unquoted; checkedId() makes sure
// such a text really is a whole number before it is joined.
namespace sqlquote {

QString quoteName(const QString &name);

// Returns the number's text without surrounding blanks; throws StoreError
// when the text is not a whole number.
QString checkedId(const QString &text);

} // namespace sqlquote
