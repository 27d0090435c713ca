// The handle objects behind platform/wininet.h and the process-wide pieces
// they share. Only platform/linux/wininet_*.cpp include this.
#pragma once

#include <curl/curl.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/wininet.h"

namespace platform {

using InternetClock = std::chrono::steady_clock;

// What an internet handle says about every request made under it.
struct SessionSettings {
  std::optional<std::string> agent;
  bool direct = true;
  std::string proxyList;  // as given to InternetOpenA
  std::string bypass;
};

struct InternetHandle {
  enum class Kind { kInternet, kConnection, kRequest };
  explicit InternetHandle(Kind k) : kind(k) {}
  virtual ~InternetHandle() = default;
  Kind kind;
};

struct InternetSession : InternetHandle {
  InternetSession() : InternetHandle(Kind::kInternet) {}
  SessionSettings settings;
};

struct InternetConnection : InternetHandle {
  InternetConnection() : InternetHandle(Kind::kConnection) {}
  SessionSettings settings;
  std::string host;
  std::uint16_t port = INTERNET_DEFAULT_PORT;
};

// One request and its transfer, driven through its own multi handle so the
// body can be handed out piece by piece as InternetReadFile asks for it.
struct InternetRequest : InternetHandle {
  InternetRequest() : InternetHandle(Kind::kRequest) {}
  ~InternetRequest() override;

  SessionSettings settings;
  std::string host;
  std::uint16_t port = INTERNET_DEFAULT_PORT;
  std::string verb, path;
  bool http10 = false;
  std::optional<std::string> referrer;
  std::vector<std::string> acceptTypes;
  std::uint32_t flags = 0;
  std::uint32_t securityFlags = 0;

  CURL* easy = nullptr;
  CURLM* multi = nullptr;
  curl_slist* headerList = nullptr;
  std::string uploadBody;  // kept for the whole transfer
  bool sent = false;
  bool done = false;
  CURLcode result = CURLE_OK;

  // Body bytes received but not yet read; emptied before it grows again.
  std::string pending;
  std::size_t readOffset = 0;
  bool paused = false;  // libcurl holds a piece until pending is read
  bool bodyStarted = false;
  std::string receivingHeaders;  // the response whose header lines are arriving
  std::string finalHeaders;      // the last complete header block

  // Stall watch: the last time a byte moved while the transfer was driven.
  InternetClock::time_point lastActivity;
  curl_off_t lastProgress = -1;
  std::chrono::milliseconds stallLimit{0};
  bool connected = false;  // the stall watch starts once a connection is ready
};

struct TimeLimits {
  std::chrono::milliseconds connect{60000};
  std::chrono::milliseconds stall{30000};
};

// Process-wide pieces (wininet_shared.cpp).
CURLSH* SharedInternetCache();  // connections, DNS and cookies; initialises libcurl
TimeLimits CurrentTimeLimits();
void SetInternetError(InternetError error);
void RegisterHandle(InternetHandle* handle);
bool UnregisterHandle(InternetHandle* handle);
// The live handle of the given kind, or null (and kInvalidHandle).
InternetHandle* LiveHandle(HINTERNET handle, InternetHandle::Kind kind);

// Builds the transfer of a request (wininet_request_setup.cpp).
bool ConfigureTransfer(InternetRequest& request, const char* headers, std::int32_t headersLength,
                       const void* body, std::uint32_t bodyLength);
// libcurl callbacks; userdata is the InternetRequest (wininet_transfer.cpp).
std::size_t ReceiveHeaderLine(char* data, std::size_t size, std::size_t count, void* request);
std::size_t ReceiveBody(char* data, std::size_t size, std::size_t count, void* request);
int ConnectionReady(void* request, char* remoteIp, char* localIp, int remotePort, int localPort);

// Proxy choice for one request (wininet_proxy.cpp); "" means direct.
std::string ProxyUrlFor(const SessionSettings& settings, bool https);
void ApplyProxy(CURL* easy, const SessionSettings& settings, bool https);

// Certificate checks shaped by the security flags (wininet_tls.cpp).
void ApplyCertificatePolicy(CURL* easy, std::uint32_t securityFlags, bool https);

}  // namespace platform
