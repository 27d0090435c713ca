// What WinInetVisit puts on the wire, checked on a loopback server.
#include <gtest/gtest.h>

#include "tests/support/script_server.h"
#include "wininet/wininet_visit.h"

namespace paperdl {
namespace {

using test::HttpResponse;
using test::ScriptServer;

const std::string kAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

Bytes AsBytes(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

std::string Host(const ScriptServer& server) {
  return "Host: 127.0.0.1:" + std::to_string(server.Port());
}

TEST(WinInetRequest, ThisProgramsImageRequestIsExact) {
  ScriptServer server;
  const std::string jpeg("\xFF\xD8\xFF\0body\0", 10);
  server.Reply(HttpResponse(200, {"Content-Type: image/jpeg"}, jpeg));
  const Text url = server.Url("/books/1234/5.jpg");
  EXPECT_EQ(AsBytes(jpeg), WinInetVisit(url));
  ASSERT_EQ(1u, server.Requests().size());
  EXPECT_EQ("GET /books/1234/5.jpg HTTP/1.1\r\n" + Host(server) + "\r\nUser-Agent: " + kAgent +
                "\r\nAccept: */*\r\nReferer: " + url + "\r\nAccept-Language: zh-cn\r\n\r\n",
            server.Requests()[0].raw);
}

TEST(WinInetRequest, PostSendsTextBodyWithFormContentType) {
  ScriptServer server;
  server.Reply(HttpResponse(200, {}, "ok"));
  Bytes bytesBody;
  const Text url = server.Url("/form?x=1");
  WinInetVisit(url, 1, "a=1&b=%E4", nullptr, nullptr, {}, nullptr, false, &bytesBody);
  EXPECT_EQ(AsBytes("a=1&b=%E4"), bytesBody) << "the caller's bytesBody receives the text";
  const auto request = server.Requests().at(0);
  EXPECT_EQ("POST /form?x=1 HTTP/1.1\r\n" + Host(server) + "\r\nUser-Agent: " + kAgent +
                "\r\nAccept: */*\r\nReferer: " + url +
                "\r\nAccept-Language: zh-cn\r\nContent-Type: "
                "application/x-www-form-urlencoded\r\nContent-Length: 9\r\n\r\na=1&b=%E4",
            request.raw);
}

TEST(WinInetRequest, PathIsSentAsGivenSaveBytesARequestLineCannotCarry) {
  struct Case {
    const char* name;
    Text path;
    const char* target;
  } cases[] = {
      {"query, odd characters and dot segments", "/%41/../b?q=a|b&c=\"d\"",
       "/%41/../b?q=a|b&c=\"d\""},
      {"blanks and GBK bytes", "/a b/" + Gbk("中文") + ".jpg?k=" + Gbk("页"),
       "/a%20b/%D6%D0%CE%C4.jpg?k=%D2%B3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptServer server;
    server.Reply(HttpResponse(200, {}, "ok"));
    EXPECT_EQ(AsBytes("ok"), WinInetVisit(server.Url(c.path)));
    EXPECT_EQ(c.target, server.Requests().at(0).target);
  }
}

struct MethodCase {
  const char* name;
  int method;
  const char* requestLine;
  const char* body;
  bool formContentType;
};

const MethodCase kMethods[] = {
    {"GET", 0, "GET /m HTTP/1.1", "", false},
    {"out of range high is GET", 9, "GET /m HTTP/1.1", "", false},
    {"out of range low is GET", -1, "GET /m HTTP/1.1", "", false},
    {"POST", 1, "POST /m HTTP/1.1", "text", true},
    {"PUT sends the body, no form type", 3, "PUT /m HTTP/1.1", "text", false},
    {"OPTIONS", 4, "OPTIONS /m HTTP/1.1", "text", false},
    {"DELETE", 5, "DELETE /m HTTP/1.1", "text", false},
};

TEST(WinInetRequest, MethodTable) {
  for (const auto& c : kMethods) {
    SCOPED_TRACE(c.name);
    ScriptServer server;
    server.Reply(HttpResponse(200, {}, "r"));
    WinInetVisit(server.Url("/m"), c.method, "text");
    const auto request = server.Requests().at(0);
    EXPECT_EQ(c.requestLine, request.requestLine);
    EXPECT_EQ(c.body, request.body);
    EXPECT_EQ(c.formContentType ? "application/x-www-form-urlencoded" : "",
              request.Header("Content-Type"));
  }
}

TEST(WinInetRequest, HeadAndBodylessPostEndCleanly) {
  ScriptServer server;
  server.Reply(HttpResponse(200, {"Content-Length: 5"}, "", false));
  server.Reply(HttpResponse(200, {}, "posted"));
  EXPECT_TRUE(WinInetVisit(server.Url("/h"), 2).empty());
  EXPECT_EQ(AsBytes("posted"), WinInetVisit(server.Url("/p"), 1));
  const auto requests = server.Requests();
  EXPECT_EQ("HEAD /h HTTP/1.1", requests.at(0).requestLine);
  EXPECT_EQ("", requests.at(1).body);
  EXPECT_EQ("0", requests.at(1).Header("Content-Length"));
}

struct HeaderCase {
  const char* name;
  const char* headers;
  bool normalize;
  bool complete;
  std::vector<std::string> expectedLines;  // after Host
};

const HeaderCase kHeaders[] = {
    {"caller's agent replaces the default",
     "user-agent: Paper/1.0\r\nx-a: 1",
     true,
     true,
     {"User-Agent: Paper/1.0", "X-A: 1", "Accept: */*", "Referer: URL", "Accept-Language: zh-cn"}},
    {"caller's own lower-case agent line, not normalised",
     "x-first: one\r\nuser-agent: two",
     false,
     false,
     {"x-first: one", "user-agent: two"}},
    {"own Accept, Referer and language kept",
     "Accept: image/*\r\nReferer: http://r/\r\nAccept-Language: en",
     true,
     true,
     {"User-Agent: " + kAgent, "Accept: image/*", "Referer: http://r/", "Accept-Language: en"}},
    {"nothing completed", "", true, false, {"User-Agent: " + kAgent}},
};

TEST(WinInetRequest, HeaderLinesAndAgent) {
  for (const auto& c : kHeaders) {
    SCOPED_TRACE(c.name);
    ScriptServer server;
    server.Reply(HttpResponse(200, {}, ""));
    const Text url = server.Url("/h");
    WinInetVisit(url, 0, {}, nullptr, nullptr, c.headers, nullptr, false, nullptr, {}, true,
                 c.complete, c.normalize);
    auto lines = server.Requests().at(0).HeaderLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(Host(server), lines.front());
    lines.erase(lines.begin());
    std::vector<std::string> expected = c.expectedLines;
    for (auto& line : expected)
      if (line == "Referer: URL") line = "Referer: " + url;
    EXPECT_EQ(expected, lines);
  }
}

struct CookieLineCase {
  const char* name;
  const char* cookies;
  const char* expectedCookieHeader;  // nullptr: no Cookie line at all
};

const CookieLineCase kCookieLines[] = {
    {"plain pairs get the header name", "a=1; b=2", "a=1; b=2"},
    {"a whole Cookie line is sent unchanged", "Cookie: c=3", "c=3"},
    {"lower-case name is not recognised", "cookie: d=4", "cookie: d=4"},
    {"supplied but empty: no line", "", nullptr},
};

TEST(WinInetRequest, CookieLine) {
  for (const auto& c : kCookieLines) {
    SCOPED_TRACE(c.name);
    ScriptServer server;
    server.Reply(HttpResponse(200, {}, ""));
    Text cookies = c.cookies;
    WinInetVisit(server.Url("/c"), 0, {}, &cookies);
    const auto request = server.Requests().at(0);
    if (c.expectedCookieHeader == nullptr) {
      EXPECT_FALSE(request.HasHeader("Cookie"));
    } else {
      EXPECT_EQ(c.expectedCookieHeader, request.Header("Cookie"));
    }
  }
}

}  // namespace
}  // namespace paperdl
