#include "textutil/cookies.h"

#include <algorithm>
#include <string_view>

#include "textutil/cookie_views.h"

namespace paperdl {
namespace {

using cookie_views::Pieces;
using cookie_views::ViewSet;

constexpr std::string_view kPairSeparator = "; ";
constexpr std::string_view kDeletedMark = "=deleted";

// The items of text, split at delimiter as SplitText does, or its characters.
TextList SplitItems(const Text& text, const Text& delimiter, bool splitAtDelimiter) {
  TextList items;
  if (splitAtDelimiter) {
    items = SplitText(text, delimiter);
  } else {
    SplitCharacters(text, items);
  }
  return items;
}

// Items byte-equal to an earlier one are dropped; the rest are joined by delimiter.
// A set of the items seen stands in for a scan of the list per item.
template <typename Items>
Text JoinFirstOfEach(const Items& items, std::string_view delimiter) {
  ViewSet seen(items.size());
  Text joined;
  std::size_t length = 0;
  for (std::string_view item : items) length += item.size() + delimiter.size();
  joined.reserve(length);
  for (std::string_view item : items) {
    if (!seen.Insert(item)) continue;
    joined += item;
    joined += delimiter;
  }
  joined.resize(joined.size() - std::min(joined.size(), delimiter.size()));
  return joined;
}

// A trailing ";" becomes a separator, so the split yields no ";"-ended last pair.
void TrimCookieText(Text& cookies) {
  cookies = TrimBoth(cookies);
  if (!cookies.empty() && cookies.back() == ';') cookies += ' ';
}

bool IsDeletedPair(std::string_view pair) {
  return pair.ends_with(kDeletedMark);
}

// Old pairs whose name no new pair (nor an earlier carried pair) has are carried over.
// A set of names keeps this linear where a scan of the list per pair would be quadratic.
void CarryOverOldPairs(const Pieces& oldPairs, Pieces& newPairs) {
  ViewSet names(newPairs.size() + oldPairs.size());
  for (std::string_view pair : newPairs) names.Insert(cookie_views::Name(pair));
  for (std::string_view pair : oldPairs) {
    if (names.Insert(cookie_views::Name(pair))) newPairs.push_back(pair);
  }
}

// The pairs that splitting the kept pairs joined by "; " (the last one cut) would
// yield. That is the same list without a final empty pair, whose separator is cut,
// unless a pair ends in a lone lead byte and runs into its follower; then the text
// is joined into storage and split for real.
Pieces PairsOfJoinedText(Pieces pairs, Text& storage) {
  if (std::none_of(pairs.begin(), pairs.end(), cookie_views::EndsInLoneLeadByte)) {
    if (!pairs.empty() && pairs.back().empty()) pairs.pop_back();
    return pairs;
  }
  for (std::string_view pair : pairs) {
    storage += pair;
    storage += kPairSeparator;
  }
  storage.resize(storage.size() - kPairSeparator.size());
  return cookie_views::Split(storage, kPairSeparator);
}

}  // namespace

Text MergeCookies(Text& oldCookies, Text& newCookies) {
  TrimCookieText(oldCookies);
  TrimCookieText(newCookies);
  Pieces pairs = cookie_views::Split(newCookies, kPairSeparator);
  CarryOverOldPairs(cookie_views::Split(oldCookies, kPairSeparator), pairs);

  std::erase_if(pairs, IsDeletedPair);
  Text joined;
  oldCookies = JoinFirstOfEach(PairsOfJoinedText(std::move(pairs), joined), kPairSeparator);
  return oldCookies;
}

Text CookieName(const Text& pair) {
  const int equals = FindText(pair, "=");
  if (equals == -1) return TrimBoth(pair);
  return TrimBoth(TextLeft(pair, equals - 1));
}

bool HasCookieName(const TextList& pairs, const Text& name) {
  for (const Text& pair : pairs) {
    if (CookieName(pair) == name) return true;
  }
  return false;
}

Text SplitUniqueJoin(const Text& text, const Text& delimiter, bool splitAtDelimiter) {
  return JoinFirstOfEach(SplitItems(text, delimiter, splitAtDelimiter), delimiter);
}

int SplitCharacters(const Text& text, TextList& characters) {
  characters.clear();
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n) {
    const auto byte = static_cast<unsigned char>(text[i]);
    std::size_t length = 1;
    if (i + 1 < n && (byte >= 0x81 || (byte == '\r' && text[i + 1] == '\n'))) length = 2;
    characters.push_back(text.substr(i, length));
    i += length;
  }
  return static_cast<int>(characters.size());
}

int FindInList(const TextList& list, const Text& item) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i] == item) return static_cast<int>(i) + 1;
  }
  return -1;
}

}  // namespace paperdl
