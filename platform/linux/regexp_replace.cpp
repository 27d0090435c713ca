#include "platform/linux/regexp_spans.h"

namespace platform {
namespace {

bool IsDigit(char16_t unit) {
  return unit >= u'0' && unit <= u'9';
}

std::u16string_view TextOf(std::u16string_view subject, const Span& span) {
  return span.set ? subject.substr(span.start, span.end - span.start) : std::u16string_view();
}

// The group number a "$" at index names, and how many digits name it; 0 when none.
std::size_t GroupReference(std::u16string_view replacement, std::size_t index,
                           std::size_t groupCount, std::size_t* digits) {
  if (index + 1 >= replacement.size() || !IsDigit(replacement[index + 1])) return 0;
  const std::size_t first = replacement[index + 1] - u'0';
  if (index + 2 < replacement.size() && IsDigit(replacement[index + 2])) {
    const std::size_t two = first * 10 + (replacement[index + 2] - u'0');
    if (two >= 1 && two <= groupCount) {
      *digits = 2;
      return two;
    }
  }
  if (first >= 1 && first <= groupCount) {
    *digits = 1;
    return first;
  }
  return 0;
}

}  // namespace

std::u16string ExpandReplacement(std::u16string_view subject, const MatchSpans& match,
                                 std::u16string_view replacement) {
  std::u16string out;
  for (std::size_t i = 0; i < replacement.size(); ++i) {
    const char16_t next = i + 1 < replacement.size() ? replacement[i + 1] : u'\0';
    std::size_t digits = 0;
    if (replacement[i] != u'$') {
      out += replacement[i];
    } else if (next == u'$') {
      out += u'$';
      ++i;
    } else if (next == u'&') {
      out += TextOf(subject, match.whole);
      ++i;
    } else if (next == u'`') {
      out += subject.substr(0, match.whole.start);
      ++i;
    } else if (next == u'\'') {
      out += subject.substr(match.whole.end);
      ++i;
    } else if (const std::size_t group =
                   GroupReference(replacement, i, match.groups.size(), &digits)) {
      out += TextOf(subject, match.groups[group - 1]);
      i += digits;
    } else {
      out += u'$';
    }
  }
  return out;
}

std::u16string ReplaceMatches(std::u16string_view subject, const std::vector<MatchSpans>& matches,
                              std::u16string_view replacement) {
  std::u16string out;
  std::size_t copiedUpTo = 0;
  for (const MatchSpans& match : matches) {
    out += subject.substr(copiedUpTo, match.whole.start - copiedUpTo);
    out += ExpandReplacement(subject, match, replacement);
    copiedUpTo = match.whole.end;
  }
  out += subject.substr(copiedUpTo);
  return out;
}

}  // namespace platform
