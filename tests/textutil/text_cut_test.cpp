// Cutting, joining, conversions and Bytes: the 1-based, out-of-range-is-empty rules.
#include <gtest/gtest.h>

#include <climits>

#include "textutil/text.h"

namespace paperdl {
namespace {

TEST(TextCut, OutOfRangeArgumentsGiveEmptyOrWholeText) {
  struct Case {
    const char* name;
    Text got;
    Text want;
  } cases[] = {
      {"mid tail shorter than n", TextMid("abcdef", 5, 10), "ef"},
      {"mid start 0", TextMid("abc", 0, 2), ""},
      {"mid start past end", TextMid("abc", 4, 1), ""},
      {"mid n 0", TextMid("abc", 1, 0), ""},
      {"left negative", TextLeft("abc", -1), ""},
      {"left beyond length", TextLeft("abc", 9), "abc"},
      {"right 2", TextRight("abcdef", 2), "ef"},
      {"right beyond length", TextRight("abc", INT_MAX), "abc"},
      {"right 0", TextRight("abc", 0), ""},
      {"blank 3", BlankText(3), "   "},
      {"blank negative", BlankText(-2), ""},
      {"char code low 8 bits", CharFromCode(0x141), "A"},
      {"char code zero", CharFromCode(256), ""},
      {"concat skips empty parts", ConcatText({"a", "", "bc"}), "abc"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want) << c.name;
}

TEST(TextCut, CharCodeIsSignedByte) {
  EXPECT_EQ(CharCode("\xB0x"), -80);
  EXPECT_EQ(CharCode("ab", 2), 'b');
  EXPECT_EQ(CharCode("ab", 3), 0);
  EXPECT_EQ(CharCode("", 1), 0);
}

TEST(TextConvert, ToIntReadsLikeTheDialogBoxes) {
  struct Case {
    const char* name;
    Text text;
    int want;
  } cases[] = {
      {"digits then letters", "12abc", 12},
      {"leading blanks and sign", "  -7", -7},
      {"letters only", "abc", 0},
      {"empty", "", 0},
      {"plus sign", "+5", 5},
      {"tab newline before", "\t\n 9", 9},
      {"full-width digits", Gbk("４２"), 42},
      {"full-width minus and digits", Gbk("－３"), -3},
      {"full-width blank skipped", Gbk("　８"), 8},
      {"other double-byte character stops", Gbk("中1"), 0},
      {"2^32 + 1 wraps to 1", "4294967297", 1},
      {"2^31 wraps negative", "2147483648", INT_MIN},
      {"ten nines wrap modulo 2^32", "9999999999", 1410065407},
      {"long digit string wraps without overflow", "1" + std::string(64, '0'), 0},
      {"sign twice", "--1", 0},
      {"lone lead byte", "\xA3", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(ToInt(c.text), c.want) << c.name;
}

TEST(TextConvert, NumbersAndBytes) {
  EXPECT_EQ(ToText(-15), "-15");
  EXPECT_EQ(ToText(0), "0");
  EXPECT_EQ(ToText(INT_MIN), "-2147483648");
  EXPECT_EQ(ToText(Bytes{0x41, 0x00, 0x42}), "A");
  EXPECT_EQ(ToText(Bytes{}), "");
  EXPECT_EQ(ToBytes("ab"), (Bytes{'a', 'b'}));
  EXPECT_TRUE(ToBytes("").empty());
  EXPECT_EQ(BitOr({0x80000000u, 0x4000u, 0x10u}), static_cast<int>(0x80004010u));
}

TEST(TextConvert, ReadTextFromBytesStopsAtZero) {
  const Bytes data{'a', 'b', 0, 'c'};
  EXPECT_EQ(ReadTypedFromBytes(data, kReadText), "ab");
  EXPECT_EQ(ReadTypedFromBytes(data, kReadText, 4), "c");
  EXPECT_EQ(ReadTypedFromBytes(data, kReadText, 0), "");
  EXPECT_EQ(ReadTypedFromBytes(data, kReadText, 5), "");
  EXPECT_EQ(ReadTypedFromBytes({}, kReadText), "");
}

TEST(BytesOps, CutsAndJoins) {
  const Bytes data{1, 2, 3, 4};
  EXPECT_EQ(BytesLength(data), 4);
  EXPECT_EQ(BytesLeft(data, 2), (Bytes{1, 2}));
  EXPECT_EQ(BytesLeft(data, 0), Bytes{});
  EXPECT_EQ(BytesLeft(data, 10), data);
  EXPECT_EQ(BytesMid(data, -3, 2), (Bytes{1, 2})) << "a start below 1 counts as 1";
  EXPECT_EQ(BytesMid(data, 3, 10), (Bytes{3, 4}));
  EXPECT_EQ(BytesMid(data, 5, 1), Bytes{});
  EXPECT_EQ(BlankBytes(3), (Bytes{0, 0, 0}));
  EXPECT_EQ(BlankBytes(-1), Bytes{});
  const Bytes a{1}, empty, b{2, 3};
  EXPECT_EQ(ConcatBytes({&a, &empty, &b}), (Bytes{1, 2, 3}));
  const char raw[] = {'x', 0, 'y'};
  EXPECT_EQ(BytesFromPointer(raw, 3), (Bytes{'x', 0, 'y'}));
  EXPECT_EQ(BytesFromPointer(raw, 0), Bytes{});
}

}  // namespace
}  // namespace paperdl
