// Marker helpers and header blocks.
#include <gtest/gtest.h>

#include "textutil/header_block.h"
#include "textutil/markers.h"

namespace paperdl {
namespace {

TEST(TextBetween, CutsBetweenFirstStartAndNextEnd) {
  const Text quoted = "<input value=\"x\">";
  struct Case {
    const char* name;
    Text got;
    Text want;
  } cases[] = {
      {"title", TextBetween("<head><title>Paper 3</title>", "<title>", "</"), "Paper 3"},
      {"no end marker", TextBetween("<title>Paper 3", "<title>", "</"), ""},
      {"book id", TextBetween("x /books/1234/5.jpg", "/books/", "/"), "1234"},
      {"no start marker", TextBetween("x /book/1/", "/books/", "/"), ""},
      {"start marker at the end", TextBetween("abc", "c", "x"), ""},
      {"touching markers", TextBetween("ab", "a", "b"), ""},
      {"quote placeholder", TextBetween(quoted, "value=" + Gbk("#引号"), Gbk("#引号")), "x"},
      {"empty end marker", TextBetween("abc", "a", ""), ""},
      {"empty start marker", TextBetween("abc", "", "c", 2), "ab"},
      {"empty start marker past end", TextBetween("abc", "", "c", 9), ""},
      {"ignore case", TextBetween("<TITLE>x</TITLE>", "<title>", "</", 0, true), "x"},
      {"case counts by default", TextBetween("<TITLE>x</TITLE>", "<title>", "</"), ""},
      {"chinese title", TextBetween(Gbk("<title>试卷</title>"), "<title>", "</"), Gbk("试卷")},
      {"marker across characters not found", TextBetween("\xD6\xD0\xCE\xC4x", "\xD0\xCE", "x"), ""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want) << c.name;
}

TEST(TextLeftRightOf, BothDirections) {
  const Text t = "a: b: c";
  struct Case {
    const char* name;
    Text got;
    Text want;
  } cases[] = {
      {"left default", TextLeftOf(t, ": "), "a"},
      {"left -1 last", TextLeftOf(t, ": ", -1), "a: b"},
      {"left from 4", TextLeftOf(t, ": ", 4), "a: b"},
      {"left -2", TextLeftOf(t, ": ", -2), "a"},
      {"left missing", TextLeftOf(t, "#"), ""},
      {"right default", TextRightOf(t, ": "), "c"},
      {"right -1 forward", TextRightOf(t, ": ", -1), "b: c"},
      {"right 1 excludes one byte", TextRightOf(t, ": ", 1), "c"},
      {"right 2", TextRightOf(t, ": ", 2), "b: c"},
      {"right excludes everything", TextRightOf(t, ": ", 7), ""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want) << c.name;
}

TEST(HeaderValue, FirstLineBeginningWithName) {
  struct Case {
    const char* name;
    Text block;
    Text header;
    Text want;
  } cases[] = {
      {"second line", "Host: x\r\nConnection: keep-alive", "Connection", "keep-alive"},
      {"first line", "Connection: keep-alive\r\nHost: x", "Connection", "keep-alive"},
      {"case-sensitive name", "connection: close", "Connection", ""},
      {"longer name stops the walk", "Connection2: a\r\nConnection: b", "Connection", ""},
      {"empty name matches first line", "A: b: c\r\nD: e", "", "c"},
      {"value untouched", "X:  v ", "X", " v "},
  };
  for (const auto& c : cases) EXPECT_EQ(HeaderValue(c.block, c.header), c.want) << c.name;
}

TEST(NormalizeHeaderBlock, CapitalisesNamesAndDropsNonHeaders) {
  struct Case {
    const char* name;
    Text block;
    Text want;
  } cases[] = {
      {"empty", "", ""},
      {"no colon", "abc\r\ndef", ""},
      {"empty line dropped", "host: x\r\n\r\nx-forwarded-for: y\r\n",
       "Host: x\r\nX-Forwarded-For: y"},
      {"trailing dash", "x-: 1", "X-: 1"},
      {"leading dash", "-x: 1", "-X: 1"},
      {"words", "user-agent: X", "User-Agent: X"},
      {"no crlf after last", "a: 1\r\nConnection: keep-alive\r\nb: 2",
       "A: 1\r\nConnection: keep-alive\r\nB: 2"},
      {"rest keeps its case", "ACCEPT-language: zh", "ACCEPT-Language: zh"},
      {"value untouched", "a: b-c", "A: b-c"},
      {"lone line feed stays", "a: 1\nb: 2", "A: 1\nb: 2"},
  };
  for (const auto& c : cases) EXPECT_EQ(NormalizeHeaderBlock(c.block), c.want) << c.name;
  EXPECT_EQ(CapitalizeFirst("a"), "A");
  EXPECT_EQ(CapitalizeFirst("1abc"), "1abc");
  EXPECT_EQ(CapitalizeFirst(""), "");
  EXPECT_EQ(CapitalizeFirst("\xD6\xD0"), "\xD6\xD0");
}

}  // namespace
}  // namespace paperdl
