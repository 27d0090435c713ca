// Reading the proxy list and bypass list given to InternetOpenA and setting
// them on a transfer. A direct handle disables proxies outright, so the
// environment's http_proxy, https_proxy, all_proxy and no_proxy never apply.
#include <cctype>
#include <sstream>

#include "platform/linux/wininet_internal.h"

namespace platform {

namespace {

// "http=h:1 https=h:2", "h:1" or "http=h:1;https=h:2" into its entries.
std::vector<std::string> ProxyEntries(const std::string& list) {
  std::string spaced = list;
  for (char& c : spaced)
    if (c == ';') c = ' ';
  std::istringstream words(spaced);
  std::vector<std::string> entries;
  for (std::string word; words >> word;) entries.push_back(word);
  return entries;
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  return true;
}

}  // namespace

// The proxy URL for a request of the given scheme, or "" to go direct. A
// scheme-specific entry wins over a plain one; a list that names only other
// schemes sends the request direct, as the service does.
std::string ProxyUrlFor(const SessionSettings& settings, bool https) {
  if (settings.direct) return {};
  const std::string wanted = https ? "https=" : "http=";
  std::string plain, specific;
  for (const auto& entry : ProxyEntries(settings.proxyList)) {
    if (StartsWithNoCase(entry, wanted)) {
      if (specific.empty()) specific = entry.substr(wanted.size());
    } else if (entry.find('=') == std::string::npos) {
      if (plain.empty()) plain = entry;
    }
  }
  std::string chosen = specific.empty() ? plain : specific;
  if (chosen.empty()) return {};
  // The proxy itself is spoken to in plain HTTP unless the entry says otherwise.
  return chosen.find("://") == std::string::npos ? "http://" + chosen : chosen;
}

// WinInet separates bypass entries by blanks or ";", libcurl by commas;
// "<local>" (names without a dot) has no libcurl form and is left out.
std::string NoProxyList(const std::string& bypass) {
  std::string out;
  for (const auto& entry : ProxyEntries(bypass)) {
    if (entry == "<local>") continue;
    out += (out.empty() ? "" : ",") + entry;
  }
  return out;
}

void ApplyProxy(CURL* easy, const SessionSettings& settings, bool https) {
  std::string proxy = ProxyUrlFor(settings, https);
  // An empty proxy (and no-proxy list) overrides the environment explicitly.
  curl_easy_setopt(easy, CURLOPT_PROXY, proxy.c_str());
  curl_easy_setopt(easy, CURLOPT_NOPROXY, NoProxyList(settings.bypass).c_str());
  curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
}

}  // namespace platform
