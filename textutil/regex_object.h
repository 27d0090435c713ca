// RegexObject: regular-expression matching over Text, in the dialect of the
// automation component it stands for (ECMAScript-style patterns).
#pragma once

#include <memory>

#include "textutil/text.h"

namespace paperdl {

class RegexObject {
 public:
  RegexObject();
  ~RegexObject();
  RegexObject(const RegexObject& other);
  RegexObject& operator=(const RegexObject& other);

  bool Execute(const Text& pattern, const Text& subject, bool caseSensitive = false,
               bool multiline = true, bool global = true, bool quotePlaceholder = false);
  Text GetPattern() const;
  Text Replace(const Text& replacement = {}) const;
  int MatchCount() const;
  // position, when given, receives the 0-based byte offset found for the match (or -2).
  Text MatchText(int index, int* position = nullptr) const;
  Text SubMatchText(int matchIndex, int subMatchIndex, int* position = nullptr) const;
  int SubMatchCount() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace paperdl
