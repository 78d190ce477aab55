#pragma once

#include <QString>

// Before a new book is stored: is it already in the catalogue? A stored book
// is the same when its ISBN is (hyphens and blanks aside, an ISBN-10 and its
// ISBN-13 the same number), or else when its title and first author are.
namespace duplicatebook {

// The stored book the new one repeats, described for the user ("《书名》，
// 作者：…，ISBN：…，编号：…"); "" when there is none. Asks the data file in
// use; throws UserError when it cannot be read.
QString find(const QString &title, const QString &author, const QString &isbn);

} // namespace duplicatebook
