// Views into cookie texts for merging without copies: splitting, names and a set
// of seen texts. Each follows the rules of the primitive it stands for exactly.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace paperdl::cookie_views {

using Pieces = std::vector<std::string_view>;

// SplitText's rules: delimiter (not empty) matched at character boundaries only, a
// lone lead byte at the end ends the scan, no empty last piece after a final delimiter.
Pieces Split(std::string_view text, std::string_view delimiter);

// Whether stepping through text by characters ends on a lead byte without its trail byte.
bool EndsInLoneLeadByte(std::string_view text);

// CookieName's rules: the text before the first "=" (or all of it), trimmed as
// TrimBoth trims (blanks and full-width blanks; a lone lead byte at the end dropped).
std::string_view Name(std::string_view pair);

// A set of views with open addressing: no allocation per insertion. The viewed
// texts must outlive the set.
class ViewSet {
 public:
  explicit ViewSet(std::size_t expectedCount);
  // False when an equal text is already in the set.
  bool Insert(std::string_view text);

 private:
  void Grow();
  void Place(std::uint32_t number);
  std::vector<std::string_view> texts_;  // in order of insertion
  std::vector<std::uint32_t> slots_;     // 0 for a free slot, else 1 + index into texts_
};

}  // namespace paperdl::cookie_views
