#pragma once

#include <QString>

// Values joined into command texts. Names stand between single quotes in the
// command; quoteName() doubles the quotes inside a name so that the name
// selects exactly the rows equal to it. Numbers stand unquoted; checkedId()
// makes sure such a text really is a whole number before it is joined.
namespace sqlquote {

QString quoteName(const QString &name);

// Returns the number's text without surrounding blanks; throws StoreError
// when the text is not a whole number.
QString checkedId(const QString &text);

} // namespace sqlquote
