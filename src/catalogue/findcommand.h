#pragma once

#include <QString>
#include <QVariant>

// The command text of the book search: the title always, and the columns of
// the checked options, each as a "like" pattern holding the word anywhere.
namespace findcommand {

struct Options
{
    bool cate = false;   // the category
    bool author = false; // the first and the second author
    bool note = false;   // the summary
    bool reader = false; // the lending counterparty
};

// The command and the one value bound to it: the word between two "%". "%"
// and "_" in the word keep their pattern meaning; a single quote is matched
// as an ordinary character.
struct Command
{
    QString text;
    QVariantList values;
};
Command build(const QString &word, const Options &options);

// The longest word, in bytes of UTF-8: SQLite refuses a "like" pattern of
// more than 50,000 bytes, and the pattern is the word between two "%".
inline constexpr qsizetype kLongestWord = 50000 - 2;

// Why the word cannot be searched for, as the message to the user; empty
// when it can. SQLite's "like" ends its pattern at a zero character, so a
// word holding one would find the wrong books; a word longer than
// kLongestWord makes SQLite refuse the command.
QString refusal(const QString &word);

} // namespace findcommand
