// The state behind WinHTTP handles: a session owns one libcurl easy handle, a
// connection names host and port, a request gathers its settings until the
// exchange runs in WinHttpReceiveResponse and then holds the final response.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/winhttp.h"

typedef void CURL;

namespace platform::winhttp {

struct SessionState {
  ~SessionState();
  CURL* easy = nullptr;
  std::uint32_t accessType = kWinHttpAccessTypeNoProxy;
  std::string proxyList;  // UTF-8, as given to WinHttpOpen
  long connectTimeoutMs = 60000;
  long sendStallMs = 30000;
  long receiveStallMs = 30000;
};

struct ConnectionState {
  std::shared_ptr<SessionState> session;
  std::string host;  // UTF-8, IPv6 addresses without brackets
  std::uint16_t port = 0;
};

struct Credentials {
  std::string user;
  std::string password;
  bool Given() const { return !user.empty() || !password.empty(); }
};

// The final response of an exchange, served to the read calls.
struct Response {
  bool arrived = false;
  std::vector<std::string> headerLines;  // status line first, without line ends
  std::string body;
  std::size_t readOffset = 0;
  bool failed = false;  // the transfer broke off after the headers
  bool failureReported = false;
};

struct RequestState {
  std::shared_ptr<ConnectionState> connection;
  std::string verb;
  std::string target;  // the object name, escaped for the request line
  bool secure = false;
  Credentials server;
  Credentials proxy;
  std::uint32_t securityFlags = 0;
  std::uint32_t disabledFeatures = 0;
  std::vector<std::string> headerLines;
  std::string body;
  bool sent = false;
  Response response;
};

struct HandleState {
  std::shared_ptr<SessionState> session;
  std::shared_ptr<ConnectionState> connection;
  std::shared_ptr<RequestState> request;
};

// Handles are checked against the live set, so a stale or foreign pointer fails.
WinHttpHandle* RegisterHandle(HandleState state);
HandleState* FindHandle(WinHttpHandle* handle);
bool UnregisterHandle(WinHttpHandle* handle);

// UTF-16 to UTF-8; lengths in characters, null text gives "".
std::string ToUtf8(const char16_t* text, std::size_t length);
std::string ToUtf8(const char16_t* text);
// An IPv6 address in brackets, as addresses write it; other hosts unchanged.
std::string BracketedHost(const std::string& host);
// The code-page-936 bytes of the response headers as UTF-16.
std::u16string HeaderBytesToWide(std::string_view bytes);

// Runs the exchange of a sent request, following redirects; fills its response.
bool RunExchange(RequestState& request);

}  // namespace platform::winhttp

namespace platform {
struct WinHttpHandle {
  winhttp::HandleState state;
};
}  // namespace platform
