// The verb and the request header block WinHttpVisit hands to WinHTTP.
#include "winhttp/request_headers.h"

#include <gtest/gtest.h>

#include <climits>

namespace paperdl {
namespace {

const Text kAgentLine =
    "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)";
const Text kAcceptLine = "Accept: text/html, application/xhtml+xml, */*";
const Text kEncodingLine = "Accept-Encoding: gbk, GB2312";
const Text kLanguageLine = "Accept-Language: zh-cn";
const Text kCacheLine = "Cache-Control: no-cache";
const Text kFormLine = "Content-Type: application/x-www-form-urlencoded";

Text Lines(std::initializer_list<Text> lines) {
  Text block;
  for (const Text& line : lines) block += (block.empty() ? "" : "\r\n") + line;
  return block;
}

TEST(MethodVerbTest, TableAndEverythingElseIsGet) {
  const std::pair<int, const char*> cases[] = {
      {0, "GET"},   {1, "POST"},    {2, "HEAD"}, {3, "PUT"},  {4, "OPTIONS"},   {5, "DELETE"},
      {6, "TRACE"}, {7, "CONNECT"}, {8, "GET"},  {-1, "GET"}, {INT_MIN, "GET"}, {INT_MAX, "GET"},
  };
  for (const auto& [method, verb] : cases) {
    SCOPED_TRACE(method);
    EXPECT_EQ(verb, MethodVerb(method));
  }
}

struct BlockCase {
  const char* name;
  Text headers;
  int method;
  Text cookies;
  bool completeHeaders;
  bool normalizeHeaders;
  Text expected;
};

TEST(RequestHeaderBlockTest, Cases) {
  const Text defaults = Lines({kAgentLine, kAcceptLine, kEncodingLine, kLanguageLine, kCacheLine});
  const BlockCase cases[] = {
      {"the article call: five lines, no line break at the end", "", 0, "", true, true, defaults},
      {"POST adds the form type before Cache-Control", "", 1, "", true, true,
       Lines({kAgentLine, kAcceptLine, kEncodingLine, kLanguageLine, kFormLine, kCacheLine})},
      {"a content type in any letter case is kept", "content-type: text/plain", 1, "", true, true,
       Lines({"Content-Type: text/plain", kAgentLine, kAcceptLine, kEncodingLine, kLanguageLine,
              kCacheLine})},
      {"method 8 is a GET without form type", "", 8, "", true, true, defaults},
      {"method -1 is a GET without form type", "", -1, "", true, true, defaults},
      {"the agent search ignores case; normalisation capitalises", "user-agent: X", 0, "", true,
       true, Lines({"User-Agent: X", kAcceptLine, kEncodingLine, kLanguageLine, kCacheLine})},
      {"\"Accept: \" is found inside X-Accept", "X-Accept: y", 0, "", true, true,
       Lines({"X-Accept: y", kAgentLine, kEncodingLine, kLanguageLine, kCacheLine})},
      {"Accept-Encoding does not hold \"Accept: \"", "Accept-Encoding: identity", 0, "", true, true,
       Lines({"Accept-Encoding: identity", kAgentLine, kAcceptLine, kLanguageLine, kCacheLine})},
      {"keep-alive line in the middle goes", "a: 1\r\nConnection: keep-alive\r\nb: 2", 0, "", false,
       true, "A: 1\r\nB: 2"},
      {"keep-alive line at the end stays", "a: 1\r\nConnection: keep-alive", 0, "", false, true,
       "A: 1\r\nConnection: keep-alive"},
      {"Keep-Alive in other letter case stays", "a: 1\r\nConnection: Keep-Alive\r\nb: 2", 0, "",
       false, true, "A: 1\r\nConnection: Keep-Alive\r\nB: 2"},
      {"without normalisation every keep-alive line goes", "a: 1\r\nConnection: keep-alive\r\nb: 2",
       0, "", false, false, "a: 1\r\nb: 2\r\n"},
      {"cookie pairs become a Cookie line", "", 0, "a=1; b=2", true, true,
       defaults + "\r\nCookie: a=1; b=2\r\n"},
      {"a whole Cookie line is taken as it is", "", 0, "Cookie: a=1", true, true,
       defaults + "\r\nCookie: a=1\r\n"},
      {"without normalisation the cookie line follows an empty line", "X: 1", 0, "a=1", false,
       false, "X: 1\r\n\r\nCookie: a=1\r\n"},
      {"a Cookie line in the block wins over the cookies", "cookie: z=9", 0, "a=1", false, true,
       "Cookie: z=9"},
      {"Set-Cookie in the block counts as a cookie line", "Set-Cookie: z=9", 0, "a=1", false, true,
       "Set-Cookie: z=9"},
      {"nothing at all gives an empty block", "", 0, "", false, false, ""},
      {"lines without a colon are dropped by normalisation", "junk\r\nX: 1", 0, "", false, true,
       "X: 1"},
  };
  for (const BlockCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.expected, BuildRequestHeaderBlock(c.headers, c.method, c.cookies, c.completeHeaders,
                                                  c.normalizeHeaders));
  }
}

}  // namespace
}  // namespace paperdl
