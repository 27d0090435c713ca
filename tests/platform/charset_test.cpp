// DecodeCharset: page bytes in a declared web charset, as code page 936.
#include <gtest/gtest.h>

#include <string>

#include "platform/codepage.h"

namespace platform {
namespace {

struct DecodeCase {
  const char* name;
  std::string bytes;
  const char* charset;
  std::string expectedUtf8;  // compared after conversion to code page 936
};

TEST(DecodeCharsetTest, DecodesIntoCodePage936) {
  const DecodeCase cases[] = {
      {"utf-8", "<p>\xE4\xB8\xAD\xE6\x96\x87</p>", "utf-8", "<p>中文</p>"},
      {"UTF-8 in capitals", "\xE4\xB8\xAD", "UTF-8", "中"},
      {"utf-8 byte-order mark dropped", "\xEF\xBB\xBF\xE4\xB8\xAD", "utf-8", "中"},
      {"big5", "\xA4\xA4\xA4\xE5", "big5", "中文"},
      {"x-big5, a web name iconv lacks", "\xA4\xA4\xA4\xE5", "x-big5", "中文"},
      {"x-gbk", "\xD6\xD0\xCE\xC4", "x-gbk", "中文"},
      {"GBK", "\xD6\xD0\xCE\xC4", "GBK", "中文"},
      {"x-sjis", "\x93\xFA\x96\x7B", "x-sjis", "日本"},
      {"unicode is UTF-16LE, its mark dropped", std::string("\xFF\xFE\x2D\x4E", 4), "unicode",
       "中"},
      {"a character code page 936 lacks becomes ?", "a\xE0\xB8\x81z", "utf-8", "a?z"},
      {"an undecodable byte becomes ?", "a\xFFz", "utf-8", "a?z"},
      {"a cut-off sequence at the end becomes ?", "a\xE4\xB8", "utf-8", "a?"},
      {"no bytes", "", "utf-8", ""},
  };
  for (const DecodeCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::string out = "old";
    EXPECT_TRUE(DecodeCharset(c.bytes, c.charset, out));
    EXPECT_EQ(Utf8ToCp936(c.expectedUtf8), out);
  }
}

TEST(DecodeCharsetTest, UnknownNamesGiveEmptyText) {
  const char* names[] = {"x-no-such-charset", "", "utf-8//IGNORE", "utf 8", "../../etc/passwd"};
  for (const char* name : names) {
    SCOPED_TRACE(name);
    std::string out = "old";
    EXPECT_FALSE(DecodeCharset("abc", name, out));
    EXPECT_EQ("", out);
  }
}

}  // namespace
}  // namespace platform
