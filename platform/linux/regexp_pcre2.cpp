// The regular-expression component over PCRE2's 16-bit library.
//
// Options for the component's dialect (ECMAScript-style):
// - PCRE2_UTF: the subject is UTF-16 converted from code page 936, which has no
//   characters outside the basic plane, so it is always valid UTF-16; UTF mode
//   gives case-insensitive matching of Greek, Cyrillic and full-width letters
//   (all in code page 936) as the component does. Offsets stay UTF-16 units.
// - PCRE2_NEVER_UCP: "\w", "\d", "\s" and "\b" stay ASCII, even if a pattern
//   starts with "(*UCP)".
// - PCRE2_ALT_BSUX: "\uXXXX" and "\xXX" escapes.
// - PCRE2_MATCH_UNSET_BACKREF: a back-reference to an unset group matches empty.
// - PCRE2_DOLLAR_ENDONLY: without multiline "$" matches only at the very end.
// - PCRE2_ALLOW_EMPTY_CLASS: "[]" matches nothing and "[^]" any character.
// - Line feed is the only newline: "." matches anything else, and the multiline
//   anchors match around line feeds.
#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include "platform/linux/regexp_spans.h"
#include "platform/regexp.h"

namespace platform {
namespace {

// Steps the engine may take per match before the component gives up.
constexpr uint32_t kMatchLimit = 1'000'000;
constexpr uint32_t kHeapLimitKiB = 16 * 1024;

PCRE2_SPTR16 Units(std::u16string_view text) {
  return reinterpret_cast<PCRE2_SPTR16>(text.data());
}

bool IsHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Where the search goes on after an empty match: one character further.
std::size_t AfterEmptyMatch(std::u16string_view subject, std::size_t at) {
  if (at + 1 < subject.size() && IsHighSurrogate(subject[at]) && IsLowSurrogate(subject[at + 1])) {
    return at + 2;
  }
  return at + 1;
}

}  // namespace

struct RegExp::Compiled {
  pcre2_code_16* code = nullptr;
  pcre2_match_context_16* context = nullptr;
  uint32_t groupCount = 0;
  ~Compiled() {
    pcre2_match_context_free_16(context);
    pcre2_code_free_16(code);
  }
};

namespace {

// Every match (or the first only), in order; false when matching fails with an
// error rather than ending.
bool FindMatches(const RegExp& regExp, pcre2_code_16* code, pcre2_match_context_16* context,
                 uint32_t groupCount, std::u16string_view subject, std::vector<MatchSpans>& found) {
  pcre2_match_data_16* data = pcre2_match_data_create_from_pattern_16(code, nullptr);
  if (data == nullptr) return false;
  bool ok = true;
  std::size_t offset = 0;
  while (offset <= subject.size()) {
    const int rc = pcre2_match_16(code, Units(subject), subject.size(), offset, 0, data, context);
    if (rc == PCRE2_ERROR_NOMATCH) break;
    if (rc < 0) {
      ok = false;
      break;
    }
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer_16(data);
    MatchSpans match;
    match.whole = {ovector[0], ovector[1], true};
    for (uint32_t group = 1; group <= groupCount; ++group) {
      const bool set = static_cast<int>(group) < rc && ovector[2 * group] != PCRE2_UNSET;
      match.groups.push_back(set ? Span{ovector[2 * group], ovector[2 * group + 1], true} : Span{});
    }
    found.push_back(match);
    if (!regExp.Global()) break;
    offset = match.whole.end > match.whole.start ? match.whole.end
                                                 : AfterEmptyMatch(subject, match.whole.end);
  }
  pcre2_match_data_free_16(data);
  return ok;
}

}  // namespace

RegExp::RegExp() = default;
RegExp::~RegExp() = default;

void RegExp::SetIgnoreCase(bool on) {
  ignoreCase_ = on;
  compiled_.reset();
  compileFailed_ = false;
}

void RegExp::SetMultiline(bool on) {
  multiline_ = on;
  compiled_.reset();
  compileFailed_ = false;
}

void RegExp::SetPattern(std::u16string_view pattern) {
  pattern_ = pattern;
  compiled_.reset();
  compileFailed_ = false;
}

const RegExp::Compiled* RegExp::Compile() const {
  if (compiled_ || compileFailed_) return compiled_.get();
  uint32_t options = PCRE2_UTF | PCRE2_NEVER_UCP | PCRE2_NEVER_BACKSLASH_C | PCRE2_ALT_BSUX |
                     PCRE2_MATCH_UNSET_BACKREF | PCRE2_DOLLAR_ENDONLY | PCRE2_ALLOW_EMPTY_CLASS;
  if (ignoreCase_) options |= PCRE2_CASELESS;
  if (multiline_) options |= PCRE2_MULTILINE;
  pcre2_compile_context_16* compileContext = pcre2_compile_context_create_16(nullptr);
  if (compileContext == nullptr) return nullptr;
  pcre2_set_newline_16(compileContext, PCRE2_NEWLINE_LF);
  auto compiled = std::make_unique<Compiled>();
  int error = 0;
  PCRE2_SIZE errorOffset = 0;
  compiled->code = pcre2_compile_16(Units(pattern_), pattern_.size(), options, &error, &errorOffset,
                                    compileContext);
  pcre2_compile_context_free_16(compileContext);
  compiled->context = pcre2_match_context_create_16(nullptr);
  if (compiled->code == nullptr || compiled->context == nullptr) {
    compileFailed_ = true;
    return nullptr;
  }
  pcre2_set_match_limit_16(compiled->context, kMatchLimit);
  pcre2_set_heap_limit_16(compiled->context, kHeapLimitKiB);
  pcre2_pattern_info_16(compiled->code, PCRE2_INFO_CAPTURECOUNT, &compiled->groupCount);
  compiled_ = std::move(compiled);
  return compiled_.get();
}

std::shared_ptr<const MatchCollection> RegExp::Execute(std::u16string_view subject) const {
  const Compiled* compiled = Compile();
  std::vector<MatchSpans> found;
  if (compiled == nullptr || !FindMatches(*this, compiled->code, compiled->context,
                                          compiled->groupCount, subject, found)) {
    return nullptr;
  }
  auto matches = std::make_shared<MatchCollection>();
  for (const MatchSpans& spans : found) {
    RegExpMatch& match = matches->emplace_back();
    match.value = subject.substr(spans.whole.start, spans.whole.end - spans.whole.start);
    match.firstIndex = static_cast<int>(spans.whole.start);
    for (const Span& group : spans.groups) {
      match.subMatches.emplace_back(group.set ? subject.substr(group.start, group.end - group.start)
                                              : std::u16string_view());
    }
  }
  return matches;
}

std::optional<std::u16string> RegExp::Replace(std::u16string_view subject,
                                              std::u16string_view replacement) const {
  const Compiled* compiled = Compile();
  std::vector<MatchSpans> found;
  if (compiled == nullptr || !FindMatches(*this, compiled->code, compiled->context,
                                          compiled->groupCount, subject, found)) {
    return std::nullopt;
  }
  return ReplaceMatches(subject, found, replacement);
}

std::shared_ptr<RegExp> CreateRegExp() {
  return std::make_shared<RegExp>();
}

}  // namespace platform
