#include "seedbooks.h"

#include "seedtexts.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <numeric>

namespace seed {
namespace {

constexpr quint64 kSeed = 20240601;
constexpr size_t kChineseAuthors = 4800;
constexpr size_t kTranslatedAuthors = 700;
constexpr size_t kLatinAuthors = 500;
constexpr size_t kReaders = 320;

size_t charCount(std::string_view utf8)
{
    return size_t(
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// Cuts the text after its first chars characters.
void truncateChars(std::string &utf8, size_t chars)
{
    size_t n = 0;
    for (size_t i = 0; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80 && n++ == chars) {
            utf8.resize(i);
            return;
        }
    }
}

// count distinct names from all combinations of the two lists, in an order
// of their own (a seeded shuffle).
std::vector<std::string> combine(Random &r, seedtexts::Words first, std::string_view between, seedtexts::Words second,
                                 size_t count, std::string_view prefix = {})
{
    std::vector<std::string> all;
    all.reserve(first.size() * second.size());
    for (const std::string_view a : first)
        for (const std::string_view b : second)
            all.push_back(std::string(prefix) + std::string(a) + std::string(between) + std::string(b));
    for (size_t i = all.size(); i > 1; --i)
        std::swap(all[i - 1], all[size_t(r.below(int(i)))]);
    all.resize(std::min(count, all.size()));
    return all;
}

Pools makePools()
{
    Random r(kSeed);
    Pools p;
    for (const std::string_view c : seedtexts::categories())
        p.categories.emplace_back(c);

    p.authors = combine(r, seedtexts::surnames(), "", seedtexts::givenNames(), kChineseAuthors);
    p.translatedFrom = p.authors.size();
    for (const std::string_view country : seedtexts::countries()) {
        for (std::string &name :
             combine(r, seedtexts::translatedGiven(), "·", seedtexts::translatedFamily(),
                     kTranslatedAuthors / seedtexts::countries().size(), std::string(country) + ' '))
            p.authors.push_back(std::move(name));
    }
    p.latinFrom = p.authors.size();
    for (std::string &name : combine(r, seedtexts::latinFirstNames(), " ", seedtexts::latinLastNames(), kLatinAuthors))
        p.authors.push_back(std::move(name));

    for (const std::string_view press : seedtexts::namedPresses())
        p.publishers.emplace_back(press);
    for (std::string &press : combine(r, seedtexts::regions(), "", seedtexts::pressKinds(), 400))
        p.publishers.push_back(std::move(press));
    p.foreignFrom = p.publishers.size();
    for (const std::string_view press : seedtexts::foreignPresses())
        p.publishers.emplace_back(press);

    p.readers = combine(r, seedtexts::surnames(), "", seedtexts::givenNames(), kReaders - 40);
    // Friends called as friends call each other.
    for (std::string &name :
         combine(r, std::array{std::string_view("小"), std::string_view("老")}, "", seedtexts::surnames(), 40))
        p.readers.push_back(std::move(name));
    return p;
}

std::string chineseTitle(Random &r)
{
    using namespace seedtexts;
    std::string t;
    auto word = [&] { t += r.pick(titleWords()); };
    auto join = [&] { t += r.pick(titleJoins()); };
    auto ending = [&] { t += r.pick(titleEndings()); };
    const int pattern = r.below(100);
    if (pattern < 10) { // 活着, 万历十五年
        word();
    } else if (pattern < 35) { // 城市的记忆
        word(), join(), word();
    } else if (pattern < 55) { // 城市记忆简史
        word(), word(), ending();
    } else if (pattern < 65) { // 河流森林黎明
        word(), word(), word();
    } else if (pattern < 80) { // 城市的记忆：灯塔钟表研究
        word(), join(), word(), t += "：", word(), word(), ending();
    } else if (pattern < 95) { // 三国全集（第二卷）
        word(), word(), ending(), t += r.pick(volumes());
    } else { // 海洋与岛屿之间的故事：江南园林与村庄的一百年（插图本）
        word(), join(), word(), t += "之间的", word(), t += "：", word(), word(), join(), word(), word(),
            t += "的一百年", t += r.pick(volumes());
    }
    truncateChars(t, 40);
    return t;
}

std::string latinTitle(Random &r)
{
    const int words = r.between(1, 7);
    const int style = r.below(100); // title case, lower case, upper case, as the words come
    std::string title;
    for (int i = 0; i < words; ++i) {
        std::string w(r.pick(seedtexts::latinWords()));
        if (style < 60) {
            if (i == 0 || w.size() > 3)
                w[0] = char(std::toupper(static_cast<unsigned char>(w[0])));
        } else if (style < 75) {
            std::transform(w.begin(), w.end(), w.begin(), [](char c) { return char(std::tolower(c)); });
        } else if (style < 85) {
            std::transform(w.begin(), w.end(), w.begin(), [](char c) { return char(std::toupper(c)); });
        }
        if (i > 0)
            title += ' ';
        title += w;
    }
    return title;
}

// The categories' shares: the first is the largest, the last a few books.
const std::vector<int> &categoryWeights()
{
    static const std::vector<int> weights = [] {
        std::vector<int> w;
        int sum = 0;
        for (size_t k = 0; k < seedtexts::categories().size(); ++k) {
            sum += int(10000.0 / std::pow(double(k) + 1.5, 1.1));
            w.push_back(sum);
        }
        return w;
    }();
    return weights;
}

const std::string &pickCategory(Random &r)
{
    const std::vector<int> &cumulative = categoryWeights();
    const int roll = r.below(cumulative.back());
    const auto at = std::upper_bound(cumulative.begin(), cumulative.end(), roll);
    return pools().categories[size_t(at - cumulative.begin())];
}

const std::string &pickAuthor(Random &r, bool latinBook)
{
    const Pools &p = pools();
    const int roll = r.below(100);
    size_t from = 0, to = p.translatedFrom;
    if (latinBook || roll >= 95)
        from = p.latinFrom, to = p.authors.size();
    else if (roll >= 80)
        from = p.translatedFrom, to = p.latinFrom;
    return p.authors[from + size_t(r.skewed(int(to - from)))];
}

std::string isbn(Random &r, bool latinBook)
{
    std::string digits = latinBook ? (r.percent(50) ? "9780" : "9781") : "9787";
    while (digits.size() < 12)
        digits += char('0' + r.below(10));
    int sum = 0;
    for (size_t i = 0; i < 12; ++i)
        sum += (digits[i] - '0') * (i % 2 ? 3 : 1);
    digits += char('0' + (10 - sum % 10) % 10);
    if (r.percent(20)) // as printed on the cover
        return digits.substr(0, 3) + '-' + digits.substr(3, 1) + '-' + digits.substr(4, 4) + '-' + digits.substr(8, 4) +
               '-' + digits.substr(12, 1);
    return digits;
}

std::string price(Random &r)
{
    const int yuan = r.percent(80) ? r.between(8, 99) : r.between(100, 680);
    switch (r.below(10)) {
    case 0:
    case 1:
    case 2:
        return std::to_string(yuan) + '.' + char('0' + r.between(1, 9)); // 128.5
    case 3:
        return std::to_string(yuan) + ".00"; // 59.00
    case 4:
        return std::to_string(yuan) + '.' + char('0' + r.below(10)) + '0'; // 35.80
    default:
        return std::to_string(yuan); // 35
    }
}

std::string summary(Random &r)
{
    // Most summaries are a line or two, some run to a long paragraph.
    const size_t target = 20 + size_t(std::pow(r.unit(), 1.6) * 300.0);
    std::string text;
    while (charCount(text) < target)
        text += r.pick(seedtexts::summaryParts());
    truncateChars(text, target);
    return text;
}

// Days as Julian day numbers, written as ISO dates.
constexpr int kFirstDay = 2433283; // 1950-01-01
constexpr int kLastDay = 2460492;  // 2024-06-30

std::string iso(int julianDay)
{
    // Richards' algorithm for the Gregorian calendar.
    const int f = julianDay + 1401 + (((4 * julianDay + 274277) / 146097) * 3) / 4 - 38;
    const int e = 4 * f + 3;
    const int h = 5 * ((e % 1461) / 4) + 2;
    const int day = (h % 153) / 5 + 1;
    const int month = (h / 153 + 2) % 12 + 1;
    const int year = e / 1461 - 4716 + (14 - month) / 12;
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
    return text;
}

} // namespace

int Random::skewed(int n, double power)
{
    return std::min(n - 1, int(std::pow(unit(), power) * double(n)));
}

const Pools &pools()
{
    static const Pools p = makePools();
    return p;
}

void makeBook(int index, Book &b)
{
    Random r(kSeed ^ (quint64(index) * 0xD1B54A32D192ED03ull));
    const Pools &p = pools();
    const bool latinBook = r.percent(12);

    b.name = latinBook ? latinTitle(r) : chineseTitle(r);
    b.cate = pickCategory(r);
    b.author = pickAuthor(r, latinBook);
    b.author2.reset();
    if (r.percent(30)) // a co-author, or the translator of a foreign book
        b.author2 =
            r.percent(50) ? p.authors[size_t(r.skewed(int(p.translatedFrom)))] + " 译" : pickAuthor(r, latinBook);
    else if (r.percent(20))
        b.author2 = std::string();

    b.language = latinBook ? (r.percent(85) ? "英文" : std::string(r.pick(seedtexts::otherLanguages())))
                           : (r.percent(92) ? "中文" : std::string(r.pick(seedtexts::otherLanguages())));
    b.pub = latinBook && r.percent(70)
                ? p.publishers[p.foreignFrom + size_t(r.below(int(p.publishers.size() - p.foreignFrom)))]
                : p.publishers[size_t(r.skewed(int(p.foreignFrom), 2.0))];

    const int published = kFirstDay + r.below(kLastDay - kFirstDay - 200);
    const int bought = published + r.below(std::min(3000, kLastDay - published) + 1);
    b.isbn = published < 2446067 /* 1985-01-01 */ && r.percent(60) ? std::nullopt : std::optional(isbn(r, latinBook));
    b.pubd = r.percent(2) ? std::nullopt : std::optional(iso(published));
    b.pages = r.percent(2) ? std::nullopt : std::optional(r.percent(70) ? r.between(60, 480) : r.between(481, 1600));
    b.buya = r.pick(seedtexts::buyPlaces());
    b.buyd = r.percent(3) ? std::nullopt : std::optional(iso(bought));
    b.value = r.percent(5) ? std::optional(std::string()) : std::optional(price(r));

    b.rating = r.percent(35) ? 2 : r.between(1, 5);
    const int loanRoll = r.below(100);
    b.loan = loanRoll < 88 ? 1 : (loanRoll < 93 ? 2 : 3);
    b.readed = r.percent(60) ? 1 : 2;
    if (b.loan == 1) {
        b.reader.reset();
        b.loand.reset();
    } else {
        b.reader = p.readers[size_t(r.skewed(int(p.readers.size()), 1.8))];
        b.loand = iso(bought + r.below(std::max(1, kLastDay - bought + 1)));
    }
    b.note = r.percent(8) ? std::string() : summary(r);
}

} // namespace seed
