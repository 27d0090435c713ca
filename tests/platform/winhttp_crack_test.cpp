// WinHttpCrackUrl: which addresses are taken apart, and into which pieces.
#include <gtest/gtest.h>

#include <string>

#include "platform/winhttp.h"

namespace platform {
namespace {

constexpr std::uint32_t kAsk = 0xFFFFFFFF;

struct Cracked {
  bool ok = false;
  int scheme = 0;
  std::u16string host;
  int port = 0;
  std::u16string path;
  std::u16string extra;
  std::u16string user;
  std::u16string password;
};

Cracked Crack(const std::u16string& url) {
  UrlComponents parts;
  parts.schemeLength = parts.hostNameLength = parts.urlPathLength = parts.extraInfoLength = kAsk;
  parts.userNameLength = parts.passwordLength = kAsk;
  Cracked out;
  out.ok = WinHttpCrackUrl(url.c_str(), static_cast<std::uint32_t>(url.size()), 0, &parts);
  if (!out.ok) return out;
  // Every piece points into the address itself.
  for (const char16_t* piece : {parts.hostName, parts.urlPath, parts.extraInfo}) {
    EXPECT_GE(piece, url.data());
    EXPECT_LE(piece, url.data() + url.size());
  }
  out.scheme = parts.schemeNumber;
  out.host.assign(parts.hostName, parts.hostNameLength);
  out.port = parts.port;
  out.path.assign(parts.urlPath, parts.urlPathLength);
  out.extra.assign(parts.extraInfo, parts.extraInfoLength);
  out.user.assign(parts.userName, parts.userNameLength);
  out.password.assign(parts.password, parts.passwordLength);
  return out;
}

struct CrackCase {
  const char* name;
  std::u16string url;
  int scheme;
  std::u16string host;
  int port;
  std::u16string path;
  std::u16string extra;
};

TEST(WinHttpCrackUrlTest, TakesAddressesApart) {
  const CrackCase cases[] = {
      {"path, query and fragment", u"http://example.com/a/b?q=1#p=1", kInternetSchemeHttp,
       u"example.com", 80, u"/a/b", u"?q=1#p=1"},
      {"fragment only", u"http://h/Index/article/aid/3927.html#p=1", kInternetSchemeHttp, u"h", 80,
       u"/Index/article/aid/3927.html", u"#p=1"},
      {"https with a port and no path", u"https://127.0.0.1:8443", kInternetSchemeHttps,
       u"127.0.0.1", 8443, u"", u""},
      {"scheme in capitals", u"HTTP://Host/x", kInternetSchemeHttp, u"Host", 80, u"/x", u""},
      {"query without a path", u"http://h?q=1", kInternetSchemeHttp, u"h", 80, u"", u"?q=1"},
      {"IPv6 address", u"http://[::1]:8080/x", kInternetSchemeHttp, u"::1", 8080, u"/x", u""},
      {"Chinese path", u"http://h/\u4E2D\u6587", kInternetSchemeHttp, u"h", 80, u"/\u4E2D\u6587",
       u""},
  };
  for (const CrackCase& c : cases) {
    SCOPED_TRACE(c.name);
    Cracked got = Crack(c.url);
    ASSERT_TRUE(got.ok);
    EXPECT_EQ(c.scheme, got.scheme);
    EXPECT_TRUE(c.host == got.host);
    EXPECT_EQ(c.port, got.port);
    EXPECT_TRUE(c.path == got.path);
    EXPECT_TRUE(c.extra == got.extra);
  }
}

TEST(WinHttpCrackUrlTest, UserInformationIsSeparated) {
  Cracked got = Crack(u"http://user:pw@host:81/p");
  ASSERT_TRUE(got.ok);
  EXPECT_TRUE(got.user == u"user");
  EXPECT_TRUE(got.password == u"pw");
  EXPECT_TRUE(got.host == u"host");
  EXPECT_EQ(81, got.port);
}

TEST(WinHttpCrackUrlTest, RefusesWhatIsNoHttpAddress) {
  const std::pair<const char*, std::u16string> cases[] = {
      {"empty", u""},
      {"ftp", u"ftp://127.0.0.1/file"},
      {"file", u"file:///etc/passwd"},
      {"no scheme", u"example.com/path"},
      {"one slash", u"http:/host/"},
      {"no host", u"http:///path"},
      {"port without host", u"http://:80/"},
      {"port out of range", u"http://host:99999/"},
      {"port zero", u"http://host:0/"},
      {"port not a number", u"http://host:8a/"},
      {"blank in the host", u"http://ho st/"},
      {"line break in the host", u"http://host\r\nX: 1/"},
      {"unclosed IPv6 address", u"http://[::1/"},
  };
  for (const auto& [name, url] : cases) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(Crack(url).ok);
  }
}

TEST(WinHttpCrackUrlTest, ZeroLengthMeansZeroTerminatedAndNullFails) {
  UrlComponents parts;
  parts.hostNameLength = kAsk;
  ASSERT_TRUE(WinHttpCrackUrl(u"http://zero/x", 0, 0, &parts));
  EXPECT_TRUE(std::u16string(parts.hostName, parts.hostNameLength) == u"zero");
  EXPECT_FALSE(WinHttpCrackUrl(nullptr, 0, 0, &parts));
  EXPECT_FALSE(WinHttpCrackUrl(u"http://h/", 0, 0, nullptr));
}

}  // namespace
}  // namespace platform
