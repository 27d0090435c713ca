// Opening, configuring and closing WinInet handles. The transfer itself lives
// in wininet_transfer.cpp.
#include <cstring>

#include "platform/linux/wininet_internal.h"

namespace platform {

namespace {

std::string OrEmpty(const char* text) {
  return text != nullptr ? text : "";
}

template <typename Handle>
HINTERNET Publish(Handle* handle) {
  RegisterHandle(handle);
  SetInternetError(InternetError::kNone);
  return handle;
}

}  // namespace

HINTERNET InternetOpenA(const char* agent, std::uint32_t accessType, const char* proxy,
                        const char* bypass, std::uint32_t /*flags*/) {
  SharedInternetCache();  // libcurl is set up before the first request
  if (accessType != INTERNET_OPEN_TYPE_DIRECT && accessType != INTERNET_OPEN_TYPE_PROXY) {
    SetInternetError(InternetError::kInvalidParameter);
    return nullptr;
  }
  if (accessType == INTERNET_OPEN_TYPE_PROXY && (proxy == nullptr || *proxy == '\0')) {
    SetInternetError(InternetError::kInvalidParameter);
    return nullptr;
  }
  auto* session = new InternetSession;
  // The agent is one header value: a line break would start another header.
  if (agent != nullptr) session->settings.agent = std::string(agent, std::strcspn(agent, "\r\n"));
  session->settings.direct = accessType == INTERNET_OPEN_TYPE_DIRECT;
  if (!session->settings.direct) {
    session->settings.proxyList = proxy;
    session->settings.bypass = OrEmpty(bypass);
  }
  return Publish(session);
}

HINTERNET InternetConnectA(HINTERNET internet, const char* serverName, std::uint16_t port,
                           const char* /*userName*/, const char* /*password*/,
                           std::uint32_t service, std::uint32_t /*flags*/,
                           std::uintptr_t /*context*/) {
  auto* session =
      static_cast<InternetSession*>(LiveHandle(internet, InternetHandle::Kind::kInternet));
  if (session == nullptr) return nullptr;
  if (service != INTERNET_SERVICE_HTTP || serverName == nullptr || *serverName == '\0') {
    SetInternetError(InternetError::kInvalidParameter);
    return nullptr;
  }
  auto* connection = new InternetConnection;
  connection->settings = session->settings;
  connection->host = serverName;
  connection->port = port;
  return Publish(connection);
}

HINTERNET HttpOpenRequestA(HINTERNET connection, const char* verb, const char* objectName,
                           const char* version, const char* referrer, const char** acceptTypes,
                           std::uint32_t flags, std::uintptr_t /*context*/) {
  auto* parent =
      static_cast<InternetConnection*>(LiveHandle(connection, InternetHandle::Kind::kConnection));
  if (parent == nullptr) return nullptr;
  auto* request = new InternetRequest;
  request->settings = parent->settings;
  request->host = parent->host;
  request->port = parent->port;
  request->verb = verb != nullptr && *verb != '\0' ? verb : "GET";
  request->path = objectName != nullptr && *objectName != '\0' ? objectName : "/";
  request->http10 = version != nullptr && std::strcmp(version, "HTTP/1.0") == 0;
  if (referrer != nullptr) request->referrer = referrer;
  for (; acceptTypes != nullptr && *acceptTypes != nullptr; ++acceptTypes)
    request->acceptTypes.emplace_back(*acceptTypes);
  request->flags = flags;
  return Publish(request);
}

bool InternetSetOptionA(HINTERNET handle, std::uint32_t option, const void* buffer,
                        std::uint32_t length) {
  auto* request = static_cast<InternetRequest*>(LiveHandle(handle, InternetHandle::Kind::kRequest));
  if (request == nullptr) return false;
  if (option != INTERNET_OPTION_SECURITY_FLAGS || buffer == nullptr ||
      length != sizeof(std::uint32_t)) {
    SetInternetError(InternetError::kInvalidParameter);
    return false;
  }
  std::memcpy(&request->securityFlags, buffer, sizeof(std::uint32_t));
  return true;
}

bool InternetCloseHandle(HINTERNET handle) {
  if (handle == nullptr || !UnregisterHandle(handle)) {
    SetInternetError(InternetError::kInvalidHandle);
    return false;
  }
  delete handle;
  return true;
}

InternetRequest::~InternetRequest() {
  if (multi != nullptr && easy != nullptr) curl_multi_remove_handle(multi, easy);
  if (easy != nullptr) curl_easy_cleanup(easy);
  if (multi != nullptr) curl_multi_cleanup(multi);
  curl_slist_free_all(headerList);
}

}  // namespace platform
