#pragma once

#include <QString>
#include <QStringView>

// The three code columns of a book and the texts shown for them. Codes are
// stored and compared as their decimal text: "1" to "5", "1" to "3", "1" to "2".
namespace codes {

inline constexpr int kRatingCount = 5;
inline constexpr int kLoanCount = 3;
inline constexpr int kReadCount = 2;

// Loan codes.
inline constexpr int kOwnCopy = 1;
inline constexpr int kBorrowedIn = 2;
inline constexpr int kLentOut = 3;

// The code a text stands for: 1 to 9 for exactly the texts "1" to "9", and 0
// for every other text (" 1", "01" and "" select nothing).
int number(QStringView text);

// The display text of a code, or a null view when the code has none.
QStringView ratingName(int code);
QStringView loanName(int code);
QStringView readName(int code);

// The same, from the code's text; a null QString when the text matches no code.
inline QString ratingText(QStringView code)
{
    return ratingName(number(code)).toString();
}
inline QString loanText(QStringView code)
{
    return loanName(number(code)).toString();
}
inline QString readText(QStringView code)
{
    return readName(number(code)).toString();
}

} // namespace codes
