// What WinHttpVisit puts on the wire: request line, header lines, bodies,
// credentials, proxies, TLS.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/recording_proxy.h"
#include "tests/support/script_server.h"
#include "tests/winhttp/visit_call.h"

namespace paperdl::test {
namespace {

const std::vector<std::string> kDefaultLines = {
    "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)",
    "Accept: text/html, application/xhtml+xml, */*",
    "Accept-Encoding: gbk, GB2312",
    "Accept-Language: zh-cn",
    "Cache-Control: no-cache",
};

std::string HostLine(const ScriptServer& server) {
  return "Host: 127.0.0.1:" + std::to_string(server.Port());
}

TEST(WinHttpVisitRequestTest, ArticleCallSendsTargetWithFragmentAndFiveLines) {
  ScriptServer server;
  server.Reply(HttpResponse(200, {"Content-Type: text/html"}, "<title>Paper</title>"));
  const Text result = WinHttpVisit(server.Url("/Index/article/aid/3927.html#p=1"));

  EXPECT_EQ("<title>Paper</title>", result);
  ASSERT_EQ(1u, server.Requests().size());
  const RecordedRequest request = server.Requests()[0];
  EXPECT_EQ("GET /Index/article/aid/3927.html#p=1 HTTP/1.1", request.requestLine);
  std::vector<std::string> expected = {HostLine(server)};
  expected.insert(expected.end(), kDefaultLines.begin(), kDefaultLines.end());
  EXPECT_EQ(expected, request.HeaderLines());
  EXPECT_EQ("", request.body);
}

struct TargetCase {
  const char* name;
  std::string path;  // appended to the server's address
  std::string target;
};

TEST(WinHttpVisitRequestTest, RequestTargets) {
  const TargetCase cases[] = {
      {"no path asks for /", "", "/"},
      {"query without a path is not sent", "?q=1", "/"},
      {"path and query", "/a/b?x=1&y=2", "/a/b?x=1&y=2"},
      {"blanks are escaped, nothing else", "/a b/c?d=e f", "/a%20b/c?d=e%20f"},
  };
  for (const TargetCase& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptServer server;
    server.Reply(HttpResponse(200, {}, "x"));
    VisitCall call;
    call.url = server.Url(c.path);
    call.Run();
    ASSERT_EQ(1u, server.Requests().size());
    EXPECT_EQ(c.target, server.Requests()[0].target);
  }
}

TEST(WinHttpVisitRequestTest, PostSendsTextBodyWithFormType) {
  ScriptServer server;
  server.Reply(HttpResponse(200, {}, "ok"));
  VisitCall call;
  call.url = server.Url("/form");
  call.method = 1;
  call.textBody = "a=1&b=" + Gbk("中");
  call.Run();
  const RecordedRequest request = server.Requests().at(0);
  EXPECT_EQ("POST /form HTTP/1.1", request.requestLine);
  EXPECT_EQ("application/x-www-form-urlencoded", request.Header("Content-Type"));
  EXPECT_EQ("a=1&b=\xD6\xD0", request.body);  // the text's own code-page-936 bytes
  EXPECT_EQ("8", request.Header("Content-Length"));
  EXPECT_FALSE(request.HasHeader("Expect"));
}

TEST(WinHttpVisitRequestTest, BytesBodyWinsOverTextBody) {
  ScriptServer server;
  server.Reply(HttpResponse(200, {}, "ok"));
  VisitCall call;
  call.url = server.Url("/put");
  call.method = 3;
  call.textBody = "ignored";
  call.bytesBody = Bytes{'x', 0, 'y'};
  call.headers = "Content-Type: application/octet-stream";
  call.Run();
  const RecordedRequest request = server.Requests().at(0);
  EXPECT_EQ("PUT /put HTTP/1.1", request.requestLine);
  EXPECT_EQ(std::string("x\0y", 3), request.body);
  EXPECT_EQ("application/octet-stream", request.Header("Content-Type"));
}

TEST(WinHttpVisitRequestTest, CallerHeadersAndCookiesTravelAsGiven) {
  ScriptServer server;
  server.Reply(HttpResponse(200, {}, "ok"));
  VisitCall call;
  call.url = server.Url("/");
  call.headers = "x-custom: 1\r\nAccept: */*";
  call.cookies = "a=1; b=2";
  call.Run();
  const RecordedRequest request = server.Requests().at(0);
  EXPECT_EQ("1", request.Header("X-Custom"));
  EXPECT_EQ("*/*", request.Header("Accept"));
  EXPECT_EQ("a=1; b=2", request.Header("Cookie"));
  EXPECT_EQ(HostLine(server), request.HeaderLines().at(0));
}

// Nothing but what HTTP needs goes out when the block is empty.
TEST(WinHttpVisitRequestTest, EmptyHeaderBlockLeavesOnlyHost) {
  ScriptServer server;
  server.Reply(HttpResponse(200, {}, "ok"));
  VisitCall call;
  call.url = server.Url("/bare");
  call.completeHeaders = false;
  call.Run();
  EXPECT_EQ("ok", call.result);
  EXPECT_EQ(std::vector<std::string>{HostLine(server)}, server.Requests().at(0).HeaderLines());
}

TEST(WinHttpVisitRequestTest, BasicCredentialsOnlyWithBothParts) {
  struct Case {
    const char* name;
    Text user, password;
    std::string authorization;
  } cases[] = {
      {"both given", "user", "pass", "Basic dXNlcjpwYXNz"},
      {"password missing", "user", "", ""},
      {"user missing", "", "pass", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptServer server;
    server.Reply(HttpResponse(200, {}, "ok"));
    VisitCall call;
    call.url = server.Url("/private");
    call.userName = c.user;
    call.password = c.password;
    call.Run();
    EXPECT_EQ("200 OK", call.statusText);
    EXPECT_EQ(c.authorization, server.Requests().at(0).Header("Authorization"));
  }
}

TEST(WinHttpVisitRequestTest, ProxyGetsAbsoluteTargetAndItsCredentials) {
  ScriptServer target, proxy;
  target.Reply(HttpResponse(200, {}, "through the proxy"));
  proxy.Handle(ForwardingProxy());
  VisitCall call;
  call.url = target.Url("/page?q=1");
  call.proxy = "127.0.0.1:" + std::to_string(proxy.Port());
  call.proxyUser = "pu";
  call.proxyPassword = "pp";
  call.Run();
  EXPECT_EQ("through the proxy", call.result);
  ASSERT_EQ(1u, proxy.Requests().size());
  EXPECT_EQ(target.Url("/page?q=1"), proxy.Requests()[0].target);
  EXPECT_EQ("Basic cHU6cHA=", proxy.Requests()[0].Header("Proxy-Authorization"));
  ASSERT_EQ(1u, target.Requests().size());
  EXPECT_EQ("/page?q=1", target.Requests()[0].target);
}

// An https address names the proxy as given; the request goes through a tunnel.
TEST(WinHttpVisitRequestTest, HttpsThroughProxyTunnels) {
  ScriptServer target(ServerOptions{.tls = true});
  target.Reply(HttpResponse(200, {}, "tunnelled"));
  ScriptServer proxy;
  proxy.Handle(ForwardingProxy());
  VisitCall call;
  call.url = target.Url("/t#f");
  call.proxy = "127.0.0.1:" + std::to_string(proxy.Port());
  call.Run();
  EXPECT_EQ("tunnelled", call.result);
  ASSERT_EQ(1u, proxy.Requests().size());
  EXPECT_EQ("CONNECT 127.0.0.1:" + std::to_string(target.Port()) + " HTTP/1.1",
            proxy.Requests()[0].requestLine);
  ASSERT_EQ(1u, target.Requests().size());
  EXPECT_EQ("GET /t#f HTTP/1.1", target.Requests()[0].requestLine);
}

// Without a proxy named, the environment's proxy settings are never used.
TEST(WinHttpVisitRequestTest, EnvironmentProxyIsIgnored) {
  ScriptServer server;
  server.Reply(HttpResponse(200, {}, "direct"));
  RefusingPort nowhere;
  const Text bogus = nowhere.Url("");
  setenv("http_proxy", bogus.c_str(), 1);
  setenv("HTTP_PROXY", bogus.c_str(), 1);
  setenv("all_proxy", bogus.c_str(), 1);
  VisitCall call;
  call.url = server.Url("/");
  call.Run();
  unsetenv("http_proxy");
  unsetenv("HTTP_PROXY");
  unsetenv("all_proxy");
  EXPECT_EQ("direct", call.result);
}

TEST(WinHttpVisitRequestTest, HttpsToSelfSignedServerIgnoresCertificate) {
  ScriptServer server(ServerOptions{.tls = true});
  server.Reply(HttpResponse(200, {}, "secret page"));
  VisitCall call;
  call.url = server.Url("/s#frag");
  call.Run();
  EXPECT_EQ("secret page", call.result);
  EXPECT_EQ("200 OK", call.statusText);
  ASSERT_EQ(1u, server.Requests().size());
  EXPECT_EQ("GET /s#frag HTTP/1.1", server.Requests()[0].requestLine);
}

}  // namespace
}  // namespace paperdl::test
