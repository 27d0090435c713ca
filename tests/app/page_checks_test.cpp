// The checks that decide whether an article or a page arrived, and whether a
// title can name the output folder.
#include "app/page_checks.h"

#include <gtest/gtest.h>

namespace paperdl {
namespace {

TEST(PageChecks, SuccessStatusIsThreeDigitsStartingWithTwo) {
  struct Case {
    const char* statusText;
    bool success;
  };
  const Case cases[] = {
      {"200 OK", true},
      {"204 No Content", true},
      {"299", true},
      {"301 Moved", false},
      {"404 Not Found", false},
      {"199 x", false},
      {"2000 OK", false},
      {"20 OK", false},
      {"", false},
      {"701 解析URL地址失败!", false},
      {" 200 OK", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.statusText);
    EXPECT_EQ(IsSuccessStatus(Gbk(c.statusText)), c.success);
  }
}

TEST(PageChecks, PageArrivedWholeNeedsDataA2xxStatusAndTheDeclaredLength) {
  const Bytes tenBytes(10, 0xAB);
  struct Case {
    const char* name;
    Bytes data;
    Text headers;
    bool whole;
  };
  const Case cases[] = {
      {"ok with length", tenBytes, "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n", true},
      {"ok without length", tenBytes, "HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\n\r\n", true},
      {"more than declared", tenBytes, "HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\n", true},
      {"lower-case name and blanks", tenBytes, "HTTP/1.1 200 OK\r\ncontent-length:   10 \r\n",
       true},
      {"no reason phrase", tenBytes, "HTTP/1.0 200\r\n\r\n", true},
      {"fewer than declared", tenBytes, "HTTP/1.1 200 OK\r\nContent-Length: 11\r\n\r\n", false},
      {"huge declared length", tenBytes,
       "HTTP/1.1 200 OK\r\nContent-Length: 99999999999999999999999\r\n\r\n", false},
      {"empty data", {}, "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", false},
      {"error status", tenBytes, "HTTP/1.1 404 Not Found\r\nContent-Length: 10\r\n\r\n", false},
      {"redirect status", tenBytes, "HTTP/1.1 302 Found\r\nLocation: /x\r\n\r\n", false},
      {"no headers", tenBytes, "", false},
      {"blank header buffer", tenBytes, Text(5000, ' '), false},
      {"no status line", tenBytes, "Content-Length: 10\r\n\r\n", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(PageArrivedWhole(c.data, c.headers), c.whole);
  }
}

TEST(PageChecks, SingleFolderNames) {
  struct Case {
    const char* name;
    Text title;
    bool single;
  };
  const Case cases[] = {
      {"plain", "Paper A", true},
      {"Chinese", Gbk("期末试卷（一）"), true},
      {"empty keeps the base folder", "", true},
      {"dots inside", "a..b", true},
      {"three dots", "...", true},
      {"trail byte 0x5C", Gbk("乗"), true},
      {"trail byte 0x7C", Gbk("亅"), true},
      {"slash", "a/b", false},
      {"backslash", "a\\b", false},
      {"backslash after Chinese", Gbk("乗") + "\\", false},
      {"dot", ".", false},
      {"dot dot", "..", false},
      {"control byte",
       "a\x01"
       "b",
       false},
      {"carriage return", "a\rb", false},
      {"colon", "a:b", false},
      {"star", "*", false},
      {"question mark", "?", false},
      {"quote", "\"", false},
      {"angle brackets", "<a>", false},
      {"bar", "a|b", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IsSingleFolderName(c.title), c.single);
  }
}

}  // namespace
}  // namespace paperdl
