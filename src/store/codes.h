#pragma once

#include <QString>

// The three code columns of a book and the texts shown for them. Codes are
// stored and compared as their decimal text: "1" to "5", "1" to "3", "1" to "2".
namespace codes {

// Each returns the display text for a code, or a null QString when the text
// matches no code.
QString ratingText(QStringView code);
QString loanText(QStringView code);
QString readText(QStringView code);

inline constexpr int kRatingCount = 5;
inline constexpr int kLoanCount = 3;
inline constexpr int kReadCount = 2;

// Loan codes.
inline constexpr QStringView kOwnCopy = u"1";
inline constexpr QStringView kBorrowedIn = u"2";
inline constexpr QStringView kLentOut = u"3";

} // namespace codes
