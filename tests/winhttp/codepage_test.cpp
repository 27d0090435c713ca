// Text to UTF-16LE and back, with code page 936 named explicitly.
#include <gtest/gtest.h>

#include <cstring>

#include "winhttp/codepage.h"

namespace paperdl {
namespace {

TEST(AnsiToUtf16, TerminatedUnlessDropped) {
  struct Case {
    const char* name;
    Bytes got;
    Bytes want;
  } cases[] = {
      {"empty", AnsiToUtf16(""), {}},
      {"empty, drop", AnsiToUtf16("", true), {}},
      {"ab", AnsiToUtf16("ab"), {0x61, 0, 0x62, 0, 0, 0}},
      {"ab, drop", AnsiToUtf16("ab", true), {0x61, 0, 0x62, 0}},
      {"one chinese character", AnsiToUtf16("\xC4\xE3"), {0x60, 0x4F, 0, 0}},
      {"0x80 is the euro sign", AnsiToUtf16("\x80", true), {0xAC, 0x20}},
      {"undefined byte replaced",
       AnsiToUtf16("\xFF"
                   "a",
                   true),
       {0xFD, 0xFF, 0x61, 0}},
      {"cut-off lead byte replaced", AnsiToUtf16("a\x81", true), {0x61, 0, 0xFD, 0xFF}},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want) << c.name;
}

TEST(Utf16ToAnsi, UpToFirstZeroCharacter) {
  struct Case {
    const char* name;
    Bytes wide;
    Text want;
  } cases[] = {
      {"terminated", {0x61, 0, 0x62, 0, 0, 0}, "ab"},
      {"unterminated", {0x61, 0, 0x62, 0}, "ab"},
      {"zero inside", {0x61, 0, 0, 0, 0x62, 0}, "a"},
      {"odd last byte ignored", {0x61, 0, 0x62}, "a"},
      {"empty", {}, ""},
      {"chinese", {0x60, 0x4F}, "\xC4\xE3"},
      {"euro", {0xAC, 0x20}, "\x80"},
      {"missing character becomes ?", {0x00, 0xAC, 0x61, 0}, "?a"},  // Hangul syllable GA
      {"lone surrogate becomes ?", {0x00, 0xD8, 0x62, 0}, "?b"},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf16ToAnsi(c.wide), c.want) << c.name;
}

TEST(CodePage, RoundTripOfGbkText) {
  const Text samples[] = {Gbk("苇川试卷下载器"), Gbk("２０２６年 高考 数学（理）"), "plain ascii",
                          "\x95\x5C\\"};
  for (const Text& text : samples) EXPECT_EQ(Utf16ToAnsi(AnsiToUtf16(text)), text) << Utf8(text);
}

}  // namespace
}  // namespace paperdl

namespace paperdl {
namespace {

// Long texts are converted in pieces; a character cut by a piece's end must survive.
TEST(CodePage, CharactersAcrossPieceBoundaries) {
  for (std::size_t prefix : {1021u, 1022u, 1023u, 2047u}) {
    const std::string ascii(prefix, 'a');
    EXPECT_EQ(Gbk(ascii + "中文"), ascii + "\xD6\xD0\xCE\xC4") << prefix;
    EXPECT_EQ(Utf8(ascii + "\xD6\xD0\xCE\xC4"), ascii + "中文") << prefix;
    const Text text = ascii + "\xD6\xD0" + ascii + "\x80";
    EXPECT_EQ(Utf16ToAnsi(AnsiToUtf16(text)), text) << prefix;
  }
}

TEST(CodePage, ManyMissingCharactersEachBecomeTheDefault) {
  std::u16string wide;
  for (int i = 0; i < 5000; ++i) wide += u"ab\uAC00";  // a Hangul syllable code page 936 lacks
  Bytes bytes(wide.size() * 2);
  std::memcpy(bytes.data(), wide.data(), bytes.size());
  Text want;
  for (int i = 0; i < 5000; ++i) want += "ab?";
  EXPECT_EQ(Utf16ToAnsi(bytes), want);
}

}  // namespace
}  // namespace paperdl
