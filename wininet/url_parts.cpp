// Taking a request address apart with plain text operations: no validation,
// no percent-decoding, no user name or password recognised.
#include "wininet/url_parts.h"

#include "textutil/markers.h"

namespace paperdl {

namespace {

// The host as written between the scheme and the first "/", the scheme
// defaulting to plain HTTP; rootOnly keeps the last two labels.
Text HostAfterScheme(Text v, bool rootOnly) {
  if (TextRight(v, 1) != "/") v += "/";  // the host is always followed by a "/"
  if (TextLeft(v, 8) == "https://") {
    v = TextBetween(v, "https://", "/");
  } else {
    if (FindText(v, "http://") == -1) v = "http://" + v;
    v = TextBetween(v, "http://", "/");
  }
  if (rootOnly) {
    TextList labels = SplitText(v, ".");
    if (labels.size() > 1) v = ConcatText({labels[labels.size() - 2], ".", labels.back()});
  }
  return v;
}

// The host cut to its last labels, counted from a public suffix of
// suffixDots dots: the suffix and one label more, or only one label more
// than the suffix with rootOnly.
Text HostByLabelCount(Text v, bool rootOnly, int suffixDots) {
  v = ReplaceText(v, "http://");
  v = ReplaceText(v, "https://");
  int slash = FindText(v, "/");
  if (slash != -1) v = TextLeft(v, slash - 1);
  if (suffixDots < 0) suffixDots = 0;
  int wanted = suffixDots + (rootOnly ? 1 : 2);
  // Dots from the right; a dot that is the very last byte does not count.
  int dot = TextLength(v);
  for (int found = 0; found < wanted; ++found) {
    dot = FindTextReverse(v, ".", dot);
    if (dot == -1) return v;  // too few labels: the host stays whole
  }
  return TextMid(v, dot + 1, TextLength(v));
}

}  // namespace

Text HostOf(const Text& url, bool rootOnly, bool keepPort, std::optional<int> suffixDots) {
  Text v = ToLower(url);
  v = suffixDots ? HostByLabelCount(v, rootOnly, *suffixDots) : HostAfterScheme(v, rootOnly);
  if (keepPort) return v;
  int colon = FindText(v, ":");
  return colon == -1 ? v : TextLeft(v, colon - 1);
}

int PortOf(const Text& url) {
  Text hostAndPort = HostOf(url, false, true);
  if (FindText(hostAndPort, ":") == -1) return TextLeft(ToLower(url), 5) == "https" ? 443 : 80;
  return ToInt(TextRightOf(hostAndPort, ":"));
}

Text PathOf(const Text& url) {
  Text host = HostOf(url);
  // Look for the host after the scheme: a host such as "t" or "tp" also
  // occurs inside "http://", and the path must not start at the scheme's "/".
  int searchFrom = 1;
  if (FindText(url, "https://", 1, true) == 1) searchFrom = 9;
  if (FindText(url, "http://", 1, true) == 1) searchFrom = 8;
  int hostAt = FindText(url, host, searchFrom, true);
  int slash = FindText(url, "/", hostAt, true);
  if (slash <= 0) return "/";
  return TextMid(url, slash, TextLength(url));
}

}  // namespace paperdl
