// What WinInetVisit makes of responses, good and bad, from a loopback server.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/wininet.h"
#include "tests/support/script_server.h"
#include "wininet/wininet_visit.h"

namespace paperdl {
namespace {

using test::ChunkedResponse;
using test::HttpResponse;
using test::ScriptServer;

Bytes AsBytes(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

struct Outcome {
  Bytes body;
  Text headers;
  Text cookies;
};

Outcome Visit(const Text& url, bool noRedirect = false) {
  Outcome out;
  out.body = WinInetVisit(url, 0, {}, nullptr, &out.cookies, {}, &out.headers, noRedirect);
  return out;
}

struct BodyCase {
  const char* name;
  test::Reply reply;
  std::string body;
};

TEST(WinInetResponse, BodiesWhateverHappens) {
  const std::string head10 = "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n";
  std::string large(300 * 1024, 'x');
  for (std::size_t i = 0; i < large.size(); i += 1000) large[i] = static_cast<char>('a' + i % 26);
  std::string huge(5 * 1024 * 1024 + 77, '\0');  // several growth steps and pauses
  for (std::size_t i = 0; i < huge.size(); ++i) huge[i] = static_cast<char>(i * 7 % 251);
  const BodyCase cases[] = {
      {"404 body", test::KeepAlive(HttpResponse(404, {}, "no such page")), "no such page"},
      {"500 body", test::KeepAlive(HttpResponse(500, {}, "broken")), "broken"},
      {"chunked", test::KeepAlive(ChunkedResponse(200, {}, {"ab", "cde", "f"})), "abcdef"},
      {"large chunked", test::KeepAlive(ChunkedResponse(200, {}, {large, large})), large + large},
      {"5 MB", test::KeepAlive(HttpResponse(200, {}, huge)), huge},
      {"body until close", test::CloseAfter(HttpResponse(200, {}, "to the end", false)),
       "to the end"},
      {"truncated by close", test::CloseAfter(head10 + "abc"), "abc"},
      {"truncated by reset", test::ResetAfter(head10 + "abc"), "abc"},
      {"empty", test::KeepAlive(HttpResponse(204, {}, "", false)), ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptServer server;
    server.Reply(c.reply);
    Outcome out = Visit(server.Url("/b"));
    EXPECT_EQ(c.body.size(), out.body.size());
    EXPECT_TRUE(AsBytes(c.body) == out.body) << "bodies differ";  // no 5 MB dump
    EXPECT_EQ(0u, out.headers.find("HTTP/1.1 ")) << out.headers;
  }
}

TEST(WinInetResponse, RawHeaderBlockIsTheFinalResponsesWithCrlf) {
  ScriptServer server;
  // Bare LF line ends come back as CRLF; trailers are not headers.
  server.Reply(
      "HTTP/1.1 200 OK\nX-A: 1\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nhi\r\n0\r\nX-T: "
      "2\r\n\r\n");
  Outcome out = Visit(server.Url("/h"));
  EXPECT_EQ(AsBytes("hi"), out.body);
  EXPECT_EQ("HTTP/1.1 200 OK\r\nX-A: 1\r\nTransfer-Encoding: chunked\r\n\r\n", out.headers);
}

TEST(WinInetResponse, SetCookieLinesAreCollected) {
  ScriptServer server;
  server.Reply(HttpResponse(200,
                            {"Set-Cookie: a=1; path=/collect", "set-cookie: x=9", "Set-Cookie:y=8",
                             "Set-Cookie: b=2", "Set-Cookie:  c=3 ;HttpOnly"},
                            "ok"));
  EXPECT_EQ("a=1; b=2; c=3", Visit(server.Url("/collect/c")).cookies);
}

TEST(WinInetResponse, SuppliedCookiesAreMergedOrNot) {
  ScriptServer server;
  server.Reply(HttpResponse(200, {"Set-Cookie: a=1; path=/merge", "Set-Cookie: b=2"}, "ok"));
  Text cookies = "a=0; z=9";
  Text returned;
  WinInetVisit(server.Url("/merge/m"), 0, {}, &cookies, &returned);
  EXPECT_EQ("a=1; b=2; z=9", returned);
  EXPECT_EQ(returned, cookies) << "the merge writes the caller's variable too";

  cookies = "a=0; z=9";
  WinInetVisit(server.Url("/merge/m"), 0, {}, &cookies, &returned, {}, nullptr, false, nullptr, {},
               false);
  EXPECT_EQ("a=1; b=2", returned);
  EXPECT_EQ("a=0; z=9", cookies);
}

TEST(WinInetResponse, HeaderBlockLargerThanTheFirstBuffer) {
  std::vector<std::string> lines;
  std::string expected = "HTTP/1.1 200 OK\r\n";
  for (int i = 0; i < 40; ++i) {
    lines.push_back("X-Filler-" + std::to_string(i) + ": " + std::string(200, 'f'));
    expected += lines.back() + "\r\n";
  }
  lines.push_back("Set-Cookie: late=1; path=/big");
  expected += lines.back() + "\r\nContent-Length: 4\r\n\r\n";
  ScriptServer server;
  server.Reply(HttpResponse(200, lines, "body"));
  Outcome out = Visit(server.Url("/big/h"));
  ASSERT_GT(expected.size(), 5000u);
  EXPECT_EQ(expected, out.headers);
  EXPECT_EQ("late=1", out.cookies);
  EXPECT_EQ(AsBytes("body"), out.body);
}

TEST(WinInetResponse, RedirectsFollowedOrNot) {
  ScriptServer server;
  server.Handle([&server](const test::RecordedRequest& request) {
    if (request.target == "/start") return test::KeepAlive(test::RedirectResponse(302, "/next"));
    if (request.target == "/next")
      return test::KeepAlive(test::RedirectResponse(301, server.Url("/final")));
    return test::KeepAlive(HttpResponse(200, {"X-Final: yes"}, "final body"));
  });
  Outcome followed = Visit(server.Url("/start"));
  EXPECT_EQ(AsBytes("final body"), followed.body);
  EXPECT_EQ(0u, followed.headers.find("HTTP/1.1 200 OK\r\nX-Final: yes\r\n"));
  EXPECT_EQ(3u, server.Requests().size());

  Outcome kept = Visit(server.Url("/start"), true);
  EXPECT_EQ(AsBytes("moved"), kept.body);
  EXPECT_EQ("HTTP/1.1 302 Found\r\nLocation: /next\r\nContent-Length: 5\r\n\r\n", kept.headers);
  EXPECT_EQ(4u, server.Requests().size());
}

TEST(WinInetResponse, AtMostTenRedirects) {
  ScriptServer server;
  server.Reply(test::RedirectResponse(302, "/again"));
  Visit(server.Url("/loop"));
  EXPECT_EQ(11u, server.Requests().size()) << "the first request and ten redirects";
}

TEST(WinInetResponse, RedirectsToOtherSchemesAreNotFollowed) {
  char path[] = "/tmp/paperdl_redirect_XXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(6, write(fd, "SECRET", 6));
  close(fd);
  for (std::string target : {std::string("file://") + path, std::string("ftp://127.0.0.1/x"),
                             std::string("gopher://127.0.0.1/")}) {
    SCOPED_TRACE(target);
    ScriptServer server;
    server.Reply(test::RedirectResponse(302, target));
    Outcome out = Visit(server.Url("/r"));
    EXPECT_EQ(std::string::npos, ToText(out.body).find("SECRET"));
    EXPECT_EQ(0u, out.headers.find("HTTP/1.1 302 Found\r\nLocation: " + target + "\r\n"));
    EXPECT_EQ(1u, server.Requests().size());
  }
  unlink(path);
}

// The limits are shortened so that each test takes about a second.
class WinInetLimits : public ::testing::Test {
 protected:
  void SetUp() override { platform::SetInternetTimeLimits(1000, 800); }
  void TearDown() override { platform::SetInternetTimeLimits(60000, 30000); }
};

TEST_F(WinInetLimits, WhatArrivedComesBack) {
  ScriptServer server;
  server.Reply(test::StallAfter("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nfirst part"));
  Outcome out = Visit(server.Url("/slow"));
  EXPECT_EQ(AsBytes("first part"), out.body);
  EXPECT_EQ("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n", out.headers);
}

TEST_F(WinInetLimits, SilentServerGivesNothing) {
  ScriptServer server;
  server.Reply(test::StallAfter(""));
  Text headers = "caller's", cookies = "caller's";
  EXPECT_TRUE(WinInetVisit(server.Url("/s"), 0, {}, nullptr, &cookies, {}, &headers).empty());
  EXPECT_EQ("", headers) << "no response, no header block";
  EXPECT_EQ("", cookies);
}

TEST(WinInetResponse, HandlesThatCannotOpenLeaveTheCallersVariables) {
  struct Case {
    const char* name;
    const char* url;
  } cases[] = {
      {"no host", "http:///books/1.jpg"},
      {"port beyond 16 bits, not cut to another port", "http://127.0.0.1:65616/x"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Text cookies = "kept", headers = "kept";
    Bytes bytesBody;
    EXPECT_TRUE(
        WinInetVisit(c.url, 1, "text", nullptr, &cookies, {}, &headers, false, &bytesBody).empty());
    EXPECT_EQ("kept", cookies);
    EXPECT_EQ("kept", headers);
    EXPECT_TRUE(bytesBody.empty()) << "nothing was sent";
  }
}

TEST_F(WinInetLimits, ConnectionNeverAcceptedGivesNothing) {
  // A listener whose one-place queue is taken drops every further SYN, so
  // the connection attempt hangs until the connect limit ends it.
  int listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  ASSERT_EQ(0, bind(listener, reinterpret_cast<sockaddr*>(&address), size));
  ASSERT_EQ(0, listen(listener, 0));
  ASSERT_EQ(0, getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size));
  int filler = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_EQ(0, connect(filler, reinterpret_cast<sockaddr*>(&address), size));
  const Text url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/";
  Text headers = "x";
  EXPECT_TRUE(WinInetVisit(url, 0, {}, nullptr, nullptr, {}, &headers).empty());
  EXPECT_EQ("", headers);
  close(filler);
  close(listener);
}

TEST(WinInetResponse, RefusedConnectionGivesNothing) {
  int port;
  {
    ScriptServer closed;
    port = closed.Port();
  }
  Text headers = "x", cookies = "x";
  Bytes body = WinInetVisit("http://127.0.0.1:" + std::to_string(port) + "/", 0, {}, nullptr,
                            &cookies, {}, &headers);
  EXPECT_TRUE(body.empty());
  EXPECT_EQ("", headers);
  EXPECT_EQ("", cookies);
}

}  // namespace
}  // namespace paperdl
