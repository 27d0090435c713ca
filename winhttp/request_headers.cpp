#include "winhttp/request_headers.h"

#include <array>

#include "textutil/header_block.h"
#include "textutil/markers.h"

namespace paperdl {
namespace {

constexpr int kPostMethod = 1;

struct DefaultLine {
  const char* searchText;
  const char* line;
  bool postOnly;
};

// Tried in this order; each search covers the block as built so far.
constexpr std::array<DefaultLine, 6> kDefaultLines = {{
    {"User-Agent: ",
     "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)\r\n",
     false},
    {"Accept: ", "Accept: text/html, application/xhtml+xml, */*\r\n", false},
    {"Accept-Encoding: ", "Accept-Encoding: gbk, GB2312\r\n", false},
    {"Accept-Language: ", "Accept-Language: zh-cn\r\n", false},
    {"Content-Type:", "Content-Type: application/x-www-form-urlencoded\r\n", true},
    {"Cache-Control: ", "Cache-Control: no-cache\r\n", false},
}};

bool Contains(const Text& text, const Text& sought, bool ignoreCase) {
  return FindText(text, sought, 1, ignoreCase) > 0;
}

void AddDefaultLines(Text& block, int method) {
  for (const DefaultLine& row : kDefaultLines) {
    if (row.postOnly && method != kPostMethod) continue;
    if (!Contains(block, row.searchText, true)) block += row.line;
  }
}

// Only the exact line "Connection: keep-alive" followed by a line break goes;
// the value must be exactly "keep-alive" in the first Connection line.
void RemoveKeepAlive(Text& block) {
  if (!Contains(block, "Connection", false)) return;
  if (HeaderValue(block, "Connection") != "keep-alive") return;
  block = ReplaceText(block, "Connection: keep-alive\r\n", "", 1, std::nullopt, true);
}

// A cookies text that holds "Cookie:" is a whole header line already.
void AddCookieLine(Text& block, const Text& cookies) {
  if (cookies.empty() || Contains(block, "Cookie:", true)) return;
  if (Contains(cookies, "Cookie:", true)) {
    block += "\r\n" + cookies + "\r\n";
  } else {
    block += "\r\nCookie: " + cookies + "\r\n";
  }
}

}  // namespace

Text MethodVerb(int method) {
  static const std::array<const char*, 8> kVerbs = {"GET",     "POST",   "HEAD",  "PUT",
                                                    "OPTIONS", "DELETE", "TRACE", "CONNECT"};
  if (method < 0 || method >= static_cast<int>(kVerbs.size())) return "GET";
  return kVerbs[method];
}

Text BuildRequestHeaderBlock(const Text& headers, int method, const Text& cookies,
                             bool completeHeaders, bool normalizeHeaders) {
  Text block = headers.empty() ? Text{} : headers + "\r\n";
  if (completeHeaders) AddDefaultLines(block, method);
  if (normalizeHeaders) block = NormalizeHeaderBlock(block);
  RemoveKeepAlive(block);
  AddCookieLine(block, cookies);
  return block;
}

}  // namespace paperdl
