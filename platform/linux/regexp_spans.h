// Where a match and its groups lie in the subject, and the component's
// replacement syntax over them (no engine involved).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct Span {
  std::size_t start = 0;
  std::size_t end = 0;
  bool set = false;  // false for a group that took no part in the match
};

struct MatchSpans {
  Span whole;
  std::vector<Span> groups;
};

// The replacement for one match: "$$" a dollar, "$&" the match, "$`" the text
// before it, "$'" the text after it, "$n" and "$nn" group n (1 to 99; two digits
// when they name a group, else one; an unset group gives nothing). Any other "$"
// is literal, "$0" included.
std::u16string ExpandReplacement(std::u16string_view subject, const MatchSpans& match,
                                 std::u16string_view replacement);

// subject with every match in matches replaced by its expansion.
std::u16string ReplaceMatches(std::u16string_view subject, const std::vector<MatchSpans>& matches,
                              std::u16string_view replacement);

}  // namespace platform
