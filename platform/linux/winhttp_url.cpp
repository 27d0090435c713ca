// WinHttpCheckPlatform and WinHttpCrackUrl: whether transfers can run at all,
// and an address taken apart in place (pointers into the caller's string).
#include <curl/curl.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "platform/linux/curl_global.h"
#include "platform/winhttp.h"

namespace platform {
namespace {

using WideView = std::u16string_view;

bool EqualsIgnoringCase(WideView text, std::string_view ascii) {
  if (text.size() != ascii.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c >= u'A' && c <= u'Z') c = c - u'A' + u'a';
    if (c != static_cast<char16_t>(ascii[i])) return false;
  }
  return true;
}

// Blanks and control characters have no place in a host or port.
bool HasForbiddenCharacter(WideView text) {
  for (char16_t c : text) {
    if (c <= 0x20 || c == 0x7F) return true;
  }
  return false;
}

// Digits only, 1 to 65535.
bool ParsePort(WideView text, std::uint16_t& port) {
  if (text.empty() || text.size() > 5) return false;
  unsigned value = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return false;
    value = value * 10 + (c - u'0');
  }
  if (value == 0 || value > 65535) return false;
  port = static_cast<std::uint16_t>(value);
  return true;
}

// Every part is a view into the address, so its pointer points into it too.
void SetPart(const char16_t*& pointer, std::uint32_t& length, WideView part) {
  if (length == 0) return;
  pointer = part.data();
  length = static_cast<std::uint32_t>(part.size());
}

struct HostAndPort {
  WideView host;
  bool hasPort = false;
  WideView port;
};

// host, [v6-address] or either followed by ":port".
bool SplitHostAndPort(WideView hostPort, HostAndPort& out) {
  std::size_t portColon = WideView::npos;
  if (!hostPort.empty() && hostPort.front() == u'[') {
    std::size_t close = hostPort.find(u']');
    if (close == WideView::npos) return false;
    out.host = hostPort.substr(1, close - 1);
    if (close + 1 < hostPort.size()) {
      if (hostPort[close + 1] != u':') return false;
      portColon = close + 1;
    }
  } else {
    portColon = hostPort.find(u':');
    out.host = hostPort.substr(0, portColon);
  }
  if (portColon != WideView::npos) {
    out.hasPort = true;
    out.port = hostPort.substr(portColon + 1);
  }
  return !out.host.empty() && !HasForbiddenCharacter(out.host);
}

}  // namespace

bool WinHttpCheckPlatform() {
  if (!CurlGlobalReady()) return false;
  const curl_version_info_data* info = curl_version_info(CURLVERSION_NOW);
  return info != nullptr;
}

bool WinHttpCrackUrl(const char16_t* url, std::uint32_t urlLength, std::uint32_t flags,
                     UrlComponents* components) {
  if (!url || !components || flags != 0) return false;
  if (components->structSize != sizeof(UrlComponents)) return false;
  const WideView address(url, urlLength ? urlLength : std::char_traits<char16_t>::length(url));

  std::size_t schemeEnd = address.find(u"://");
  if (schemeEnd == WideView::npos) return false;
  const WideView scheme = address.substr(0, schemeEnd);
  int schemeNumber = 0;
  std::uint16_t port = 0;
  if (EqualsIgnoringCase(scheme, "http")) {
    schemeNumber = kInternetSchemeHttp;
    port = 80;
  } else if (EqualsIgnoringCase(scheme, "https")) {
    schemeNumber = kInternetSchemeHttps;
    port = 443;
  } else {
    return false;
  }

  const WideView rest = address.substr(schemeEnd + 3);
  const std::size_t authorityEnd = std::min(rest.find_first_of(u"/?#"), rest.size());
  const WideView authority = rest.substr(0, authorityEnd);
  const std::size_t at = authority.rfind(u'@');
  const WideView userInfo = authority.substr(0, at == WideView::npos ? 0 : at);
  HostAndPort hostPort;
  if (!SplitHostAndPort(at == WideView::npos ? authority : authority.substr(at + 1), hostPort))
    return false;
  if (hostPort.hasPort && !ParsePort(hostPort.port, port)) return false;

  const WideView tail = rest.substr(authorityEnd);
  const std::size_t extraStart = std::min(tail.find_first_of(u"?#"), tail.size());
  const std::size_t colon = userInfo.find(u':');

  UrlComponents& parts = *components;
  parts.schemeNumber = schemeNumber;
  parts.port = port;
  SetPart(parts.scheme, parts.schemeLength, scheme);
  SetPart(parts.hostName, parts.hostNameLength, hostPort.host);
  SetPart(parts.userName, parts.userNameLength, userInfo.substr(0, colon));
  SetPart(parts.password, parts.passwordLength,
          userInfo.substr(colon == WideView::npos ? userInfo.size() : colon + 1));
  SetPart(parts.urlPath, parts.urlPathLength, tail.substr(0, extraStart));
  SetPart(parts.extraInfo, parts.extraInfoLength, tail.substr(extraStart));
  return true;
}

}  // namespace platform
