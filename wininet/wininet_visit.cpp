// WinInetVisit: one request through the WinInet operations. It opens its own
// three handles, sends, reads the whole body in 1024-byte pieces, takes the
// raw response headers, closes the handles and then collects the cookies.
#include "wininet/wininet_visit.h"

#include <algorithm>

#include "platform/memory.h"
#include "platform/wininet.h"
#include "textutil/cookies.h"
#include "textutil/header_block.h"
#include "wininet/request_text.h"
#include "wininet/url_parts.h"

namespace paperdl {

namespace {

using platform::HINTERNET;

constexpr std::uint32_t kSecurityFlags = 0x1F380;
constexpr int kReadPiece = 1024;
constexpr int kHeaderBuffer = 5000;
constexpr std::size_t kLargestReservation = 256u << 20;  // what a declaration may reserve up front

HINTERNET OpenInternet(const Text& agent, const Text& proxy, bool https) {
  if (proxy.empty())
    return platform::InternetOpenA(agent.c_str(), platform::INTERNET_OPEN_TYPE_DIRECT, nullptr,
                                   nullptr, 0);
  // The service reads "http=" entries for plain requests only.
  Text proxyList = https ? proxy : ConcatText({"http=", proxy});
  return platform::InternetOpenA(agent.c_str(), platform::INTERNET_OPEN_TYPE_PROXY,
                                 proxyList.c_str(), "", 0);
}

// GET sends no body; other methods send bytesBody, filled from textBody
// (in the caller's variable) when it is empty.
void Send(HINTERNET request, const Text& headers, int method, const Text& textBody,
          Bytes& bytesBody) {
  auto headersLength = static_cast<std::int32_t>(TextLength(headers));
  if (method == 0) {
    platform::HttpSendRequestA(request, headers.c_str(), headersLength, nullptr, 0);
    return;
  }
  if (bytesBody.empty()) bytesBody = ToBytes(textBody);
  platform::HttpSendRequestA(request, headers.c_str(), headersLength,
                             bytesBody.empty() ? nullptr : bytesBody.data(),
                             static_cast<std::uint32_t>(BytesLength(bytesBody)));
}

// Doubles the body's room when a piece would not fit; the new room is
// offered large pages before the old bytes move in.
void MakeRoom(Bytes& body, std::size_t extra) {
  if (body.size() + extra <= body.capacity()) return;
  Bytes larger;
  larger.reserve(std::max<std::size_t>(2 * body.capacity(), 64 * 1024));
  platform::PreferLargePages(larger.data(), larger.capacity());
  larger.insert(larger.end(), body.begin(), body.end());
  body.swap(larger);
}

// Room for the body the response declares, so a large image is neither
// copied nor grown while it arrives; a false declaration only costs growth.
void ReserveDeclaredLength(HINTERNET request, Bytes& body) {
  std::uint32_t declared = 0;
  auto size = static_cast<std::uint32_t>(sizeof declared);
  if (!platform::HttpQueryInfoA(
          request, platform::HTTP_QUERY_CONTENT_LENGTH | platform::HTTP_QUERY_FLAG_NUMBER,
          &declared, &size, nullptr))
    return;
  body.reserve(std::min<std::size_t>(declared, kLargestReservation) + kReadPiece);
  platform::PreferLargePages(body.data(), body.capacity());
}

// Every byte until a read reports none, appended piece by piece.
Bytes ReadWholeBody(HINTERNET request) {
  Bytes body;
  ReserveDeclaredLength(request, body);
  Bytes piece = BlankBytes(kReadPiece);
  std::uint32_t count = 0;
  do {
    count = 0;
    platform::InternetReadFile(request, piece.data(), kReadPiece, &count);
    MakeRoom(body, count);
    body.insert(body.end(), piece.begin(), piece.begin() + count);
  } while (count != 0);
  return body;
}

// The raw header block; a block larger than the first buffer is fetched again
// with the size the query reports. Empty when no response arrived.
Text QueryRawHeaders(HINTERNET request) {
  Text buffer = BlankText(kHeaderBuffer);
  auto length = static_cast<std::uint32_t>(kHeaderBuffer);
  bool ok = platform::HttpQueryInfoA(request, platform::HTTP_QUERY_RAW_HEADERS_CRLF, buffer.data(),
                                     &length, nullptr);
  if (!ok && platform::InternetGetLastError() == platform::InternetError::kInsufficientBuffer) {
    buffer = BlankText(static_cast<int>(length));
    ok = platform::HttpQueryInfoA(request, platform::HTTP_QUERY_RAW_HEADERS_CRLF, buffer.data(),
                                  &length, nullptr);
  }
  if (!ok) return {};
  return buffer.substr(0, buffer.find('\0'));
}

}  // namespace

Bytes WinInetVisit(const Text& url, int method, const Text& textBody, Text* cookies,
                   Text* returnedCookies, const Text& headers, Text* returnedHeaders,
                   bool noRedirect, Bytes* bytesBody, const Text& proxy, bool mergeCookies,
                   bool completeHeaders, bool normalizeHeaders) {
  Text h = normalizeHeaders ? NormalizeHeaderBlock(headers) : headers;
  method = KnownMethod(method);
  const bool https = IsHttpsAddress(url);

  HINTERNET internet = OpenInternet(AgentFrom(h), proxy, https);
  if (internet == nullptr) return {};
  const int port = PortOf(url);
  HINTERNET connection =
      port < 0 || port > 65535  // no such port: refused rather than cut to 16 bits
          ? nullptr
          : platform::InternetConnectA(internet, HostOf(url).c_str(),
                                       static_cast<std::uint16_t>(port), nullptr, nullptr,
                                       platform::INTERNET_SERVICE_HTTP, 0, 0);
  if (connection == nullptr) {
    platform::InternetCloseHandle(internet);
    return {};
  }
  HINTERNET request = platform::HttpOpenRequestA(
      connection, VerbOf(method), PathOf(url).c_str(), "HTTP/1.1", nullptr, nullptr,
      RequestFlags(https, cookies != nullptr, noRedirect), 0);
  if (request == nullptr) {
    platform::InternetCloseHandle(connection);
    platform::InternetCloseHandle(internet);
    return {};
  }
  const std::uint32_t securityFlags = kSecurityFlags;
  platform::InternetSetOptionA(request, platform::INTERNET_OPTION_SECURITY_FLAGS, &securityFlags,
                               sizeof securityFlags);

  if (completeHeaders) h = CompleteRequestHeaders(h, url, method);
  h = AddCookieLine(h, cookies);
  Bytes ownBody;
  Send(request, h, method, textBody, bytesBody != nullptr ? *bytesBody : ownBody);
  Bytes body = ReadWholeBody(request);
  Text rawHeaders = QueryRawHeaders(request);
  platform::InternetCloseHandle(request);
  platform::InternetCloseHandle(connection);
  platform::InternetCloseHandle(internet);

  Text collected = CollectSetCookies(rawHeaders);
  if (mergeCookies && cookies != nullptr) collected = MergeCookies(*cookies, collected);
  if (returnedHeaders != nullptr) *returnedHeaders = rawHeaders;
  if (returnedCookies != nullptr) *returnedCookies = collected;
  return body;
}

}  // namespace paperdl
