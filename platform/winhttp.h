// The WinHTTP operations the page requests are written against: synchronous,
// UTF-16 strings, handles closed by WinHttpCloseHandle. On Linux each session
// is one libcurl transfer; nothing is shared between sessions.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// Session, connection and request handles all have this type.
struct WinHttpHandle;

// Access types of WinHttpOpen. Only a named proxy is ever used; every other type
// connects directly and ignores the environment's proxy settings.
inline constexpr std::uint32_t kWinHttpAccessTypeNoProxy = 1;
inline constexpr std::uint32_t kWinHttpAccessTypeNamedProxy = 3;

inline constexpr std::uint32_t kWinHttpFlagSecure = 0x00800000;

inline constexpr std::uint32_t kWinHttpAuthTargetServer = 0;
inline constexpr std::uint32_t kWinHttpAuthTargetProxy = 1;
inline constexpr std::uint32_t kWinHttpAuthSchemeBasic = 1;

inline constexpr std::uint32_t kWinHttpOptionSecurityFlags = 31;
inline constexpr std::uint32_t kSecurityFlagIgnoreUnknownCa = 0x100;
inline constexpr std::uint32_t kSecurityFlagIgnoreCertWrongUsage = 0x200;
inline constexpr std::uint32_t kSecurityFlagIgnoreCertCnInvalid = 0x1000;
inline constexpr std::uint32_t kSecurityFlagIgnoreCertDateInvalid = 0x2000;
inline constexpr std::uint32_t kWinHttpOptionDisableFeature = 63;
inline constexpr std::uint32_t kWinHttpDisableCookies = 1;
inline constexpr std::uint32_t kWinHttpDisableRedirects = 2;

inline constexpr std::uint32_t kWinHttpAddReqFlagAdd = 0x20000000;
inline constexpr std::uint32_t kWinHttpQueryRawHeadersCrlf = 22;

inline constexpr int kInternetSchemeHttp = 1;
inline constexpr int kInternetSchemeHttps = 2;

// At most this many redirects are followed; the next one fails the request.
inline constexpr int kWinHttpMaxRedirects = 10;
// A response body beyond this many bytes ends the transfer; the bytes up to the
// limit are served and the read after them fails.
inline constexpr std::size_t kWinHttpBodyLimit = std::size_t{256} << 20;
// Tests lower the limit instead of sending 256 MiB; returns the previous limit.
std::size_t SetWinHttpBodyLimitForTesting(std::size_t limit);

// The parts of an address. A length set to a non-zero value with a null pointer
// asks for that part: the pointer is then set into the address itself and the
// length to its number of characters. A zero length skips the part.
struct UrlComponents {
  std::uint32_t structSize = sizeof(UrlComponents);
  const char16_t* scheme = nullptr;
  std::uint32_t schemeLength = 0;
  int schemeNumber = 0;
  const char16_t* hostName = nullptr;
  std::uint32_t hostNameLength = 0;
  std::uint16_t port = 0;
  const char16_t* userName = nullptr;
  std::uint32_t userNameLength = 0;
  const char16_t* password = nullptr;
  std::uint32_t passwordLength = 0;
  const char16_t* urlPath = nullptr;
  std::uint32_t urlPathLength = 0;
  // Query and fragment: everything from the first "?" or "#" after the host.
  const char16_t* extraInfo = nullptr;
  std::uint32_t extraInfoLength = 0;
};

bool WinHttpCheckPlatform();
// Only "http" and "https" addresses with a host are accepted. urlLength 0 means
// the address is zero-terminated.
bool WinHttpCrackUrl(const char16_t* url, std::uint32_t urlLength, std::uint32_t flags,
                     UrlComponents* components);

// proxyName: "host:port", or a list of entries "scheme=host:port" separated by
// ";" or blanks, of which the one for the request's scheme is used. No agent is
// sent (the User-Agent line travels in the request headers) and there is no
// bypass list.
WinHttpHandle* WinHttpOpen(const char16_t* agent, std::uint32_t accessType,
                           const char16_t* proxyName, const char16_t* proxyBypass,
                           std::uint32_t flags);
// Milliseconds; 0 or -1 keeps the default limit, anything below -1 fails.
// Resolution and connecting together bound the connection; send and receive are
// stall limits (no byte moving for that long ends the request).
bool WinHttpSetTimeouts(WinHttpHandle* session, int resolveTimeout, int connectTimeout,
                        int sendTimeout, int receiveTimeout);
WinHttpHandle* WinHttpConnect(WinHttpHandle* session, const char16_t* serverName,
                              std::uint16_t serverPort, std::uint32_t reserved);
// The object name is the request target as given (query and fragment included).
WinHttpHandle* WinHttpOpenRequest(WinHttpHandle* connection, const char16_t* verb,
                                  const char16_t* objectName, const char16_t* version,
                                  const char16_t* referrer, const char16_t* const* acceptTypes,
                                  std::uint32_t flags);
// Only the Basic scheme exists.
bool WinHttpSetCredentials(WinHttpHandle* request, std::uint32_t authTargets,
                           std::uint32_t authScheme, const char16_t* userName,
                           const char16_t* password, void* authParams);
// Options 31 (security flags) and 63 (disable feature) on a request, 32-bit values.
bool WinHttpSetOption(WinHttpHandle* request, std::uint32_t option, const void* buffer,
                      std::uint32_t bufferLength);
// Lines separated by "\r\n", each "Name: value"; empty lines are skipped and a
// line without a colon fails the call. headersLength 0 means zero-terminated.
bool WinHttpAddRequestHeaders(WinHttpHandle* request, const char16_t* headers,
                              std::uint32_t headersLength, std::uint32_t modifiers);
bool WinHttpSendRequest(WinHttpHandle* request, const char16_t* headers,
                        std::uint32_t headersLength, const void* optional,
                        std::uint32_t optionalLength, std::uint32_t totalLength,
                        std::uintptr_t context);
// Runs the exchange; false when no response arrived (refused, unknown host,
// time limit, too many or unusable redirects).
bool WinHttpReceiveResponse(WinHttpHandle* request, void* reserved);
// The bytes ready to be read; a pending failure of the transfer counts as one
// byte, so that the read after the last good byte reports it.
bool WinHttpQueryDataAvailable(WinHttpHandle* request, std::uint32_t* numberOfBytesAvailable);
bool WinHttpReadData(WinHttpHandle* request, void* buffer, std::uint32_t numberOfBytesToRead,
                     std::uint32_t* numberOfBytesRead);
// Level 22 only: the final response's header lines as received, each followed
// by "\r\n", then the empty line, as UTF-16. With too small a buffer the call
// fails and *bufferLength receives the size needed in bytes, terminator included.
bool WinHttpQueryHeaders(WinHttpHandle* request, std::uint32_t infoLevel, const char16_t* name,
                         void* buffer, std::uint32_t* bufferLength, std::uint32_t* index);
bool WinHttpCloseHandle(WinHttpHandle* handle);

}  // namespace platform
