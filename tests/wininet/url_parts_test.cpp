#include "wininet/url_parts.h"

#include <gtest/gtest.h>

namespace paperdl {
namespace {

struct AddressCase {
  const char* name;
  const char* url;
  const char* host;
  const char* hostWithPort;
  int port;
  const char* path;
};

const AddressCase kAddresses[] = {
    {"upper case scheme, host, port and path", "HTTP://A.B.C:8080/X/y?z=1", "a.b.c", "a.b.c:8080",
     8080, "/X/y?z=1"},
    {"no scheme is plain HTTP", "a.b.c/p", "a.b.c", "a.b.c", 80, "/p"},
    {"https without a path", "https://a.b.c", "a.b.c", "a.b.c", 443, "/"},
    {"HTTPS in capitals", "HTTPS://A.B.C", "a.b.c", "a.b.c", 443, "/"},
    {"https with its own port", "https://a.b.c:8443/i.jpg", "a.b.c", "a.b.c:8443", 8443, "/i.jpg"},
    {"only a slash ends the host", "http://a.b.c?x=1", "a.b.c?x=1", "a.b.c?x=1", 80, "/"},
    {"a fragment stays in the host", "http://a.b.c#top", "a.b.c#top", "a.b.c#top", 80, "/"},
    {"a later http:// names the host", "a.b.c/r?u=http://d.e/f", "d.e", "d.e", 80, "/f"},
    {"the port after the last colon", "http://a:1:2/p", "a", "a:1:2", 2, "/p"},
    {"no port: the first five letters decide", "httpsa.b.c/p", "httpsa.b.c", "httpsa.b.c", 443,
     "/p"},
    {"empty address", "", "", "", 80, "/"},
    {"query and fragment in the path", "http://h.cn/books/12/3.jpg?v=1#p", "h.cn", "h.cn", 80,
     "/books/12/3.jpg?v=1#p"},
    {"loopback with port", "http://127.0.0.1:5000/books/9/1.jpg", "127.0.0.1", "127.0.0.1:5000",
     5000, "/books/9/1.jpg"},
    // Sound behaviour: a host spelled inside "http://" is looked for after it.
    {"host letters inside the scheme", "http://t/x", "t", "t", 80, "/x"},
    {"host letters inside https", "https://s:444/y", "s", "s:444", 444, "/y"},
};

TEST(UrlParts, HostPortAndPath) {
  for (const auto& c : kAddresses) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.host, HostOf(c.url));
    EXPECT_EQ(c.hostWithPort, HostOf(c.url, false, true));
    EXPECT_EQ(c.port, PortOf(c.url));
    EXPECT_EQ(c.path, PathOf(c.url));
  }
}

TEST(UrlParts, CallerAddressIsUnchanged) {
  const Text url = "HTTP://A.B.C/X";
  Text copy = url;
  HostOf(copy, true, true, 1);
  PathOf(copy);
  PortOf(copy);
  EXPECT_EQ(url, copy);
}

struct HostCase {
  const char* name;
  const char* url;
  bool rootOnly;
  bool keepPort;
  std::optional<int> suffixDots;
  const char* host;
};

const HostCase kHosts[] = {
    {"root only keeps two labels", "http://a.b.c/p", true, false, std::nullopt, "b.c"},
    {"root only, single label", "http://localhost/p", true, false, std::nullopt, "localhost"},
    {"root only cuts the port", "http://a.b.c:81/p", true, false, std::nullopt, "b.c"},
    {"root only keeps the port", "http://a.b.c:81/p", true, true, std::nullopt, "b.c:81"},
    {"suffix 1, not root", "http://a.b.name.suf1.suf2/p", false, false, 1, "name.suf1.suf2"},
    {"suffix 1, root", "http://a.b.name.suf1.suf2/p", true, false, 1, "suf1.suf2"},
    {"suffix 0, not root", "http://a.b.name.suf1.suf2/p", false, false, 0, "suf1.suf2"},
    {"suffix 0, root", "http://a.b.name.suf1.suf2/p", true, false, 0, "suf2"},
    {"suffix 0 on a.b.c, root", "a.b.c", true, false, 0, "c"},
    {"suffix 0 on a.b.c", "a.b.c", false, false, 0, "b.c"},
    {"suffix supplied as 0 differs from omitted", "a.b.c", false, false, std::nullopt, "a.b.c"},
    {"too few dots: whole host", "http://b.c/p", false, false, 1, "b.c"},
    {"negative suffix counts as 0", "a.b.c", true, false, -3, "c"},
    {"a trailing dot is not counted", "http://a.b.c./", true, false, 0, "c."},
    {"scheme removed anywhere, https too", "x.https://a.b.c/p", false, false, 0, "b.c"},
    {"label form keeps the port", "HTTPS://W.A.B:9/p", false, true, 0, "a.b:9"},
    {"label form cuts the port", "https://w.a.b:9/p", false, false, 0, "a.b"},
    {"label form, empty address", "", true, false, 1, ""},
};

TEST(UrlParts, HostOptions) {
  for (const auto& c : kHosts) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.host, HostOf(c.url, c.rootOnly, c.keepPort, c.suffixDots));
  }
}

}  // namespace
}  // namespace paperdl
