// How requests travel: proxies, the environment, TLS, the shared connection
// pool and cookie store, and the platform calls' own contracts.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/wininet.h"
#include "tests/support/recording_proxy.h"
#include "tests/support/script_server.h"
#include "wininet/wininet_visit.h"

namespace paperdl {
namespace {

using test::HttpResponse;
using test::ScriptServer;

Bytes AsBytes(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

TEST(WinInetTransport, ProxyGivenAsHostAndPort) {
  ScriptServer target, proxy;
  target.Reply(HttpResponse(200, {}, "via proxy"));
  proxy.Handle(test::ForwardingProxy());
  const Text url = target.Url("/books/1/2.jpg");
  Bytes body = WinInetVisit(url, 0, {}, nullptr, nullptr, {}, nullptr, false, nullptr,
                            "127.0.0.1:" + std::to_string(proxy.Port()));
  EXPECT_EQ(AsBytes("via proxy"), body);
  ASSERT_EQ(1u, proxy.Requests().size());
  EXPECT_EQ("GET " + url + " HTTP/1.1", proxy.Requests()[0].requestLine);
  EXPECT_EQ(url, proxy.Requests()[0].Header("Referer"));
  EXPECT_EQ("GET /books/1/2.jpg HTTP/1.1", target.Requests().at(0).requestLine);
}

TEST(WinInetTransport, HttpsThroughTheProxyTunnels) {
  ScriptServer target({.tls = true}), proxy;
  target.Reply(HttpResponse(200, {}, "secret via tunnel"));
  proxy.Handle(test::ForwardingProxy());
  const std::string hostPort = "127.0.0.1:" + std::to_string(target.Port());
  Bytes body = WinInetVisit(target.Url("/s.jpg"), 0, {}, nullptr, nullptr, {}, nullptr, false,
                            nullptr, "127.0.0.1:" + std::to_string(proxy.Port()));
  EXPECT_EQ(AsBytes("secret via tunnel"), body);
  ASSERT_EQ(1u, proxy.Requests().size());
  EXPECT_EQ("CONNECT " + hostPort + " HTTP/1.1", proxy.Requests()[0].requestLine);
  EXPECT_EQ("GET /s.jpg HTTP/1.1", target.Requests().at(0).requestLine);
}

TEST(WinInetTransport, ProxyListForms) {
  struct Case {
    const char* name;
    std::string list;  // "P" stands for the proxy's host:port
    bool viaProxy;
  } cases[] = {
      {"plain host:port", "P", true},
      {"http entry", "http=P", true},
      {"http entry among others", "ftp=127.0.0.1:1 http=P;https=127.0.0.1:1", true},
      {"only an https entry: plain requests go direct", "https=P", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptServer target, proxy;
    target.Reply(HttpResponse(200, {}, "image"));
    proxy.Handle(test::ForwardingProxy());
    std::string list = c.list;
    const std::string hostPort = "127.0.0.1:" + std::to_string(proxy.Port());
    for (auto at = list.find('P'); at != std::string::npos; at = list.find('P'))
      list.replace(at, 1, hostPort);
    auto internet =
        platform::InternetOpenA("t", platform::INTERNET_OPEN_TYPE_PROXY, list.c_str(), "", 0);
    auto connection =
        platform::InternetConnectA(internet, "127.0.0.1", static_cast<std::uint16_t>(target.Port()),
                                   nullptr, nullptr, platform::INTERNET_SERVICE_HTTP, 0, 0);
    auto request =
        platform::HttpOpenRequestA(connection, "GET", "/i.jpg", "HTTP/1.1", nullptr, nullptr, 0, 0);
    EXPECT_TRUE(platform::HttpSendRequestA(request, "", 0, nullptr, 0));
    EXPECT_EQ(c.viaProxy ? 1 : 0, proxy.ConnectionCount());
    EXPECT_EQ(1u, target.Requests().size());
    platform::InternetCloseHandle(request);
    platform::InternetCloseHandle(connection);
    platform::InternetCloseHandle(internet);
  }
}

// Restores the proxy variables a test sets.
class ProxyEnvironment : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : kNames) setenv(name, proxyUrl().c_str(), 1);
  }
  void TearDown() override {
    for (const char* name : kNames) unsetenv(name);
  }
  std::string proxyUrl() const { return "http://127.0.0.1:" + std::to_string(proxy.Port()); }

  static constexpr const char* kNames[] = {"http_proxy",  "HTTP_PROXY", "https_proxy",
                                           "HTTPS_PROXY", "all_proxy",  "ALL_PROXY"};
  ScriptServer proxy;
};

TEST_F(ProxyEnvironment, DirectRequestsIgnoreTheEnvironment) {
  proxy.Handle(test::ForwardingProxy());
  ScriptServer target;
  target.Reply(HttpResponse(200, {}, "direct"));
  EXPECT_EQ(AsBytes("direct"), WinInetVisit(target.Url("/d")));
  EXPECT_EQ(0, proxy.ConnectionCount());
  EXPECT_EQ(1u, target.Requests().size());
}

TEST(WinInetTransport, HttpsWithSelfSignedCertificate) {
  ScriptServer server({.tls = true});
  server.Reply(HttpResponse(200, {}, "secret image"));
  const Text url = server.Url("/s.jpg");
  ASSERT_EQ(0u, url.find("https://"));
  EXPECT_EQ(AsBytes("secret image"), WinInetVisit(url));
  EXPECT_EQ("GET /s.jpg HTTP/1.1", server.Requests().at(0).requestLine);
}

TEST(WinInetTransport, SuccessiveRequestsShareOneConnection) {
  ScriptServer server;
  server.Reply(HttpResponse(200, {}, "one"));
  server.Reply(HttpResponse(200, {}, "two"));
  server.Reply(HttpResponse(200, {}, "three"));
  EXPECT_EQ(AsBytes("one"), WinInetVisit(server.Url("/1.jpg")));
  EXPECT_EQ(AsBytes("two"), WinInetVisit(server.Url("/2.jpg")));
  EXPECT_EQ(AsBytes("three"), WinInetVisit(server.Url("/3.jpg")));
  EXPECT_EQ(3u, server.Requests().size());
  EXPECT_EQ(1, server.ConnectionCount());
}

TEST(WinInetTransport, CookieStoreUnlessCookiesAreSupplied) {
  ScriptServer server;
  // The store lives as long as the process: a path of this server's own
  // keeps other tests' cookies out, and this test's cookie to itself.
  const std::string dir = "/store" + std::to_string(server.Port());
  server.Reply(HttpResponse(200, {"Set-Cookie: kept=1; path=" + dir}, ""));
  server.Reply(HttpResponse(200, {}, ""));
  WinInetVisit(server.Url(dir + "/a"));
  WinInetVisit(server.Url(dir + "/b"));
  Text own = "mine=2";
  WinInetVisit(server.Url(dir + "/c"), 0, {}, &own);
  const auto requests = server.Requests();
  EXPECT_FALSE(requests.at(0).HasHeader("Cookie"));
  EXPECT_EQ("kept=1", requests.at(1).Header("Cookie"));
  EXPECT_EQ("mine=2", requests.at(2).Header("Cookie")) << "the store is left out";
}

// The platform calls themselves, where the routine relies on their results.
class WinInetCalls : public ::testing::Test {
 protected:
  void Open(const ScriptServer& server, std::uint32_t securityFlags, bool secure) {
    internet =
        platform::InternetOpenA("t", platform::INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    connection =
        platform::InternetConnectA(internet, "127.0.0.1", static_cast<std::uint16_t>(server.Port()),
                                   nullptr, nullptr, platform::INTERNET_SERVICE_HTTP, 0, 0);
    request = platform::HttpOpenRequestA(connection, "GET", "/q", "HTTP/1.1", nullptr, nullptr,
                                         secure ? platform::INTERNET_FLAG_SECURE : 0, 0);
    platform::InternetSetOptionA(request, platform::INTERNET_OPTION_SECURITY_FLAGS, &securityFlags,
                                 4);
  }
  void TearDown() override {
    EXPECT_TRUE(platform::InternetCloseHandle(request));
    EXPECT_TRUE(platform::InternetCloseHandle(connection));
    EXPECT_TRUE(platform::InternetCloseHandle(internet));
    EXPECT_FALSE(platform::InternetCloseHandle(internet)) << "closed twice";
  }
  platform::HINTERNET internet = nullptr, connection = nullptr, request = nullptr;
};

TEST_F(WinInetCalls, RawHeadersReportTheSizeNeeded) {
  ScriptServer server;
  server.Reply(HttpResponse(200, {"X-A: 1"}, "b"));
  Open(server, 0, false);
  ASSERT_TRUE(platform::HttpSendRequestA(request, "", 0, nullptr, 0));
  const std::string block = "HTTP/1.1 200 OK\r\nX-A: 1\r\nContent-Length: 1\r\n\r\n";
  std::string buffer(10, ' ');
  std::uint32_t length = 10;
  EXPECT_FALSE(platform::HttpQueryInfoA(request, platform::HTTP_QUERY_RAW_HEADERS_CRLF,
                                        buffer.data(), &length, nullptr));
  EXPECT_EQ(platform::InternetError::kInsufficientBuffer, platform::InternetGetLastError());
  EXPECT_EQ(block.size() + 1, length);
  buffer.assign(length, ' ');
  ASSERT_TRUE(platform::HttpQueryInfoA(request, platform::HTTP_QUERY_RAW_HEADERS_CRLF,
                                       buffer.data(), &length, nullptr));
  EXPECT_EQ(block.size(), length);
  EXPECT_EQ(block + '\0', buffer);
}

// The declared length lets the read loop reserve the body's room up front.
TEST_F(WinInetCalls, ContentLengthAsNumberOnlyWhenDeclared) {
  constexpr auto kQuery = platform::HTTP_QUERY_CONTENT_LENGTH | platform::HTTP_QUERY_FLAG_NUMBER;
  ScriptServer server;
  server.Reply(HttpResponse(200, {}, "hello"));
  server.Reply(paperdl::test::CloseAfter("HTTP/1.1 200 OK\r\n\r\nno length"));
  Open(server, 0, false);
  ASSERT_TRUE(platform::HttpSendRequestA(request, "", 0, nullptr, 0));
  std::uint32_t declared = 0;
  std::uint32_t size = 2;
  EXPECT_FALSE(platform::HttpQueryInfoA(request, kQuery, &declared, &size, nullptr));
  EXPECT_EQ(platform::InternetError::kInsufficientBuffer, platform::InternetGetLastError());
  size = sizeof declared;
  ASSERT_TRUE(platform::HttpQueryInfoA(request, kQuery, &declared, &size, nullptr));
  EXPECT_EQ(5u, declared);

  auto second =
      platform::HttpOpenRequestA(connection, "GET", "/r", "HTTP/1.1", nullptr, nullptr, 0, 0);
  ASSERT_TRUE(platform::HttpSendRequestA(second, "", 0, nullptr, 0));
  EXPECT_FALSE(platform::HttpQueryInfoA(second, kQuery, &declared, &size, nullptr));
  EXPECT_EQ(platform::InternetError::kHeaderNotFound, platform::InternetGetLastError());
  EXPECT_TRUE(platform::InternetCloseHandle(second));
}

// One https request with the given security flags; true when it got a response.
bool FetchSecure(const ScriptServer& server, std::uint32_t securityFlags) {
  auto internet =
      platform::InternetOpenA("t", platform::INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  auto connection =
      platform::InternetConnectA(internet, "127.0.0.1", static_cast<std::uint16_t>(server.Port()),
                                 nullptr, nullptr, platform::INTERNET_SERVICE_HTTP, 0, 0);
  auto request = platform::HttpOpenRequestA(connection, "GET", "/", "HTTP/1.1", nullptr, nullptr,
                                            platform::INTERNET_FLAG_SECURE, 0);
  platform::InternetSetOptionA(request, platform::INTERNET_OPTION_SECURITY_FLAGS, &securityFlags,
                               4);
  bool accepted = platform::HttpSendRequestA(request, "", 0, nullptr, 0);
  if (!accepted) {
    EXPECT_EQ(platform::InternetError::kSecureFailure, platform::InternetGetLastError());
  }
  std::uint32_t count = 0;
  char buffer[64];
  while (platform::InternetReadFile(request, buffer, sizeof buffer, &count) && count > 0) {
  }
  platform::InternetCloseHandle(request);
  platform::InternetCloseHandle(connection);
  platform::InternetCloseHandle(internet);
  return accepted;
}

struct CertificateCase {
  const char* name;
  std::uint32_t securityFlags;
  bool accepted;
};

const CertificateCase kCertificates[] = {
    {"no flags", 0, false},
    {"wrong name only", platform::SECURITY_FLAG_IGNORE_CERT_CN_INVALID, false},
    {"expired date only", platform::SECURITY_FLAG_IGNORE_CERT_DATE_INVALID, false},
    {"unknown authority", platform::SECURITY_FLAG_IGNORE_UNKNOWN_CA, true},
    {"the routine's flags", 0x1F380, true},
};

TEST(WinInetCertificates, IgnoredOnlyAsTheFlagsSay) {
  for (const auto& c : kCertificates) {
    SCOPED_TRACE(c.name);
    ScriptServer server({.tls = true});
    server.Reply(HttpResponse(200, {}, "tls"));
    EXPECT_EQ(c.accepted, FetchSecure(server, c.securityFlags));
    EXPECT_EQ(c.accepted ? 1u : 0u, server.Requests().size());
  }
}

TEST(WinInetCertificates, PooledConnectionsKeepTheirLeniencyToThemselves) {
  ScriptServer server({.tls = true});
  server.Reply(HttpResponse(200, {}, "tls"));
  // Lenient requests first, so that their connections wait in the pool.
  for (int round = 0; round < 2; ++round) {
    for (auto c = std::rbegin(kCertificates); c != std::rend(kCertificates); ++c) {
      SCOPED_TRACE(c->name);
      EXPECT_EQ(c->accepted, FetchSecure(server, c->securityFlags));
    }
  }
}

}  // namespace
}  // namespace paperdl
