// The WinHTTP calls that only gather settings: session, time limits,
// connection, request, credentials, options, request headers, closing.
#include <curl/curl.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/codepage.h"
#include "platform/linux/curl_global.h"
#include "platform/linux/request_target.h"
#include "platform/linux/winhttp_handles.h"

namespace platform {
namespace {

using winhttp::FindHandle;
using winhttp::HandleState;
using winhttp::ToUtf8;

constexpr long kDefaultConnectMs = 60000;
constexpr long kDefaultStallMs = 30000;

winhttp::SessionState* SessionOf(WinHttpHandle* handle) {
  HandleState* state = FindHandle(handle);
  return state && !state->connection && !state->request ? state->session.get() : nullptr;
}

winhttp::RequestState* RequestOf(WinHttpHandle* handle) {
  HandleState* state = FindHandle(handle);
  return state ? state->request.get() : nullptr;
}

// A method name is an HTTP token, so it cannot break the request line.
bool IsToken(std::string_view text) {
  if (text.empty()) return false;
  for (unsigned char c : text) {
    bool ok =
        (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
        std::string_view("!#$%&'*+-.^_`|~").find(static_cast<char>(c)) != std::string_view::npos;
    if (!ok) return false;
  }
  return true;
}

// Header text travels in code page 936, the code page every Text is in.
std::string ToCp936(const char16_t* text, std::size_t length) {
  if (length == 0) return {};
  const int units = static_cast<int>(length);
  int size = WideCharToMultiByte(kCodePage936, 0, text, units, nullptr, 0);
  std::string bytes(size, '\0');
  WideCharToMultiByte(kCodePage936, 0, text, units, bytes.data(), size);
  return bytes;
}

bool IsValidHeaderName(std::string_view name) {
  if (name.empty()) return false;
  for (unsigned char c : name) {
    if (c <= 0x20 || c == 0x7F) return false;
  }
  return true;
}

// Splits a header block into lines; false for a line without a colon or with a
// stray line-break or zero character inside.
bool SplitHeaderLines(std::string_view block, std::vector<std::string>& lines) {
  std::vector<std::string> found;
  while (!block.empty()) {
    std::size_t end = block.find('\n');
    std::string_view line = block.substr(0, end);
    block = end == std::string_view::npos ? std::string_view{} : block.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    if (line.find_first_of(std::string_view("\r\0", 2)) != std::string_view::npos) return false;
    std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || !IsValidHeaderName(line.substr(0, colon))) return false;
    found.emplace_back(line);
  }
  lines.insert(lines.end(), found.begin(), found.end());
  return true;
}

}  // namespace

WinHttpHandle* WinHttpOpen(const char16_t*, std::uint32_t accessType, const char16_t* proxyName,
                           const char16_t*, std::uint32_t flags) {
  if (flags != 0 || !CurlGlobalReady()) return nullptr;
  auto session = std::make_shared<winhttp::SessionState>();
  session->easy = curl_easy_init();
  if (!session->easy) return nullptr;
  session->accessType = accessType;
  if (accessType == kWinHttpAccessTypeNamedProxy) session->proxyList = ToUtf8(proxyName);
  return winhttp::RegisterHandle({session, nullptr, nullptr});
}

bool WinHttpSetTimeouts(WinHttpHandle* handle, int resolveTimeout, int connectTimeout,
                        int sendTimeout, int receiveTimeout) {
  winhttp::SessionState* session = SessionOf(handle);
  if (!session) return false;
  for (int value : {resolveTimeout, connectTimeout, sendTimeout, receiveTimeout}) {
    if (value < -1) return false;
  }
  auto given = [](int value) { return value > 0; };
  long connect = given(connectTimeout) ? connectTimeout : kDefaultConnectMs;
  if (given(resolveTimeout)) connect += resolveTimeout;
  session->connectTimeoutMs = connect;
  session->sendStallMs = given(sendTimeout) ? sendTimeout : kDefaultStallMs;
  session->receiveStallMs = given(receiveTimeout) ? receiveTimeout : kDefaultStallMs;
  return true;
}

WinHttpHandle* WinHttpConnect(WinHttpHandle* handle, const char16_t* serverName,
                              std::uint16_t serverPort, std::uint32_t reserved) {
  winhttp::SessionState* session = SessionOf(handle);
  if (!session || reserved != 0) return nullptr;
  std::string host = ToUtf8(serverName);
  if (host.size() > 2 && host.front() == '[' && host.back() == ']')
    host = host.substr(1, host.size() - 2);
  if (host.empty() || host.find_first_of(" \t\r\n/?#@[]\\") != std::string::npos) return nullptr;
  auto connection = std::make_shared<winhttp::ConnectionState>();
  connection->session = FindHandle(handle)->session;
  connection->host = std::move(host);
  connection->port = serverPort;
  return winhttp::RegisterHandle({nullptr, connection, nullptr});
}

WinHttpHandle* WinHttpOpenRequest(WinHttpHandle* handle, const char16_t* verb,
                                  const char16_t* objectName, const char16_t* version,
                                  const char16_t* referrer, const char16_t* const* acceptTypes,
                                  std::uint32_t flags) {
  HandleState* state = FindHandle(handle);
  if (!state || !state->connection || state->request) return nullptr;
  if ((flags & ~kWinHttpFlagSecure) != 0) return nullptr;
  if (version && ToUtf8(version) != "HTTP/1.1") return nullptr;
  auto request = std::make_shared<winhttp::RequestState>();
  request->connection = state->connection;
  request->verb = verb ? ToUtf8(verb) : "GET";
  if (!IsToken(request->verb)) return nullptr;
  request->target = EscapeRequestTarget(objectName && *objectName ? ToUtf8(objectName) : "/");
  request->secure = (flags & kWinHttpFlagSecure) != 0;
  if (referrer) request->headerLines.push_back("Referer: " + ToUtf8(referrer));
  if (acceptTypes && *acceptTypes) {
    std::string accept = "Accept: ";
    for (auto type = acceptTypes; *type; ++type) {
      accept += (type == acceptTypes ? "" : ", ") + ToUtf8(*type);
    }
    request->headerLines.push_back(accept);
  }
  return winhttp::RegisterHandle({nullptr, nullptr, request});
}

bool WinHttpSetCredentials(WinHttpHandle* handle, std::uint32_t authTargets,
                           std::uint32_t authScheme, const char16_t* userName,
                           const char16_t* password, void* authParams) {
  winhttp::RequestState* request = RequestOf(handle);
  if (!request || authScheme != kWinHttpAuthSchemeBasic || authParams || !userName) return false;
  winhttp::Credentials credentials{ToUtf8(userName), ToUtf8(password)};
  if (authTargets == kWinHttpAuthTargetServer) {
    request->server = std::move(credentials);
  } else if (authTargets == kWinHttpAuthTargetProxy) {
    request->proxy = std::move(credentials);
  } else {
    return false;
  }
  return true;
}

bool WinHttpSetOption(WinHttpHandle* handle, std::uint32_t option, const void* buffer,
                      std::uint32_t bufferLength) {
  winhttp::RequestState* request = RequestOf(handle);
  if (!request || !buffer || bufferLength != sizeof(std::uint32_t)) return false;
  std::uint32_t value;
  std::memcpy(&value, buffer, sizeof value);
  if (option == kWinHttpOptionSecurityFlags) {
    constexpr std::uint32_t known =
        kSecurityFlagIgnoreUnknownCa | kSecurityFlagIgnoreCertWrongUsage |
        kSecurityFlagIgnoreCertCnInvalid | kSecurityFlagIgnoreCertDateInvalid;
    if ((value & ~known) != 0) return false;
    request->securityFlags = value;
    return true;
  }
  if (option == kWinHttpOptionDisableFeature) {
    if (value == 0 || (value & ~(kWinHttpDisableCookies | kWinHttpDisableRedirects)) != 0)
      return false;
    request->disabledFeatures |= value;
    return true;
  }
  return false;
}

bool WinHttpAddRequestHeaders(WinHttpHandle* handle, const char16_t* headers,
                              std::uint32_t headersLength, std::uint32_t modifiers) {
  winhttp::RequestState* request = RequestOf(handle);
  if (!request || !headers || (modifiers != 0 && modifiers != kWinHttpAddReqFlagAdd)) return false;
  if (headersLength == 0) headersLength = std::char_traits<char16_t>::length(headers);
  return SplitHeaderLines(ToCp936(headers, headersLength), request->headerLines);
}

bool WinHttpCloseHandle(WinHttpHandle* handle) {
  return winhttp::UnregisterHandle(handle);
}

}  // namespace platform
