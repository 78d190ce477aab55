#pragma once

#include <QString>

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

// The pieces are run together as they are, with no blank between them. "%"
// and "_" in the word keep their pattern meaning; a single quote is matched
// as an ordinary character.
QString build(const QString &word, const Options &options);

} // namespace findcommand
