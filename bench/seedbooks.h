#pragma once

#include <QtGlobal>

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The made-up books of a large catalogue, as one person's collection looks:
// mostly Chinese titles from two characters to long titles with a subtitle
// and a volume, a few Latin ones; about thirty categories of very different
// sizes; thousands of authors, some with many books; a few hundred presses;
// books lent to and borrowed from a few hundred book friends, with the loan
// date; prices as typed, summaries of every length.
//
// Every book is made from its own number, so a count always gives the same
// books, and the first books of a larger catalogue are those of a smaller.
namespace seed {

// splitmix64: small, fast and the same everywhere.
class Random
{
public:
    explicit Random(quint64 seed)
        : m_state(seed)
    {}

    quint64 next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return int(next() % quint64(n)); }
    int between(int low, int high) { return low + below(high - low + 1); }
    bool percent(int p) { return below(100) < p; }
    // A number in [0, 1).
    double unit() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    // An index below n, the low ones far more often: a few authors, presses
    // or friends account for many books.
    int skewed(int n, double power = 2.5);
    std::string_view pick(std::span<const std::string_view> items) { return items[size_t(below(int(items.size())))]; }

private:
    quint64 m_state;
};

// The names the books draw on, also stored in the catalogue's lists (the
// author, publisher and book friend lists the book dialogs offer).
struct Pools
{
    std::vector<std::string> categories;
    std::vector<std::string> authors;    // Chinese names, then translated names, then Latin names
    size_t translatedFrom = 0;           // the first translated name
    size_t latinFrom = 0;                // the first Latin name
    std::vector<std::string> publishers; // Chinese presses, then foreign ones
    size_t foreignFrom = 0;
    std::vector<std::string> readers;
};

// The pools, the same every time.
const Pools &pools();

// One book as it is stored; a missing optional is SQL NULL.
struct Book
{
    std::string name, cate, author, language, pub, buya, note;
    std::optional<std::string> author2, isbn, pubd, buyd, value, reader, loand;
    std::optional<int> pages;
    int rating = 1;
    int loan = 1; // 1 own copy, 2 borrowed, 3 lent
    int readed = 1;
};

// Makes book number index (from 0) into book.
void makeBook(int index, Book &book);

} // namespace seed
