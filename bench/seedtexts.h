#pragma once

#include <span>
#include <string_view>

// The words a made-up catalogue is made of: category names, title words,
// names of people, publishers, places and summary sentences. UTF-8.
namespace seedtexts {

using Words = std::span<const std::string_view>;

// About thirty categories, the most common first.
Words categories();

// Titles: Chinese words, the short words that join them, the endings of
// non-fiction titles, the volumes of a series, Latin words.
Words titleWords();
Words titleJoins();
Words titleEndings();
Words volumes();
Words latinWords();

// People: Chinese surnames and given names; foreign names as written in
// Latin letters, and as a translated name with its country.
Words surnames();
Words givenNames();
Words latinFirstNames();
Words latinLastNames();
Words countries();
Words translatedGiven();
Words translatedFamily();

// Publishers: regions and the kinds of press each region has, presses of
// their own name, foreign presses.
Words regions();
Words pressKinds();
Words namedPresses();
Words foreignPresses();

// Where books are bought, and the languages other than Chinese.
Words buyPlaces();
Words otherLanguages();

// Sentences a summary is made of.
Words summaryParts();

} // namespace seedtexts
