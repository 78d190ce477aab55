#pragma once

#include <QString>

class QWidget;

// One-line boxes. Qt cuts a text typed or pasted into a one-line box at
// 32,767 characters without a word; the program's boxes take texts of any
// length instead, and a text that is to be stored in one line is checked
// against the longest the program keeps, so that a longer one is refused with
// a message naming the field rather than stored cut short.
namespace lineinput {

// The longest text the program stores from a one-line box, in characters.
inline constexpr int kLongest = 32767;

// Lets every one-line box below window (editable combo boxes too) take texts
// of any length.
void liftLimits(QWidget *window);

// True when the text fits in one line; otherwise says so in a message that
// names the field, and returns false.
bool fits(QWidget *parent, const QString &field, const QString &text);

} // namespace lineinput
