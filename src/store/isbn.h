#pragma once

#include <QString>
#include <QStringView>

// International Standard Book Numbers: the one rule by which the program
// checks, converts and compares them. Hyphens and blanks are ignored, an x
// counts as X; an ISBN-10 ends in a check digit or X, an ISBN-13 in a check
// digit; an ISBN-13 of the 978 range has an ISBN-10, one of 979 has none.
namespace isbn {

enum class Kind {
    None,   // neither ten nor thirteen places of the right kind
    Isbn10, // nine digits and a digit or X
    Isbn13, // thirteen digits
};

// The ISBN without hyphens and blanks, letters in upper case.
QString compact(QStringView text);
// What the compacted text looks like, its check digit not yet judged.
Kind kindOf(QStringView text);
// Whether the text is an ISBN-10 or ISBN-13 whose check digit is right.
bool isValid(QStringView text);
// The check character an ISBN of that kind must end in: for the nine or
// twelve places before it.
QChar checkCharacter(QStringView compacted, Kind kind);

// The ISBN-13 of a valid ISBN-10 ("" for anything else).
QString toIsbn13(QStringView text);
// The ISBN-10 of a valid ISBN-13 of the 978 range ("" for anything else,
// a 979 number among them).
QString toIsbn10(QStringView text);

// The key by which two ISBNs are the same book: the compacted text, an
// ISBN-10 (by its shape) turned into its ISBN-13. "" for no ISBN.
QString key(QStringView text);

} // namespace isbn
