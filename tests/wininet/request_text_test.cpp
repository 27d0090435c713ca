// The texts WinInetVisit builds and reads, without a server.
#include "wininet/request_text.h"

#include <gtest/gtest.h>

#include "wininet/wininet_visit.h"

namespace paperdl {
namespace {

const Text kDefault = kDefaultAgent;

TEST(RequestText, HeaderLineValue) {
  struct Case {
    const char* line;
    const char* value;
  } cases[] = {
      {"Name:  value  ", "value"}, {"a: b: c", "b: c"}, {"no colon", ""}, {"Empty:", ""}, {"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(c.value, HeaderLineValue(c.line));
  }
}

TEST(RequestText, Agent) {
  struct Case {
    const char* name;
    const char* headers;
    Text agent;
  } cases[] = {
      {"no line: the default", "Accept: */*", kDefault},
      {"the line's value, trimmed", "Accept: */*\r\nUser-Agent:  Paper/2 \r\nX: 1", "Paper/2"},
      {"last line without CRLF", "User-Agent: Last", "Last"},
      {"lower case: the block's first value", "Accept: a\r\nuser-agent: b", "a\r\nuser-agent: b"},
      {"empty value: the block's first value", "X: y\r\nUser-Agent: ", "y\r\nUser-Agent:"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.agent, AgentFrom(c.headers));
  }
}

TEST(RequestText, DefaultHeaderLines) {
  struct Case {
    const char* name;
    const char* headers;
    int method;
    const char* completed;
  } cases[] = {
      {"empty block", "", 0, "Accept: */*\r\nReferer: U\r\nAccept-Language: zh-cn"},
      {"POST adds the form type", "", 1,
       "Accept: */*\r\nReferer: U\r\nAccept-Language: zh-cn\r\n"
       "Content-Type: application/x-www-form-urlencoded"},
      {"any letter case counts",
       "accept: x\r\nREFERER: r\r\naccept-language: en\r\ncontent-type: t", 1,
       "accept: x\r\nREFERER: r\r\naccept-language: en\r\ncontent-type: t"},
      {"other lines come first", "X-A: 1", 0,
       "X-A: 1\r\nAccept: */*\r\nReferer: U\r\nAccept-Language: zh-cn"},
      {"PUT gets no form type", "Accept: */*", 3,
       "Accept: */*\r\nReferer: U\r\nAccept-Language: zh-cn"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.completed, CompleteRequestHeaders(c.headers, "U", c.method));
  }
}

TEST(RequestText, CookieLine) {
  const Text plain = "a=1", line = "Cookie: b=2", lower = "cookie: c=3", empty;
  EXPECT_EQ("H\r\nCookie: a=1", AddCookieLine("H", &plain));
  EXPECT_EQ("H\r\nCookie: b=2", AddCookieLine("H", &line));
  EXPECT_EQ("H\r\nCookie: cookie: c=3", AddCookieLine("H", &lower));
  EXPECT_EQ("H", AddCookieLine("H", &empty));
  EXPECT_EQ("H", AddCookieLine("H", nullptr));
  EXPECT_EQ("\r\nCookie: a=1", AddCookieLine("", &plain));
}

TEST(RequestText, SetCookieCollection) {
  struct Case {
    const char* name;
    const char* headers;
    const char* cookies;
  } cases[] = {
      {"two lines", "HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/\r\nSet-Cookie: b=2\r\n\r\n",
       "a=1; b=2"},
      {"other letter case or no blank is skipped",
       "set-cookie: a=1\r\nSet-Cookie:b=2\r\nSET-COOKIE: c=3\r\nSet-Cookie: d=4", "d=4"},
      {"none", "HTTP/1.1 200 OK\r\nX: y\r\n\r\n", ""},
      {"empty block", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.cookies, CollectSetCookies(c.headers));
  }
}

TEST(RequestText, RequestFlags) {
  struct Case {
    const char* name;
    bool https, cookies, noRedirect;
    std::uint32_t flags;
  } cases[] = {
      {"this program's call", false, false, false, 0x80004010u},
      {"https", true, false, false, 0x80800010u},
      {"cookies supplied", false, true, false, 0x80084010u},
      {"no redirects", false, false, true, 0x80204010u},
      {"everything", true, true, true, 0x80A80010u},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.flags, RequestFlags(c.https, c.cookies, c.noRedirect));
  }
}

TEST(RequestText, MethodsAndSchemes) {
  EXPECT_STREQ("GET", VerbOf(0));
  EXPECT_STREQ("CONNECT", VerbOf(7));
  EXPECT_STREQ("GET", VerbOf(8));
  EXPECT_STREQ("GET", VerbOf(-1));
  EXPECT_STREQ("TRACE", VerbOf(6));
  EXPECT_TRUE(IsHttpsAddress("HTTPS://a"));
  EXPECT_FALSE(IsHttpsAddress("https:/a"));
  EXPECT_FALSE(IsHttpsAddress(" https://a"));
}

}  // namespace
}  // namespace paperdl
