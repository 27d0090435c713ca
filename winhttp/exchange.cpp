#include "winhttp/exchange.h"

#include <cstring>
#include <string>

#include "winhttp/codepage.h"
#include "winhttp/request_headers.h"

namespace paperdl {
namespace {

using platform::WinHttpHandle;

constexpr std::uint32_t kAskForPart = 0xFFFFFFFF;
constexpr std::uint32_t kIgnoreCertificateProblems =
    platform::kSecurityFlagIgnoreUnknownCa | platform::kSecurityFlagIgnoreCertWrongUsage |
    platform::kSecurityFlagIgnoreCertCnInvalid | platform::kSecurityFlagIgnoreCertDateInvalid;

// The UTF-16 form AnsiToUtf16 makes, as a string the platform calls can take.
std::u16string Wide(const Text& text) {
  const Bytes bytes = AnsiToUtf16(text);
  std::u16string wide(bytes.size() / 2, u'\0');
  if (!wide.empty()) std::memcpy(wide.data(), bytes.data(), wide.size() * 2);
  if (!wide.empty() && wide.back() == u'\0') wide.pop_back();
  return wide;
}

Bytes WideBytes(const char16_t* characters, std::uint32_t length) {
  return BytesFromPointer(characters, static_cast<int>(length * 2));
}

StepFailure Fail(const char* utf8Text) {
  return {Gbk(utf8Text), true};
}
// Steps 8 to 12 close the handles without handling window messages first.
StepFailure FailAtOnce(const char* utf8Text) {
  return {Gbk(utf8Text), false};
}

struct AddressParts {
  Text host;
  std::uint16_t port = 0;
  bool secure = false;
  std::u16string objectName;
};

// The object name is the path and the extra information, or "/" without a path.
bool CrackAddress(const Text& url, AddressParts& parts) {
  const std::u16string address = Wide(url);
  platform::UrlComponents components;
  components.schemeLength = components.hostNameLength = kAskForPart;
  components.urlPathLength = components.extraInfoLength = kAskForPart;
  if (!platform::WinHttpCrackUrl(address.c_str(), static_cast<std::uint32_t>(address.size()), 0,
                                 &components))
    return false;
  parts.host = Utf16ToAnsi(WideBytes(components.hostName, components.hostNameLength));
  parts.port = components.port;
  parts.secure = components.schemeNumber == platform::kInternetSchemeHttps;
  if (components.urlPathLength == 0) {
    parts.objectName = Wide("/");
  } else {
    parts.objectName.assign(components.urlPath, components.urlPathLength);
    parts.objectName.append(components.extraInfo, components.extraInfoLength);
  }
  return true;
}

WinHttpHandle* OpenSession(const Text& proxy, bool secure) {
  if (proxy.empty()) {
    return platform::WinHttpOpen(nullptr, platform::kWinHttpAccessTypeNoProxy, u"", nullptr, 0);
  }
  const std::u16string proxyName = Wide(secure ? proxy : "http=" + proxy);
  return platform::WinHttpOpen(nullptr, platform::kWinHttpAccessTypeNamedProxy, proxyName.c_str(),
                               nullptr, 0);
}

bool SetCredentials(WinHttpHandle* request, std::uint32_t target, const Text& user,
                    const Text& password) {
  if (user.empty() || password.empty()) return true;
  return platform::WinHttpSetCredentials(request, target, platform::kWinHttpAuthSchemeBasic,
                                         Wide(user).c_str(), Wide(password).c_str(), nullptr);
}

bool SetOption(WinHttpHandle* request, std::uint32_t option, std::uint32_t value) {
  return platform::WinHttpSetOption(request, option, &value, sizeof value);
}

// Steps 8 to 12. WinHTTP keeps no cookies of its own when the caller sends
// cookies either: no feature option is set for them.
std::optional<StepFailure> SetRequestOptions(const VisitRequest& in, WinHttpHandle* request) {
  if (!SetCredentials(request, platform::kWinHttpAuthTargetServer, in.userName, in.password) ||
      !SetCredentials(request, platform::kWinHttpAuthTargetProxy, in.proxyUser, in.proxyPassword))
    return FailAtOnce("707 设置代理凭证失败!");
  if (!SetOption(request, platform::kWinHttpOptionSecurityFlags, kIgnoreCertificateProblems))
    return FailAtOnce("忽略错误/证书错误  失败！");
  if (in.cookies.empty() &&
      !SetOption(request, platform::kWinHttpOptionDisableFeature, platform::kWinHttpDisableCookies))
    return FailAtOnce("708 禁止自动设置Cookies失败!");
  if (in.noRedirect && !SetOption(request, platform::kWinHttpOptionDisableFeature,
                                  platform::kWinHttpDisableRedirects))
    return FailAtOnce("709 重定向设置失败!");
  return std::nullopt;
}

// Steps 13 to 15. An empty header block is not handed over at all.
std::optional<StepFailure> SendAndReceive(const VisitRequest& in, WinHttpHandle* request) {
  const Text block = BuildRequestHeaderBlock(in.headers, in.method, in.cookies, in.completeHeaders,
                                             in.normalizeHeaders);
  if (!block.empty()) {
    const std::u16string wide = Wide(block);
    if (!platform::WinHttpAddRequestHeaders(request, wide.c_str(),
                                            static_cast<std::uint32_t>(wide.size()),
                                            platform::kWinHttpAddReqFlagAdd))
      return Fail("710 设置协议头失败!");
  }
  const Bytes body = in.bytesBody.empty() ? ToBytes(in.textBody) : in.bytesBody;
  const auto length = static_cast<std::uint32_t>(body.size());
  if (!platform::WinHttpSendRequest(request, nullptr, 0, body.empty() ? nullptr : body.data(),
                                    length, length, 0))
    return Fail("711 发送请求失败!");
  if (!platform::WinHttpReceiveResponse(request, nullptr)) return Fail("712 服务器未响应!");
  return std::nullopt;
}

}  // namespace

VisitHandles::~VisitHandles() {
  if (request) platform::WinHttpCloseHandle(request);
  if (connection) platform::WinHttpCloseHandle(connection);
  if (session) platform::WinHttpCloseHandle(session);
}

int TimeoutMilliseconds(int timeoutSeconds) {
  if (timeoutSeconds <= 0) return 30000;
  const auto product = static_cast<std::int64_t>(timeoutSeconds) * 1000;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(product));
}

std::optional<StepFailure> OpenAndSend(const VisitRequest& in, VisitHandles& handles) {
  AddressParts address;
  if (!CrackAddress(in.url, address)) return Fail("701 解析URL地址失败!");
  handles.session = OpenSession(in.proxy, address.secure);
  if (!handles.session) return Fail("702 创建WinHttp会话失败!");
  const int limit = TimeoutMilliseconds(in.timeoutSeconds);
  if (!platform::WinHttpSetTimeouts(handles.session, limit, limit, limit, limit))
    return Fail("705 设置超时时间失败!");
  handles.connection =
      platform::WinHttpConnect(handles.session, Wide(address.host).c_str(), address.port, 0);
  if (!handles.connection) return Fail("703 创建WinHttp连接失败!");
  handles.request = platform::WinHttpOpenRequest(
      handles.connection, Wide(MethodVerb(in.method)).c_str(), address.objectName.c_str(), nullptr,
      nullptr, nullptr, address.secure ? platform::kWinHttpFlagSecure : 0);
  if (!handles.request) return Fail("704 创建WinHttp请求失败!");
  if (auto failure = SetRequestOptions(in, handles.request)) return failure;
  return SendAndReceive(in, handles.request);
}

Bytes ReadBody(WinHttpHandle* request, Text& statusText) {
  Bytes body;
  for (;;) {
    std::uint32_t available = 0;
    if (!platform::WinHttpQueryDataAvailable(request, &available) || available < 1) break;
    Bytes piece = BlankBytes(static_cast<int>(available));
    std::uint32_t read = 0;
    if (!platform::WinHttpReadData(request, piece.data(), available, &read)) {
      statusText = Gbk("713 读取数据失败!");
      break;
    }
    piece.resize(std::min(read, available));
    // The first piece is usually the whole body: take it over instead of copying.
    if (body.empty()) {
      body = std::move(piece);
    } else {
      body.insert(body.end(), piece.begin(), piece.end());
    }
  }
  return body;
}

}  // namespace paperdl
