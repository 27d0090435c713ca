#include "wininet/request_text.h"

#include "platform/wininet.h"
#include "textutil/markers.h"
#include "wininet/wininet_visit.h"

namespace paperdl {

namespace {

constexpr const char* kVerbs[] = {"GET",     "POST",   "HEAD",  "PUT",
                                  "OPTIONS", "DELETE", "TRACE", "CONNECT"};
constexpr int kPost = 1;

bool Lacks(const Text& headers, const Text& name) {
  return FindText(headers, name, 1, true) == -1;
}

}  // namespace

int KnownMethod(int method) {
  return method < 0 || method > 7 ? 0 : method;
}

const char* VerbOf(int method) {
  return kVerbs[KnownMethod(method)];
}

bool IsHttpsAddress(const Text& url) {
  return ToLower(TextLeft(url, 8)) == "https://";
}

std::uint32_t RequestFlags(bool https, bool cookiesSupplied, bool noRedirect) {
  std::uint32_t flags = platform::INTERNET_FLAG_RELOAD | platform::INTERNET_FLAG_NEED_FILE;
  if (cookiesSupplied) flags |= platform::INTERNET_FLAG_NO_COOKIES;
  if (noRedirect) flags |= platform::INTERNET_FLAG_NO_AUTO_REDIRECT;
  flags |=
      https ? platform::INTERNET_FLAG_SECURE : platform::INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS;
  return flags;
}

Text HeaderLineValue(const Text& line) {
  int colon = FindText(line, ":");
  if (colon == -1) return {};
  return TrimBoth(TextMid(line, colon + 1, TextLength(line)));
}

Text AgentFrom(const Text& headers) {
  if (Lacks(headers, "User-Agent:")) return kDefaultAgent;
  // The cut is case-sensitive although the search above is not: a lower-case
  // line falls back to the value of the block's first line.
  Text agent = TrimBoth(TextBetween(headers + "\r\n", "User-Agent:", "\r\n"));
  return agent.empty() ? HeaderLineValue(headers) : agent;
}

Text CompleteRequestHeaders(Text headers, const Text& url, int method) {
  if (headers.empty()) headers = "Accept: */*";
  if (Lacks(headers, "Accept:")) headers += "\r\nAccept: */*";
  if (Lacks(headers, "Referer:")) headers += ConcatText({"\r\nReferer: ", url});
  if (Lacks(headers, "Accept-Language:")) headers += "\r\nAccept-Language: zh-cn";
  if (method == kPost && Lacks(headers, "Content-Type:"))
    headers += "\r\nContent-Type: application/x-www-form-urlencoded";
  return headers;
}

Text AddCookieLine(Text headers, const Text* cookies) {
  if (cookies == nullptr || cookies->empty()) return headers;
  if (FindText(*cookies, "Cookie:") == -1) return ConcatText({headers, "\r\nCookie: ", *cookies});
  return ConcatText({headers, "\r\n", *cookies});
}

Text CollectSetCookies(const Text& rawHeaders) {
  Text collected;
  for (const Text& line : SplitText(rawHeaders, "\r\n")) {
    if (TextLeftOf(line, ": ") != "Set-Cookie") continue;
    Text pair = FindText(line, ";") != -1 ? TextBetween(line, "Set-Cookie:", ";")
                                          : ReplaceText(line, "Set-Cookie:");
    collected += TrimBoth(pair) + "; ";
  }
  return TextLeft(collected, TextLength(collected) - 2);
}

}  // namespace paperdl
