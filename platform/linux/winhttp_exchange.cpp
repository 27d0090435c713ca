// The exchange behind WinHttpReceiveResponse: one libcurl transfer per request
// and redirect, run on the session's easy handle. Redirects are followed here,
// not by libcurl, because the request target of the first request (sent as
// given, fragment included) must not be reused for the next address.
#include <curl/curl.h>

#include <atomic>
#include <memory>
#include <string>

#include "platform/linux/winhttp_attempt.h"

namespace platform {
namespace {
std::atomic<std::size_t> bodyLimit{kWinHttpBodyLimit};
}

std::size_t SetWinHttpBodyLimitForTesting(std::size_t limit) {
  return bodyLimit.exchange(limit);
}

}  // namespace platform

namespace platform::winhttp {
namespace {

struct Origin {
  std::string scheme;
  std::string host;
  std::string port;
  bool operator==(const Origin&) const = default;
};

bool ParseOrigin(const char* url, Origin& origin) {
  std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> parts(curl_url(), curl_url_cleanup);
  if (!parts || curl_url_set(parts.get(), CURLUPART_URL, url, 0) != CURLUE_OK) return false;
  auto get = [&](CURLUPart part, std::string& out, unsigned flags) {
    char* value = nullptr;
    if (curl_url_get(parts.get(), part, &value, flags) != CURLUE_OK) return false;
    out = value;
    curl_free(value);
    return true;
  };
  return get(CURLUPART_SCHEME, origin.scheme, 0) && get(CURLUPART_HOST, origin.host, 0) &&
         get(CURLUPART_PORT, origin.port, CURLU_DEFAULT_PORT);
}

bool IsFollowedStatus(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// 301 and 302 turn a POST into a GET, 303 turns everything but HEAD into a GET.
void ApplyRedirectMethod(int status, Attempt& attempt) {
  bool toGet = (status == 303 && attempt.verb != "HEAD") ||
               ((status == 301 || status == 302) && attempt.verb == "POST");
  if (toGet) {
    attempt.verb = "GET";
    attempt.sendBody = false;
  }
}

Attempt FirstAttempt(const RequestState& request) {
  const ConnectionState& connection = *request.connection;
  std::uint16_t port = connection.port ? connection.port : (request.secure ? 443 : 80);
  Attempt attempt;
  attempt.url = std::string(request.secure ? "https://" : "http://") +
                BracketedHost(connection.host) + ":" + std::to_string(port) + "/";
  attempt.target = &request.target;
  attempt.verb = request.verb;
  attempt.sendBody = !request.body.empty() || request.verb == "POST";
  attempt.serverCredentials = request.server.Given();
  return attempt;
}

enum class Next { kDone, kFollow, kFail };

// Decides what a complete response leads to, preparing the next attempt.
Next AfterResponse(CURL* easy, const RequestState& request, const Origin& first, int status,
                   int redirectsSoFar, Attempt& attempt) {
  if ((request.disabledFeatures & kWinHttpDisableRedirects) || !IsFollowedStatus(status))
    return Next::kDone;
  char* location = nullptr;
  if (curl_easy_getinfo(easy, CURLINFO_REDIRECT_URL, &location) != CURLE_OK || !location)
    return Next::kDone;
  Origin target;
  if (!ParseOrigin(location, target)) return Next::kFail;
  if (target.scheme != "http" && target.scheme != "https") return Next::kFail;
  Origin current;
  if (ParseOrigin(attempt.url.c_str(), current) && current.scheme == "https" &&
      target.scheme == "http")
    return Next::kDone;  // a secure exchange is never continued in the clear
  if (redirectsSoFar >= kWinHttpMaxRedirects) return Next::kFail;
  attempt.url = location;
  attempt.target = nullptr;
  attempt.serverCredentials = request.server.Given() && target == first;
  ApplyRedirectMethod(status, attempt);
  return Next::kFollow;
}

}  // namespace

bool RunExchange(RequestState& request) {
  SessionState& session = *request.connection->session;
  Attempt attempt = FirstAttempt(request);
  Origin first;
  if (!ParseOrigin(attempt.url.c_str(), first)) return false;
  for (int redirects = 0;; ++redirects) {
    TransferState transfer(session, bodyLimit.load());
    CURLcode result = PerformAttempt(session.easy, request, attempt, transfer);
    if (!transfer.headersComplete) return false;
    Next next = AfterResponse(session.easy, request, first, transfer.status, redirects, attempt);
    if (next == Next::kFail) return false;
    if (next == Next::kFollow) continue;
    Response& response = request.response;
    response.arrived = true;
    response.headerLines = std::move(transfer.headerLines);
    response.body = std::move(transfer.body);
    response.failed = result != CURLE_OK;
    return true;
  }
}

}  // namespace platform::winhttp
