#include "platform/regexp.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

std::shared_ptr<RegExp> Make(std::u16string_view pattern, bool ignoreCase = false,
                             bool global = true) {
  auto regExp = CreateRegExp();
  regExp->SetIgnoreCase(ignoreCase);
  regExp->SetMultiline(true);
  regExp->SetGlobal(global);
  regExp->SetPattern(pattern);
  return regExp;
}

TEST(RegExpTest, FirstIndexCountsUtf16Units) {
  const auto matches = Make(u"(b)|(x)")->Execute(u"中文ab中b");
  ASSERT_NE(matches, nullptr);
  ASSERT_EQ(matches->size(), 2u);
  EXPECT_EQ((*matches)[0].firstIndex, 3);
  EXPECT_EQ((*matches)[1].firstIndex, 5);
  EXPECT_EQ((*matches)[1].value, u"b");
  ASSERT_EQ((*matches)[1].subMatches.size(), 2u);
  EXPECT_EQ((*matches)[1].subMatches[0], u"b");
  EXPECT_EQ((*matches)[1].subMatches[1], u"");
}

TEST(RegExpTest, PropertiesReadBackAsWritten) {
  const auto regExp = Make(u"a(", true, false);
  EXPECT_TRUE(regExp->IgnoreCase());
  EXPECT_TRUE(regExp->Multiline());
  EXPECT_FALSE(regExp->Global());
  EXPECT_EQ(regExp->Pattern(), u"a(");
  EXPECT_EQ(regExp->Execute(u"a"), nullptr);
  EXPECT_EQ(regExp->Replace(u"a", u"b"), std::nullopt);
  // A new pattern or option takes effect on the next call.
  regExp->SetPattern(u"A");
  EXPECT_EQ(regExp->Execute(u"aa")->size(), 1u);
  regExp->SetIgnoreCase(false);
  EXPECT_EQ(regExp->Execute(u"aa")->size(), 0u);
  regExp->SetGlobal(true);
  EXPECT_EQ(regExp->Replace(u"AaA", u"$&$&"), u"AAaAA");
}

TEST(RegExpTest, EmptyMatchAfterSurrogatePairStepsOverThePair) {
  const auto matches = Make(u"x*")->Execute(u"a\U0001F600b");
  ASSERT_NE(matches, nullptr);
  std::vector<int> starts;
  for (const RegExpMatch& match : *matches) starts.push_back(match.firstIndex);
  EXPECT_EQ(starts, (std::vector<int>{0, 1, 3, 4}));
}

struct ExpandCase {
  const char* name;
  std::u16string replacement;
  std::u16string expected;
};

// Pattern "(a)(b)?(c)?" on "xaz": group 1 "a", groups 2 and 3 unset.
const ExpandCase kExpandCases[] = {
    {"lone dollar at the end", u"$", u"x$z"},
    {"dollar before a non-digit", u"$a", u"x$az"},
    {"unset groups", u"[$2$3]", u"x[]z"},
    {"two digits naming no group fall back to one", u"$12", u"xa2z"},
    {"leading zero", u"$01", u"xaz"},
    {"$00 is literal", u"$00", u"x$00z"},
    {"$99 with three groups", u"$99", u"x$99z"},
    {"before and after", u"$'$`", u"xzxz"},
};

TEST(RegExpTest, ReplacementSyntax) {
  const auto regExp = Make(u"(a)(b)?(c)?");
  for (const ExpandCase& c : kExpandCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(regExp->Replace(u"xaz", c.replacement), c.expected);
  }
}

}  // namespace
}  // namespace platform
