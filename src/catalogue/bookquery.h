#pragma once

#include "findcommand.h"

#include <QString>

// Which books a list shows: every book, the books of one category, or the
// books a search finds (see findcommand.h), each in the store's order.
struct BookQuery
{
    enum class Kind { All, InCategory, Matching };

    static BookQuery all() { return {}; }
    static BookQuery inCategory(const QString &category) { return {Kind::InCategory, category, {}}; }
    static BookQuery matching(const QString &word, const findcommand::Options &options)
    {
        return {Kind::Matching, word, options};
    }

    Kind kind = Kind::All;
    QString text; // the category, or the word searched for
    findcommand::Options options;
};
