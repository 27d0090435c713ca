// Turns the settings a request gathered into libcurl options and runs one attempt.
#include <algorithm>
#include <cctype>
#include <memory>
#include <string>
#include <string_view>

#include "platform/linux/winhttp_attempt.h"

namespace platform::winhttp {
namespace {

using HeaderList = std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>;

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

bool HasHeader(const std::vector<std::string>& lines, std::string_view name) {
  for (const std::string& line : lines) {
    if (EqualsIgnoringCase(std::string_view(line).substr(0, line.find(':')), name)) return true;
  }
  return false;
}

// libcurl drops a "Name:" line without value; "Name;" sends it with an empty one.
std::string CurlHeaderLine(const std::string& line) {
  std::size_t colon = line.find(':');
  if (line.find_first_not_of(" \t", colon + 1) != std::string::npos) return line;
  return line.substr(0, colon) + ";";
}

// The caller's lines, and libcurl's own additions switched off ("Name:" removes one).
HeaderList BuildHeaderList(const RequestState& request, const Attempt& attempt) {
  HeaderList list(nullptr, curl_slist_free_all);
  auto add = [&](const std::string& line) {
    curl_slist* grown = curl_slist_append(list.get(), line.c_str());
    if (grown) list.release(), list.reset(grown);
  };
  for (const std::string& line : request.headerLines) add(CurlHeaderLine(line));
  if (!HasHeader(request.headerLines, "Accept")) add("Accept:");
  if (!HasHeader(request.headerLines, "Expect")) add("Expect:");
  if (attempt.sendBody && !HasHeader(request.headerLines, "Content-Type")) add("Content-Type:");
  return list;
}

// "host:port", or entries "scheme=host:port" separated by ";" or blanks.
std::string ProxyFor(const SessionState& session, std::string_view scheme) {
  if (session.accessType != kWinHttpAccessTypeNamedProxy) return {};
  std::string_view list = session.proxyList;
  std::string chosen;
  bool chosenForScheme = false;
  while (!list.empty()) {
    std::size_t end = std::min(list.find_first_of("; \t"), list.size());
    std::string_view entry = list.substr(0, end);
    list.remove_prefix(std::min(end + 1, list.size()));
    std::size_t equals = entry.find('=');
    if (entry.empty()) continue;
    if (equals == std::string_view::npos) {
      if (!chosenForScheme) chosen = entry;
    } else if (EqualsIgnoringCase(entry.substr(0, equals), scheme)) {
      chosen = entry.substr(equals + 1);
      chosenForScheme = true;
    }
  }
  if (chosen.empty()) return {};
  if (chosen.find("://") == std::string::npos) chosen = "http://" + chosen;
  return chosen;
}

// A plain-http request through a proxy names the whole address.
std::string RequestTarget(const RequestState& request, const Attempt& attempt, bool viaProxy) {
  if (!attempt.target) return {};
  if (!viaProxy) return *attempt.target;
  const ConnectionState& connection = *request.connection;
  std::string target = "http://";
  target.append(BracketedHost(connection.host));
  if (connection.port != 0 && connection.port != 80) {
    target.append(":").append(std::to_string(connection.port));
  }
  return target.append(*attempt.target);
}

void SetMethod(CURL* easy, const RequestState& request, const Attempt& attempt) {
  if (attempt.verb == "HEAD") {
    curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
  } else if (attempt.verb == "GET" && !attempt.sendBody) {
    curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
  } else if (attempt.sendBody) {
    curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(request.body.size()));
    curl_easy_setopt(easy, CURLOPT_POSTFIELDS, request.body.data());
  }
  // POST keeps libcurl's own verb, which it does not carry into a redirect's GET.
  if (attempt.verb != "GET" && attempt.verb != "HEAD" && attempt.verb != "POST")
    curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, attempt.verb.c_str());
}

void SetCredentials(CURL* easy, const RequestState& request, const Attempt& attempt) {
  if (attempt.serverCredentials) {
    curl_easy_setopt(easy, CURLOPT_HTTPAUTH, CURLAUTH_BASIC);
    curl_easy_setopt(easy, CURLOPT_USERNAME, request.server.user.c_str());
    curl_easy_setopt(easy, CURLOPT_PASSWORD, request.server.password.c_str());
  }
  if (request.proxy.Given()) {
    curl_easy_setopt(easy, CURLOPT_PROXYAUTH, CURLAUTH_BASIC);
    curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, request.proxy.user.c_str());
    curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, request.proxy.password.c_str());
  }
}

void SetCallbacks(CURL* easy, TransferState& transfer) {
  curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, OnHeaderLine);
  curl_easy_setopt(easy, CURLOPT_HEADERDATA, &transfer);
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, OnBodyData);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, OnProgress);
  curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &transfer);
  curl_easy_setopt(easy, CURLOPT_PREREQFUNCTION, OnConnected);
  curl_easy_setopt(easy, CURLOPT_PREREQDATA, &transfer);
}

}  // namespace

CURLcode PerformAttempt(CURL* easy, const RequestState& request, const Attempt& attempt,
                        TransferState& transfer) {
  const SessionState& session = *request.connection->session;
  curl_easy_reset(easy);
  curl_easy_setopt(easy, CURLOPT_URL, attempt.url.c_str());
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, long{CURL_HTTP_VERSION_1_1});
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, session.connectTimeoutMs);

  // An empty proxy switches the environment's proxy variables off, as does an
  // empty no-proxy list for NO_PROXY.
  const bool secure = attempt.url.starts_with("https:");
  const std::string proxy = ProxyFor(session, secure ? "https" : "http");
  curl_easy_setopt(easy, CURLOPT_PROXY, proxy.c_str());
  const std::string target = RequestTarget(request, attempt, !proxy.empty() && !secure);
  if (attempt.target) curl_easy_setopt(easy, CURLOPT_REQUEST_TARGET, target.c_str());
  curl_easy_setopt(easy, CURLOPT_NOPROXY, "");
  curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);

  curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER,
                   (request.securityFlags & kSecurityFlagIgnoreUnknownCa) ? 0L : 1L);
  curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST,
                   (request.securityFlags & kSecurityFlagIgnoreCertCnInvalid) ? 0L : 2L);

  SetMethod(easy, request, attempt);
  SetCredentials(easy, request, attempt);
  HeaderList headers = BuildHeaderList(request, attempt);
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers.get());
  SetCallbacks(easy, transfer);
  CURLcode result = curl_easy_perform(easy);
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, nullptr);
  return result;
}

}  // namespace platform::winhttp
