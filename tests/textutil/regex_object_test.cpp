#include "textutil/regex_object.h"

#include <gtest/gtest.h>

#include "platform/com.h"
#include "textutil/markers.h"

namespace paperdl {
namespace {

struct Options {
  bool caseSensitive = false;
  bool multiline = true;
  bool global = true;
  bool quotePlaceholder = false;
};

constexpr Options kDefaults{};
constexpr Options kCaseSensitive{.caseSensitive = true};
constexpr Options kSingleLine{.multiline = false};
constexpr Options kFirstOnly{.global = false};

bool ExecuteWith(RegexObject& regex, const Text& pattern, const Text& subject, Options options) {
  return regex.Execute(pattern, subject, options.caseSensitive, options.multiline, options.global,
                       options.quotePlaceholder);
}

struct MatchCase {
  const char* name;
  Text pattern;
  Text subject;
  Options options;
  int count;
  Text first;  // text of match 1
};

const MatchCase kMatchCases[] = {
    {"nothing matches", "z", "abc", kDefaults, 0, ""},
    {"case ignored by default", "ABC", "xabc", kDefaults, 1, "abc"},
    {"case-sensitive", "ABC", "xabc", kCaseSensitive, 0, ""},
    {"global finds every match", "a", "aXa", kDefaults, 2, "a"},
    {"first match only", "a", "aXa", kFirstOnly, 1, "a"},
    {"line-start anchor after a line feed", "^b", "a\nb", kDefaults, 1, "b"},
    {"no line-start anchor inside without multiline", "^b", "a\nb", kSingleLine, 0, ""},
    {"end anchor only at the very end", "a$", "a\n", kSingleLine, 0, ""},
    {"end anchor before a line feed in multiline", "a$", "a\n", kDefaults, 1, "a"},
    {"dot does not match a line feed", "a.b", "a\nb", kDefaults, 0, ""},
    {"dot matches a carriage return", "a.b", "a\rb", kDefaults, 1, "a\rb"},
    {"lazy quantifier", "<.+?>", "<a><b>", kDefaults, 2, "<a>"},
    {"word characters are ASCII", "\\w+", Gbk("中文abc_1"), kDefaults, 1, "abc_1"},
    {"digits are ASCII", "\\d", Gbk("１２"), kDefaults, 0, ""},
    {"\\u escape", "\\u4E2D", Gbk("文中"), kDefaults, 1, Gbk("中")},
    {"\\x escape", "\\x41", "zA", kDefaults, 1, "A"},
    {"incomplete \\u escape is literal", "\\u12", "xu12", kDefaults, 1, "u12"},
    {"unset back-reference matches empty", "(a)?\\1b", "b", kDefaults, 1, "b"},
    {"Greek letters fold case", Gbk("Α"), Gbk("α"), kDefaults, 1, Gbk("α")},
    {"full-width letters fold case", Gbk("Ａ"), Gbk("ａ"), kDefaults, 1, Gbk("ａ")},
    {"negated empty class matches any character", "[^]", "\n", kDefaults, 1, "\n"},
    {"empty matches step one character", "x*", "ab", kDefaults, 3, ""},
    {"double-byte text matched whole", Gbk("试."), Gbk("考试卷子"), kDefaults, 1, Gbk("试卷")},
};

TEST(RegexObjectTest, ExecuteFindsMatchesInTheDialect) {
  for (const MatchCase& c : kMatchCases) {
    SCOPED_TRACE(c.name);
    RegexObject regex;
    EXPECT_TRUE(ExecuteWith(regex, c.pattern, c.subject, c.options));
    EXPECT_EQ(regex.MatchCount(), c.count);
    EXPECT_EQ(regex.MatchText(1), c.first);
  }
}

TEST(RegexObjectTest, GroupsOfTheFirstMatch) {
  RegexObject regex;
  ASSERT_TRUE(regex.Execute("(a)(b)?", "xa"));
  EXPECT_EQ(regex.MatchCount(), 1);
  EXPECT_EQ(regex.MatchText(1), "a");
  EXPECT_EQ(regex.SubMatchCount(), 2);
  EXPECT_EQ(regex.SubMatchText(1, 1), "a");
  EXPECT_EQ(regex.SubMatchText(1, 2), "");
  EXPECT_EQ(regex.SubMatchText(1, 3), "");
  EXPECT_EQ(regex.SubMatchText(2, 1), "");
  EXPECT_EQ(regex.MatchText(0), "");
  EXPECT_EQ(regex.MatchText(2), "");
}

TEST(RegexObjectTest, CharsetDeclarationOfAPage) {
  const Text pattern = "<meta.+?charset=[^\\w]?([-\\w]+)";
  RegexObject regex;
  ASSERT_TRUE(regex.Execute(pattern,
                            "<head><meta http-equiv=\"Content-Type\" "
                            "content=\"text/html; charset=utf-8\">"));
  EXPECT_EQ(regex.SubMatchText(1, 1), "utf-8");
  ASSERT_TRUE(regex.Execute(pattern, Gbk("<title>卷</title>\n<META charset=\"Big5\">")));
  EXPECT_EQ(regex.SubMatchText(1, 1), "Big5");
}

TEST(RegexObjectTest, QuotePlaceholderBecomesDoubleQuote) {
  RegexObject regex;
  const Text pattern = "value=" + QuotePlaceholder() + "(\\w+)";
  ASSERT_TRUE(regex.Execute(pattern, "<input value=\"abc\">", false, true, true, true));
  EXPECT_EQ(regex.SubMatchText(1, 1), "abc");
  EXPECT_EQ(regex.GetPattern(), "value=\"(\\w+)");
  ASSERT_TRUE(regex.Execute(pattern, "<input value=\"abc\">"));
  EXPECT_EQ(regex.MatchCount(), 0);
  EXPECT_EQ(regex.GetPattern(), pattern);
}

TEST(RegexObjectTest, InvalidPatternLeavesNothing) {
  RegexObject regex;
  ASSERT_TRUE(regex.Execute("a", "a"));
  ASSERT_EQ(regex.MatchCount(), 1);
  for (const char* invalid : {"(", "a{2,1}", "[z-a]", "*"}) {
    SCOPED_TRACE(invalid);
    EXPECT_FALSE(regex.Execute(invalid, "a"));
    EXPECT_EQ(regex.MatchCount(), 0);
    EXPECT_EQ(regex.MatchText(1), "");
    EXPECT_EQ(regex.SubMatchText(1, 1), "");
    EXPECT_EQ(regex.SubMatchCount(), 0);
    EXPECT_EQ(regex.Replace("-"), "");
  }
}

TEST(RegexObjectTest, RunawayBacktrackingFailsInsteadOfHanging) {
  RegexObject regex;
  EXPECT_FALSE(regex.Execute("(a+)+$", Text(40, 'a') + "b"));
  EXPECT_EQ(regex.MatchCount(), 0);
}

TEST(RegexObjectTest, NothingBeforeTheFirstExecute) {
  const RegexObject regex;
  EXPECT_EQ(regex.GetPattern(), "");
  EXPECT_EQ(regex.MatchCount(), 0);
  EXPECT_EQ(regex.SubMatchCount(), 0);
  EXPECT_EQ(regex.Replace("x"), "");
  int position = 7;
  EXPECT_EQ(regex.MatchText(1, &position), "");
  // The stored subject starts as the number 0 (text "0"); empty text is found at its start.
  EXPECT_EQ(position, 0);
}

struct PositionCase {
  const char* name;
  Text pattern;
  Text subject;
  Options options;
  int match;
  int group;  // 0 for the whole match
  Text text;
  int position;
};

const PositionCase kPositionCases[] = {
    {"first of overlapping repeats", "aa", "aaaa", kDefaults, 1, 0, "aa", 0},
    {"second match found one byte early", "aa", "aaaa", kDefaults, 2, 0, "aa", 1},
    {"after a double-byte character", "b", Gbk("中") + "ab", kDefaults, 1, 0, "b", 3},
    {"start on a trail byte misses the match", "a", Gbk("中文") + "a", kDefaults, 1, 0, "a", -2},
    {"start on a trail byte still finds it", "b", Gbk("中") + "ab", kDefaults, 1, 0, "b", 3},
    {"found before the match in double-byte text", "a", Gbk("中") + "aXa", kDefaults, 2, 0, "a", 2},
    {"case-sensitive run searches ignoring case", "b", "Bb", kCaseSensitive, 1, 0, "b", 0},
    {"case-ignoring run searches case-sensitively", "b", "Bxb", kDefaults, 1, 0, "B", 0},
    {"case-ignoring run, second match", "b", "bxB", kDefaults, 2, 0, "B", 2},
    {"group searched from the match", "a(b)", "xab", kDefaults, 1, 1, "b", 2},
    {"unset group: empty text at the start", "(a)(b)?", "xa", kDefaults, 1, 2, "", 0},
    {"match out of range", "a", "xa", kDefaults, 5, 0, "", 0},
    {"match out of range in an empty subject", "a", "", kDefaults, 1, 0, "", -2},
};

TEST(RegexObjectTest, PositionFollowsTheByteSearchRule) {
  for (const PositionCase& c : kPositionCases) {
    SCOPED_TRACE(c.name);
    RegexObject regex;
    ASSERT_TRUE(ExecuteWith(regex, c.pattern, c.subject, c.options));
    int position = 99;
    const Text text = c.group == 0 ? regex.MatchText(c.match, &position)
                                   : regex.SubMatchText(c.match, c.group, &position);
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(position, c.position);
  }
}

struct ReplaceCase {
  const char* name;
  Text pattern;
  Text subject;
  Options options;
  Text replacement;
  Text expected;
};

const ReplaceCase kReplaceCases[] = {
    {"every match", "a", "banana", kDefaults, "-", "b-n-n-"},
    {"first match only", "a", "banana", kFirstOnly, "-", "b-nana"},
    {"empty replacement deletes", "a", "banana", kDefaults, "", "bnn"},
    {"groups swapped", "(a)(n)", "banana", kDefaults, "$2$1", "bnanaa"},
    {"dollar", "n", "ana", kDefaults, "$$", "a$a"},
    {"whole match", "n+", "annna", kDefaults, "[$&]", "a[nnn]a"},
    {"before and after", "n", "ana", kDefaults, "[$`|$']", "a[a|a]a"},
    {"$0 stays literal", "n", "ana", kDefaults, "$0", "a$0a"},
    {"unknown $x stays literal", "n", "ana", kDefaults, "$x$", "a$x$a"},
    {"group beyond the pattern stays literal", "(n)", "ana", kDefaults, "$2", "a$2a"},
    {"one digit when two name no group", "(n)", "ana", kDefaults, "$10", "an0a"},
    {"two digits when they name a group", "(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)", "abcdefghij", kDefaults,
     "$10$01", "ja"},
    {"unset group gives nothing", "(x)?n", "ana", kDefaults, "[$1]", "a[]a"},
    {"empty matches", "x*", "ab", kDefaults, "-", "-a-b-"},
    {"double-byte text", "a", Gbk("中a"), kDefaults, Gbk("文"), Gbk("中文")},
    {"case ignored", "A", "aA", kDefaults, "-", "--"},
};

TEST(RegexObjectTest, ReplaceUsesTheReplacementSyntax) {
  for (const ReplaceCase& c : kReplaceCases) {
    SCOPED_TRACE(c.name);
    RegexObject regex;
    ASSERT_TRUE(ExecuteWith(regex, c.pattern, c.subject, c.options));
    EXPECT_EQ(regex.Replace(c.replacement), c.expected);
  }
  RegexObject regex;
  ASSERT_TRUE(regex.Execute("a", "banana"));
  EXPECT_EQ(regex.Replace(), "bnn");
}

TEST(RegexObjectComTest, EveryInitialisationIsMatched) {
  const int before = platform::ComInitCount();
  {
    RegexObject regex;
    EXPECT_EQ(platform::ComInitCount(), before + 1);
    ASSERT_TRUE(regex.Execute("a", "a"));
    RegexObject copy(regex);
    EXPECT_EQ(platform::ComInitCount(), before + 2);
    RegexObject assigned;
    assigned = copy;
    EXPECT_EQ(platform::ComInitCount(), before + 3);
  }
  EXPECT_EQ(platform::ComInitCount(), before);
}

TEST(RegexObjectComTest, CopiesShareResultsUntilTheyExecuteAgain) {
  RegexObject regex;
  ASSERT_TRUE(regex.Execute("(n)", "banana"));
  RegexObject copy(regex);
  EXPECT_EQ(copy.MatchCount(), 2);
  EXPECT_EQ(copy.SubMatchText(2, 1), "n");
  EXPECT_EQ(copy.Replace("-"), "ba-a-a");
  ASSERT_TRUE(copy.Execute("x", "y"));
  EXPECT_EQ(copy.MatchCount(), 0);
  EXPECT_EQ(regex.MatchCount(), 2);
  EXPECT_EQ(regex.GetPattern(), "(n)");
  RegexObject assigned;
  assigned = regex;
  EXPECT_EQ(assigned.Replace("$1$1"), "bannanna");
}

}  // namespace
}  // namespace paperdl
