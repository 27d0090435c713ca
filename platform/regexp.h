// The regular-expression component ("VBScript.RegExp"): ECMAScript-style patterns
// over UTF-16 text, with the component's properties, match collection and
// replacement syntax. Offsets count UTF-16 units from 0.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// One element of a match collection.
struct RegExpMatch {
  std::u16string value;
  int firstIndex = 0;
  // Every capture group of the pattern in the order of its opening parenthesis;
  // a group that took no part in the match is empty.
  std::vector<std::u16string> subMatches;
};

using MatchCollection = std::vector<RegExpMatch>;

class RegExp {
 public:
  RegExp();
  ~RegExp();
  RegExp(const RegExp&) = delete;
  RegExp& operator=(const RegExp&) = delete;

  bool IgnoreCase() const { return ignoreCase_; }
  void SetIgnoreCase(bool on);
  // "^" and "$" also match at line feeds.
  bool Multiline() const { return multiline_; }
  void SetMultiline(bool on);
  // Execute returns every match and Replace replaces every match, else only the first.
  bool Global() const { return global_; }
  void SetGlobal(bool on) { global_ = on; }
  const std::u16string& Pattern() const { return pattern_; }
  void SetPattern(std::u16string_view pattern);

  // Null when the pattern is invalid, or when matching exceeds its step limit
  // (a pattern that backtracks without end fails instead of hanging).
  std::shared_ptr<const MatchCollection> Execute(std::u16string_view subject) const;
  // subject with the matches replaced; "$$", "$&", "$`", "$'" and "$1" to "$99"
  // are expanded, any other "$" stays literal. Nullopt when Execute would be null.
  std::optional<std::u16string> Replace(std::u16string_view subject,
                                        std::u16string_view replacement) const;

 private:
  struct Compiled;
  const Compiled* Compile() const;

  bool ignoreCase_ = false;
  bool multiline_ = false;
  bool global_ = false;
  std::u16string pattern_;
  // Compiled on first use, dropped when the pattern or a matching option changes.
  mutable std::unique_ptr<Compiled> compiled_;
  mutable bool compileFailed_ = false;
};

// Creates a new component object, as creating "VBScript.RegExp" does.
std::shared_ptr<RegExp> CreateRegExp();

}  // namespace platform
