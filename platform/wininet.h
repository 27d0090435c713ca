// The WinInet operations the image requests are made with, under their
// Windows names, with the arguments and results those requests rely on.
// Implemented over libcurl (platform/linux/wininet_*.cpp).
//
// Handles form a tree: internet (agent, proxy) -> connection (host, port) ->
// request (verb, path, flags). Each handle copies what it needs from its
// parent, so handles may be closed in any order. Behind every request lies one
// process-wide connection pool, DNS cache and cookie store, shared by all
// requests, as the system service keeps its own.
//
// Security-relevant behaviour of every request: only http and https, also for
// redirects (at most 10, none with INTERNET_FLAG_NO_AUTO_REDIRECT); a direct
// handle never uses a proxy, whatever the environment says; certificate
// problems are ignored only as far as INTERNET_OPTION_SECURITY_FLAGS says; a
// connect limit and a stall limit end any transfer that would wait forever.
//
// Opening the first internet handle also sets the process's allocator to keep
// freed memory for reuse (platform/memory.h): bodies of a few hundred
// kilobytes, one after another, would otherwise each pay fresh page faults.
#pragma once

#include <cstdint>

namespace platform {

struct InternetHandle;
using HINTERNET = InternetHandle*;

// InternetOpenA access types.
inline constexpr std::uint32_t INTERNET_OPEN_TYPE_DIRECT = 1;
inline constexpr std::uint32_t INTERNET_OPEN_TYPE_PROXY = 3;
// InternetConnectA service.
inline constexpr std::uint32_t INTERNET_SERVICE_HTTP = 3;
inline constexpr std::uint16_t INTERNET_DEFAULT_PORT = 0;  // 80, or 443 for secure requests

// HttpOpenRequestA flags.
inline constexpr std::uint32_t INTERNET_FLAG_RELOAD = 0x80000000;
inline constexpr std::uint32_t INTERNET_FLAG_NEED_FILE = 0x10;
inline constexpr std::uint32_t INTERNET_FLAG_NO_COOKIES = 0x80000;
inline constexpr std::uint32_t INTERNET_FLAG_NO_AUTO_REDIRECT = 0x200000;
inline constexpr std::uint32_t INTERNET_FLAG_SECURE = 0x800000;
inline constexpr std::uint32_t INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS = 0x4000;

// InternetSetOptionA option 31 takes a 32-bit mask of these.
inline constexpr std::uint32_t INTERNET_OPTION_SECURITY_FLAGS = 31;
inline constexpr std::uint32_t SECURITY_FLAG_IGNORE_REVOCATION = 0x80;
inline constexpr std::uint32_t SECURITY_FLAG_IGNORE_UNKNOWN_CA = 0x100;
inline constexpr std::uint32_t SECURITY_FLAG_IGNORE_WRONG_USAGE = 0x200;
inline constexpr std::uint32_t SECURITY_FLAG_IGNORE_CERT_CN_INVALID = 0x1000;
inline constexpr std::uint32_t SECURITY_FLAG_IGNORE_CERT_DATE_INVALID = 0x2000;
inline constexpr std::uint32_t SECURITY_FLAG_IGNORE_REDIRECT_TO_HTTPS = 0x4000;
inline constexpr std::uint32_t SECURITY_FLAG_IGNORE_REDIRECT_TO_HTTP = 0x8000;

// HttpQueryInfoA: the final response's status line and header lines, each
// followed by CRLF, then an empty line (CRLF), then a terminating NUL.
inline constexpr std::uint32_t HTTP_QUERY_RAW_HEADERS_CRLF = 22;
// With HTTP_QUERY_FLAG_NUMBER: the final response's declared body length as a
// 32-bit number; false (kHeaderNotFound) when it declares none.
inline constexpr std::uint32_t HTTP_QUERY_CONTENT_LENGTH = 5;
inline constexpr std::uint32_t HTTP_QUERY_FLAG_NUMBER = 0x20000000;

// What InternetGetLastError reports after a failed call.
enum class InternetError : std::uint32_t {
  kNone = 0,
  kInvalidHandle = 6,
  kInvalidParameter = 87,
  kInsufficientBuffer = 122,
  kTimeout = 12002,
  kCannotConnect = 12029,
  kConnectionReset = 12031,
  kHeaderNotFound = 12150,
  kInvalidServerResponse = 12152,
  kSecureFailure = 12175,
  kRedirectRefused = 12156,
};

// proxy: "host:port" for every scheme, or entries "http=host:port" and
// "https=host:port" separated by blanks or ";". bypass: hosts that go direct.
HINTERNET InternetOpenA(const char* agent, std::uint32_t accessType, const char* proxy,
                        const char* bypass, std::uint32_t flags);
HINTERNET InternetConnectA(HINTERNET internet, const char* serverName, std::uint16_t port,
                           const char* userName, const char* password, std::uint32_t service,
                           std::uint32_t flags, std::uintptr_t context);
// version "HTTP/1.1" or "HTTP/1.0" (null: 1.1). The path is sent as given,
// save blanks, control bytes and bytes of 0x80 and above, which no request
// line can carry: those are percent-encoded.
HINTERNET HttpOpenRequestA(HINTERNET connection, const char* verb, const char* objectName,
                           const char* version, const char* referrer, const char** acceptTypes,
                           std::uint32_t flags, std::uintptr_t context);
bool InternetSetOptionA(HINTERNET handle, std::uint32_t option, const void* buffer,
                        std::uint32_t length);
// headers: lines separated by CRLF, sent in order (headersLength -1: up to the
// NUL). Returns once the response has begun (or failed); the body then flows
// through InternetReadFile. False when no response arrived.
bool HttpSendRequestA(HINTERNET request, const char* headers, std::int32_t headersLength,
                      const void* body, std::uint32_t bodyLength);
// Copies up to toRead bytes of the body. *read is 0 at the end of the body and
// after a failure (reset, stall, time-out), once what arrived has been read;
// a failure makes the call return false.
bool InternetReadFile(HINTERNET request, void* buffer, std::uint32_t toRead, std::uint32_t* read);
// On success *length is the number of bytes written without the NUL. When the
// buffer is too small: false, kInsufficientBuffer, and *length is the
// size needed including the NUL. No response: false, kHeaderNotFound.
bool HttpQueryInfoA(HINTERNET request, std::uint32_t infoLevel, void* buffer, std::uint32_t* length,
                    std::uint32_t* index);
bool InternetCloseHandle(HINTERNET handle);
// The error of the last failed call on this thread.
InternetError InternetGetLastError();

// Limits that end a transfer: connecting, and going without a single byte.
// Defaults 60 s and 30 s; tests shorten them.
void SetInternetTimeLimits(int connectMilliseconds, int stallMilliseconds);

}  // namespace platform
