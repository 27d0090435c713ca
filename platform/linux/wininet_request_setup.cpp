// Turning a request handle and the arguments of HttpSendRequestA into a
// configured libcurl transfer: address, verb, header lines, body and the
// settings every transfer gets.
#include <strings.h>

#include <cstring>

#include "platform/linux/request_target.h"
#include "platform/linux/wininet_internal.h"

namespace platform {

namespace {

// The header text split into its lines, empty lines dropped.
std::vector<std::string> HeaderLines(const char* headers, std::int32_t length) {
  std::vector<std::string> lines;
  if (headers == nullptr) return lines;
  std::string text = length < 0 ? std::string(headers) : std::string(headers, length);
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

bool HasHeader(const std::vector<std::string>& lines, const char* name) {
  std::size_t size = std::strlen(name);
  for (const auto& line : lines)
    if (line.size() > size && line[size] == ':' && strncasecmp(line.c_str(), name, size) == 0)
      return true;
  return false;
}

// The path as given, with a leading "/" and the bytes a request line cannot carry escaped.
std::string RequestLinePath(const std::string& path) {
  std::string line = EscapeRequestTarget(path);
  if (line.empty() || line.front() != '/') line.insert(line.begin(), '/');
  return line;
}

std::string AddressOf(const InternetRequest& request, bool https) {
  std::uint16_t port = request.port;
  if (port == INTERNET_DEFAULT_PORT) port = https ? 443 : 80;
  std::string path = RequestLinePath(request.path);
  return (https ? "https://" : "http://") + request.host + ":" + std::to_string(port) + path;
}

// http to https and back only as far as the flags allow.
const char* RedirectProtocols(const InternetRequest& request, bool https) {
  if (https)
    return request.securityFlags & SECURITY_FLAG_IGNORE_REDIRECT_TO_HTTP ? "http,https" : "https";
  bool toHttps = (request.flags & INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS) ||
                 (request.securityFlags & SECURITY_FLAG_IGNORE_REDIRECT_TO_HTTPS);
  return toHttps ? "http,https" : "http";
}

void ApplyVerbAndBody(InternetRequest& request) {
  CURL* easy = request.easy;
  bool hasBody = !request.uploadBody.empty() || request.verb == "POST";
  if (hasBody) {
    curl_easy_setopt(easy, CURLOPT_POSTFIELDS, request.uploadBody.data());
    curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE,
                     static_cast<curl_off_t>(request.uploadBody.size()));
  }
  if (request.verb == "HEAD") {
    curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
  } else if (request.verb != (hasBody ? "POST" : "GET")) {
    curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, request.verb.c_str());
  }
}

// The caller's lines in their order; libcurl's own defaults for Accept,
// Content-Type and Expect are switched off unless the caller asked for them.
void ApplyHeaders(InternetRequest& request, const std::vector<std::string>& lines) {
  curl_slist* list = nullptr;
  for (const auto& line : lines) list = curl_slist_append(list, line.c_str());
  if (!HasHeader(lines, "Accept")) {
    std::string accept;
    for (const auto& type : request.acceptTypes) accept += (accept.empty() ? "" : ", ") + type;
    list = curl_slist_append(list, accept.empty() ? "Accept:" : ("Accept: " + accept).c_str());
  }
  if (!HasHeader(lines, "Content-Type")) list = curl_slist_append(list, "Content-Type:");
  if (!HasHeader(lines, "Expect")) list = curl_slist_append(list, "Expect:");
  request.headerList = list;
  curl_easy_setopt(request.easy, CURLOPT_HTTPHEADER, list);
  if (request.settings.agent)
    curl_easy_setopt(request.easy, CURLOPT_USERAGENT, request.settings.agent->c_str());
  if (request.referrer && !HasHeader(lines, "Referer"))
    curl_easy_setopt(request.easy, CURLOPT_REFERER, request.referrer->c_str());
}

void ApplyTransferSettings(InternetRequest& request, bool https) {
  CURL* easy = request.easy;
  TimeLimits limits = CurrentTimeLimits();
  request.stallLimit = limits.stall;
  curl_easy_setopt(easy, CURLOPT_SHARE, SharedInternetCache());
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, RedirectProtocols(request, https));
  bool follow = (request.flags & INTERNET_FLAG_NO_AUTO_REDIRECT) == 0;
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, follow ? 1L : 0L);
  curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(easy, CURLOPT_HTTP_VERSION,
                   request.http10 ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1);
  curl_easy_setopt(easy, CURLOPT_PATH_AS_IS, 1L);
  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connect.count()));
  curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, 64L * 1024);
  // The process-wide cookie store, unless the request keeps out of it.
  if ((request.flags & INTERNET_FLAG_NO_COOKIES) == 0)
    curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");
  ApplyProxy(easy, request.settings, https);
  ApplyCertificatePolicy(easy, request.securityFlags, https);
  curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, ReceiveHeaderLine);
  curl_easy_setopt(easy, CURLOPT_HEADERDATA, &request);
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, ReceiveBody);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &request);
  curl_easy_setopt(easy, CURLOPT_PREREQFUNCTION, ConnectionReady);
  curl_easy_setopt(easy, CURLOPT_PREREQDATA, &request);
}

}  // namespace

bool ConfigureTransfer(InternetRequest& request, const char* headers, std::int32_t headersLength,
                       const void* body, std::uint32_t bodyLength) {
  request.easy = curl_easy_init();
  request.multi = curl_multi_init();
  if (request.easy == nullptr || request.multi == nullptr) return false;
  if (body != nullptr && bodyLength > 0)
    request.uploadBody.assign(static_cast<const char*>(body), bodyLength);
  bool https = (request.flags & INTERNET_FLAG_SECURE) != 0;
  std::string address = AddressOf(request, https);
  curl_easy_setopt(request.easy, CURLOPT_URL, address.c_str());
  ApplyTransferSettings(request, https);
  ApplyVerbAndBody(request);
  ApplyHeaders(request, HeaderLines(headers, headersLength));
  return curl_multi_add_handle(request.multi, request.easy) == CURLM_OK;
}

}  // namespace platform
