// Searching, replacing, splitting, trimming and case folding over mixed GBK text.
#include <gtest/gtest.h>

#include "textutil/text.h"

namespace paperdl {
namespace {

const Text kZhong = "\xD6\xD0";  // 中
const Text kWen = "\xCE\xC4";    // 文

TEST(FindText, PositionsAndStartRules) {
  struct Case {
    const char* name;
    int got;
    int want;
  } cases[] = {
      {"first c", FindText("abcabc", "c"), 3},
      {"from 4", FindText("abcabc", "c", 4), 6},
      {"from 7 is past the end", FindText("abcabc", "c", 7), -1},
      {"from 0 reads as 1", FindText("abcabc", "c", 0), 3},
      {"from -5 reads as 1", FindText("abcabc", "c", -5), 3},
      {"empty sought in text", FindText("abc", "", 3), 1},
      {"empty sought past end", FindText("abc", "", 4), -1},
      {"empty text", FindText("", "a"), -1},
      {"sought longer than rest", FindText("abc", "bcd"), -1},
      {"ignore case", FindText("xabc", "ABC", 1, true), 2},
      {"case counts by default", FindText("xabc", "ABC"), -1},
      {"after double-byte", FindText(kZhong + "ab", "b"), 4},
      {"trail+lead never found", FindText(kZhong + kWen, "\xD0\xCE"), -1},
      {"trail byte alone never found", FindText(kZhong, "\xD0"), -1},
      {"ascii trail byte not found",
       FindText("\x81"
                "a",
                "a"),
       -1},
      {"trail 0x5C is no backslash",
       FindText("\x95\x5C"
                "x\\",
                "\\"),
       4},
      {"start on trail pairs from there", FindText(kZhong + kWen, "\xD0\xCE", 2), 2},
      {"lone lead at end matched", FindText("a\x81", "\x81"), 2},
      {"case folding includes trail letters",
       FindText("\x81"
                "a"
                "\x81"
                "A",
                "\x81"
                "a",
                2, true),
       3},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want) << c.name;
}

TEST(FindTextReverse, LastOccurrenceWhollyBeforeStart) {
  struct Case {
    const char* name;
    int got;
    int want;
  } cases[] = {
      {"whole text", FindTextReverse("abcabc", "abc"), 4},
      {"start 7", FindTextReverse("abcabc", "abc", 7), 4},
      {"start 6 excludes the second", FindTextReverse("abcabc", "abc", 6), 1},
      {"start 1 searches nothing", FindTextReverse("abcabc", "abc", 1), -1},
      {"start 0 searches nothing", FindTextReverse("abcabc", "abc", 0), -1},
      {"start past end is whole text", FindTextReverse("abcabc", "abc", 99), 4},
      {"overlapping", FindTextReverse("aaa", "aa"), 2},
      {"empty sought", FindTextReverse("abc", ""), 1},
      {"empty sought, empty region", FindTextReverse("abc", "", 1), -1},
      {"ignore case", FindTextReverse("aBcabC", "ABC", std::nullopt, true), 4},
      {"trail+lead never found", FindTextReverse(kZhong + kWen, "\xD0\xCE"), -1},
      {"after double-byte", FindTextReverse("a" + kZhong + "a", "a"), 4},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want) << c.name;
}

TEST(CaseFolding, OnlyAsciiLettersAtCharacterStarts) {
  EXPECT_EQ(ToUpper("abc-xyz"), "ABC-XYZ");
  EXPECT_EQ(ToLower("ABC-XYZ"), "abc-xyz");
  EXPECT_EQ(ToUpper("\x81"
                    "a"
                    "b"),
            "\x81"
            "a"
            "B")
      << "a trail byte is not a letter";
  EXPECT_EQ(ToLower("\x81"
                    "A"
                    "B"),
            "\x81"
            "A"
            "b");
  EXPECT_EQ(ToLower(kZhong), kZhong);
}

TEST(TrimBoth, TwoKindsOfBlank) {
  const Text fullBlank = "\xA1\xA1";
  struct Case {
    const char* name;
    Text text;
    Text want;
  } cases[] = {
      {"half-width", "  x y  ", "x y"},
      {"full-width", fullBlank + "x" + fullBlank, "x"},
      {"tabs stay", "\tx\t", "\tx\t"},
      {"line breaks stay", "\r\nx\r\n", "\r\nx\r\n"},
      {"all blank", " " + fullBlank + " ", ""},
      {"double-byte ends a run", "x " + kZhong + " ", "x " + kZhong},
      {"lone lead dropped, blanks before stay", "x  \x81", "x  "},
      {"trail A1 does not pair into a blank", "x\xB0\xA1\xA1", "x\xB0\xA1"},
      {"empty", "", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(TrimBoth(c.text), c.want) << c.name;
}

TEST(ReplaceText, OnePassWithCaseAndCountRules) {
  struct Case {
    const char* name;
    Text got;
    Text want;
  } cases[] = {
      {"case ignored by default", ReplaceText("Set-Cookie: a", "set-cookie:"), " a"},
      {"case sensitive", ReplaceText("Set-Cookie: a", "set-cookie:", "", 1, std::nullopt, true),
       "Set-Cookie: a"},
      {"no rescan", ReplaceText("aXa", "a", "aa"), "aaXaa"},
      {"count 1", ReplaceText("a-a-a", "a", "b", 1, 1), "b-a-a"},
      {"count 0 unchanged", ReplaceText("a-a", "a", "b", 1, 0), "a-a"},
      {"from position 3", ReplaceText("a-a-a", "a", "b", 3), "a-b-b"},
      {"start past end unchanged", ReplaceText("abc", "a", "b", 4), "abc"},
      {"empty sought unchanged", ReplaceText("abc", "", "x"), "abc"},
      {"trail+lead untouched", ReplaceText(kZhong + kWen, "\xD0\xCE", "x"), kZhong + kWen},
      {"lone lead dropped by one-byte scan", ReplaceText("ab\x81", "a", "x"), "xb"},
      {"lone lead kept when the scan stops short", ReplaceText("ab\x81", "ab", "x"), "x\x81"},
      {"lone lead kept after count ran out", ReplaceText("ab\x81", "a", "x", 1, 1), "xb\x81"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want) << c.name;
}

TEST(SplitText, ItemsBetweenDelimiters) {
  struct Case {
    const char* name;
    TextList got;
    TextList want;
  } cases[] = {
      {"empty middle, no empty last", SplitText("a,,b,", ","), {"a", "", "b"}},
      {"empty text", SplitText("", ","), {}},
      {"empty delimiter", SplitText("abc", ""), {"abc"}},
      {"max count", SplitText("a,b,c", ",", 2), {"a", "b"}},
      {"max count 0", SplitText("a,b", ",", 0), {}},
      {"max count negative", SplitText("a,b", ",", -3), {}},
      {"leading delimiter", SplitText(",a", ","), {"", "a"}},
      {"crlf lines", SplitText("a\r\nb\r\n", "\r\n"), {"a", "b"}},
      {"trail 0x5C no separator", SplitText("\x95\x5C\\b", "\\"), {"\x95\x5C", "b"}},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want) << c.name;
}

TEST(CompareText, OrderAndCase) {
  EXPECT_EQ(CompareText("abc", "ABC"), 0);
  EXPECT_GT(CompareText("abc", "ABC", true), 0) << "'a' (0x61) sorts after 'A'";
  EXPECT_LT(CompareText("ab", "abc"), 0);
  EXPECT_GT(CompareText("\xB0", "a", true), 0) << "bytes compare unsigned";
  EXPECT_EQ(CompareText("", ""), 0);
}

}  // namespace
}  // namespace paperdl
