#include "textutil/cookies.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/textutil/cookies_reference.h"

namespace paperdl {
namespace {

struct MergeCase {
  const char* name;
  Text oldCookies;
  Text newCookies;
  Text merged;
  Text newAfter;  // what the new argument holds afterwards
};

const MergeCase kMergeCases[] = {
    {"new replaces old of the same name", "a=1; b=2", "b=3; c=4", "b=3; c=4; a=1", "b=3; c=4"},
    {"deleted pair removes the cookie", "a=1; b=2", "b=deleted", "a=1", "b=deleted"},
    {"blanks and trailing semicolon of old", " a=1; b=2; ", "", "a=1; b=2", ""},
    {"trailing semicolon of new gets a blank", "", "x=1;", "x=1", "x=1; "},
    {"new trimmed of blanks", "", "  x=1  ", "x=1", "x=1"},
    {"first old pair of a name only", "a=1; a=2", "b=1", "b=1; a=1", "b=1"},
    {"two new pairs of one name survive", "c=1", "a=1; a=2", "a=1; a=2; c=1", "a=1; a=2"},
    {"byte-equal repeats reduced", "c=1", "a=1; a=1", "a=1; c=1", "a=1; a=1"},
    {"deleted old pair dropped", "a=deleted", "b=1", "b=1", "b=1"},
    {"both wholly deleted", "a=deleted", "b=deleted; c=deleted", "", "b=deleted; c=deleted"},
    {"names compare trimmed", "sid = 5", "sid=6", "sid=6", "sid=6"},
    {"names are case-sensitive", "SID=5", "sid=6", "sid=6; SID=5", "sid=6"},
    {"semicolon without blank separates nothing", "a=1;b=2", "b=3", "b=3; a=1;b=2", "b=3"},
    {"pair keeps its inner blanks", "a=1 ; b=2", "c=3", "c=3; a=1 ; b=2", "c=3"},
    {"bare eight-byte deleted pair dropped", "=deleted; a=1", "", "a=1", ""},
    {"deleted mark is case-sensitive", "", "a=DELETED", "a=DELETED", "a=DELETED"},
    {"short pair never deleted", "", "deleted", "deleted", "deleted"},
    {"pair without equals named by itself", "flag; a=1", "flag", "flag; a=1", "flag"},
    {"new deletion keeps old pair of that name out", "a=1; a=2", "a=deleted", "", "a=deleted"},
    {"empty pairs kept once", "a=1; ; b=2", "", "a=1; ; b=2", ""},
    {"empty last pair drops with its cut separator", "b=1; ; c=1", "c=2", "c=2; b=1", "c=2"},
    {"both empty", "", "", "", ""},
};

TEST(MergeCookiesTest, MergesAndChangesBothArguments) {
  for (const MergeCase& c : kMergeCases) {
    SCOPED_TRACE(c.name);
    Text oldCookies = c.oldCookies;
    Text newCookies = c.newCookies;
    const Text merged = MergeCookies(oldCookies, newCookies);
    EXPECT_EQ(merged, c.merged);
    EXPECT_EQ(oldCookies, c.merged);
    EXPECT_EQ(newCookies, c.newAfter);
  }
}

TEST(MergeCookiesTest, DoubleByteTextStaysWhole) {
  // A full-width blank trims like a blank; the value's double-byte text is kept.
  Text oldCookies = Gbk("　name=值; b=2　");
  Text newCookies = "b=3";
  EXPECT_EQ(MergeCookies(oldCookies, newCookies), Gbk("b=3; name=值"));
}

TEST(MergeCookiesTest, LeadByteSwallowsTheFollowingSeparator) {
  // Separators count only at character boundaries: "x=\xB0; b=1" is one pair named "x".
  Text oldCookies = "b=2; x=0";
  Text newCookies = "x=\xB0; b=1";
  EXPECT_EQ(MergeCookies(oldCookies, newCookies), "x=\xB0; b=1; b=2");
}

// Cookie texts drawn from a small alphabet, so names, blanks, separators,
// deletions and double-byte bytes meet often.
Text RandomCookieText(std::mt19937& random) {
  static const char* const kPieces[] = {
      "a", "b", "=", "1", " ", ";", "; ", "=deleted", "\xA1\xA1", "\xB0", "\xA1", "\x81;", "=x; "};
  std::uniform_int_distribution<int> length(0, 12);
  std::uniform_int_distribution<int> piece(0, std::size(kPieces) - 1);
  Text text;
  for (int i = length(random); i > 0; --i) text += kPieces[piece(random)];
  return text;
}

TEST(MergeCookiesTest, SameResultsAsStepByStepMerge) {
  std::mt19937 random(20261211);
  for (int round = 0; round < 20000; ++round) {
    const Text oldText = RandomCookieText(random);
    const Text newText = RandomCookieText(random);
    Text oldCookies = oldText, newCookies = newText;
    Text oldExpected = oldText, newExpected = newText;
    const Text merged = MergeCookies(oldCookies, newCookies);
    const Text expected = reference::MergeCookies(oldExpected, newExpected);
    ASSERT_EQ(merged, expected) << "old '" << oldText << "' new '" << newText << "'";
    ASSERT_EQ(oldCookies, oldExpected);
    ASSERT_EQ(newCookies, newExpected);
  }
}

struct NameCase {
  const char* name;
  Text pair;
  Text expected;
};

const NameCase kNameCases[] = {
    {"name before equals", "sid=5", "sid"}, {"name trimmed", "  sid  =5", "sid"},
    {"first equals splits", "a=b=c", "a"},  {"no equals: whole pair trimmed", " flag ", "flag"},
    {"empty name", "=deleted", ""},         {"empty pair", "", ""},
};

TEST(CookieNameTest, NameIsTrimmedTextBeforeFirstEquals) {
  for (const NameCase& c : kNameCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CookieName(c.pair), c.expected);
  }
}

TEST(HasCookieNameTest, ComparesTrimmedNamesCaseSensitively) {
  const TextList pairs = {"a=1", " b =2", "flag", "=x"};
  EXPECT_TRUE(HasCookieName(pairs, "a"));
  EXPECT_TRUE(HasCookieName(pairs, "b"));
  EXPECT_TRUE(HasCookieName(pairs, "flag"));
  EXPECT_TRUE(HasCookieName(pairs, ""));
  EXPECT_FALSE(HasCookieName(pairs, "A"));
  EXPECT_FALSE(HasCookieName({}, ""));
}

struct UniqueCase {
  const char* name;
  Text text;
  Text delimiter;
  bool splitAtDelimiter;
  Text expected;
};

const UniqueCase kUniqueCases[] = {
    {"characters joined by delimiter", "abca", ",", false, "a,b,c"},
    {"characters with empty delimiter", "abca", "", false, "abc"},
    {"empty text", "", "; ", true, ""},
    {"empty delimiter keeps the text", "a; a", "", true, "a; a"},
    {"repeats removed, order kept", "b; a; b; c; a", "; ", true, "b; a; c"},
    {"equality is byte for byte", "a=1; A=1; a=1 ", "; ", true, "a=1; A=1; a=1 "},
    {"double-byte characters are units", "\xB0\xA1\xB0\xA1x", "|", false, "\xB0\xA1|x"},
};

TEST(SplitUniqueJoinTest, KeepsFirstOfEachItem) {
  for (const UniqueCase& c : kUniqueCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SplitUniqueJoin(c.text, c.delimiter, c.splitAtDelimiter), c.expected);
  }
}

struct CharactersCase {
  const char* name;
  Text text;
  TextList expected;
};

const CharactersCase kCharactersCases[] = {
    {"double-byte, letter, line break", Gbk("中") + "a\r\n", {Gbk("中"), "a", "\r\n"}},
    {"lone lead byte at the end", "a\x81", {"a", "\x81"}},
    {"0x80 is a single byte",
     "\x80"
     "a",
     {"\x80", "a"}},
    {"carriage return alone", "\ra\r", {"\r", "a", "\r"}},
    {"line feed then carriage return", "\n\r", {"\n", "\r"}},
    {"empty text", "", {}},
};

TEST(SplitCharactersTest, ReplacesListWithCharacters) {
  for (const CharactersCase& c : kCharactersCases) {
    SCOPED_TRACE(c.name);
    TextList characters = {"stale"};
    EXPECT_EQ(SplitCharacters(c.text, characters), static_cast<int>(c.expected.size()));
    EXPECT_EQ(characters, c.expected);
  }
}

TEST(FindInListTest, FirstEqualEntryFromOne) {
  EXPECT_EQ(FindInList({}, ""), -1);
  EXPECT_EQ(FindInList({"a", "b", "b"}, "b"), 2);
  EXPECT_EQ(FindInList({"a", ""}, ""), 2);
  EXPECT_EQ(FindInList({"a"}, "A"), -1);
}

}  // namespace
}  // namespace paperdl
