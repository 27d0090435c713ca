#include "textutil/regex_object.h"

#include "platform/codepage.h"
#include "platform/com.h"
#include "platform/regexp.h"
#include "textutil/markers.h"

namespace paperdl {
namespace {

std::u16string ToWide(const Text& text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int units =
      platform::MultiByteToWideChar(platform::kCodePage936, 0, text.data(), length, nullptr, 0);
  std::u16string wide(static_cast<std::size_t>(units), u'\0');
  const int written = platform::MultiByteToWideChar(platform::kCodePage936, 0, text.data(), length,
                                                    wide.data(), units);
  wide.resize(static_cast<std::size_t>(written));
  return wide;
}

Text FromWide(const std::u16string& wide) {
  if (wide.empty()) return {};
  const int length = static_cast<int>(wide.size());
  const int bytes =
      platform::WideCharToMultiByte(platform::kCodePage936, 0, wide.data(), length, nullptr, 0);
  Text text(static_cast<std::size_t>(bytes), '\0');
  const int written = platform::WideCharToMultiByte(platform::kCodePage936, 0, wide.data(), length,
                                                    text.data(), bytes);
  text.resize(static_cast<std::size_t>(written));
  return text;
}

}  // namespace

struct RegexObject::State {
  std::shared_ptr<platform::RegExp> regExp;
  std::shared_ptr<const platform::MatchCollection> matches;
  // The stored subject starts as the number 0, which reads as the text "0".
  Text subject = "0";

  // Element index - 1 of the collection, or null.
  const platform::RegExpMatch* MatchAt(int index) const {
    if (!matches || index < 1 || static_cast<std::size_t>(index) > matches->size()) return nullptr;
    return &(*matches)[static_cast<std::size_t>(index) - 1];
  }

  // The byte offset reported for found: FindText of it in the subject from the
  // match's character offset taken as a byte position, and with the case rule
  // inverted (IgnoreCase read back as text equals "0" exactly when it is off).
  int PositionOf(const Text& found, const platform::RegExpMatch* match) const {
    const bool ignoreCase = regExp && !regExp->IgnoreCase();
    const int firstIndex = match ? match->firstIndex : 0;
    return FindText(subject, found, firstIndex, ignoreCase) - 1;
  }
};

RegexObject::RegexObject() : state_(std::make_unique<State>()) {
  platform::CoInitialize();
}

RegexObject::~RegexObject() {
  state_.reset();
  platform::CoUninitialize();
}

// A copy initialises COM once more for itself, so each object's destruction balances.
RegexObject::RegexObject(const RegexObject& other)
    : state_(std::make_unique<State>(*other.state_)) {
  platform::CoInitialize();
}

RegexObject& RegexObject::operator=(const RegexObject& other) {
  if (this != &other) *state_ = *other.state_;
  return *this;
}

bool RegexObject::Execute(const Text& pattern, const Text& subject, bool caseSensitive,
                          bool multiline, bool global, bool quotePlaceholder) {
  // The earlier results are gone even when this run fails.
  state_->regExp.reset();
  state_->matches.reset();
  state_->regExp = platform::CreateRegExp();
  if (!state_->regExp) return false;
  platform::RegExp& regExp = *state_->regExp;
  regExp.SetIgnoreCase(!caseSensitive);
  regExp.SetMultiline(multiline);
  regExp.SetGlobal(global);
  regExp.SetPattern(
      ToWide(quotePlaceholder ? ReplaceText(pattern, QuotePlaceholder(), "\"") : pattern));
  state_->subject = subject;
  state_->matches = regExp.Execute(ToWide(subject));
  return state_->matches != nullptr;
}

Text RegexObject::GetPattern() const {
  return state_->regExp ? FromWide(state_->regExp->Pattern()) : Text();
}

Text RegexObject::Replace(const Text& replacement) const {
  if (!state_->regExp) return {};
  const auto replaced = state_->regExp->Replace(ToWide(state_->subject), ToWide(replacement));
  return replaced ? FromWide(*replaced) : Text();
}

int RegexObject::MatchCount() const {
  return state_->matches ? static_cast<int>(state_->matches->size()) : 0;
}

Text RegexObject::MatchText(int index, int* position) const {
  const platform::RegExpMatch* match = state_->MatchAt(index);
  Text text = match ? FromWide(match->value) : Text();
  if (position) *position = state_->PositionOf(text, match);
  return text;
}

Text RegexObject::SubMatchText(int matchIndex, int subMatchIndex, int* position) const {
  const platform::RegExpMatch* match = state_->MatchAt(matchIndex);
  Text text;
  if (match && subMatchIndex >= 1 &&
      static_cast<std::size_t>(subMatchIndex) <= match->subMatches.size()) {
    text = FromWide(match->subMatches[static_cast<std::size_t>(subMatchIndex) - 1]);
  }
  if (position) *position = state_->PositionOf(text, match);
  return text;
}

int RegexObject::SubMatchCount() const {
  const platform::RegExpMatch* first = state_->MatchAt(1);
  return first ? static_cast<int>(first->subMatches.size()) : 0;
}

}  // namespace paperdl
