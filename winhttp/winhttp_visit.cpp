#include "winhttp/winhttp_visit.h"

#include "platform/winhttp.h"
#include "textutil/events.h"
#include "textutil/regex_object.h"
#include "winhttp/exchange.h"
#include "winhttp/response.h"

namespace paperdl {
namespace {

template <typename T>
T& CallerOrLocal(T* callerVariable, T& local) {
  return callerVariable ? *callerVariable : local;
}

}  // namespace

Text WinHttpVisit(const Text& url, int method, const Text& textBody, Text* cookies,
                  Text* returnedCookies, const Text& headers, Text* returnedHeaders,
                  bool noRedirect, const Text& userName, const Text& password, const Text& proxy,
                  const Text& proxyUser, const Text& proxyPassword, int timeoutSeconds,
                  Text* location, Text* statusText, Bytes* responseBytes, bool mergeCookies,
                  bool completeHeaders, const Bytes& bytesBody, bool normalizeHeaders) {
  // Lives for the whole call and goes last, after the handles are closed.
  RegexObject regex;

  Text localStatus;
  Text& status = CallerOrLocal(statusText, localStatus);
  if (!platform::WinHttpCheckPlatform()) {
    status = Gbk("700 当前系统不支持WinHttp服务!");
    return {};
  }

  const Text noCookies;
  VisitRequest request{url,
                       method,
                       textBody,
                       cookies ? *cookies : noCookies,
                       headers,
                       noRedirect,
                       userName,
                       password,
                       proxy,
                       proxyUser,
                       proxyPassword,
                       timeoutSeconds,
                       completeHeaders,
                       bytesBody,
                       normalizeHeaders};
  VisitHandles handles;
  if (auto failure = OpenAndSend(request, handles)) {
    status = failure->text;
    if (failure->handleEventsFirst) ProcessEvents();
    return {};
  }

  const Bytes body = ReadBody(handles.request, status);
  Text localCookies, localHeaders, localLocation;
  VisitResults results{cookies,
                       CallerOrLocal(returnedCookies, localCookies),
                       CallerOrLocal(returnedHeaders, localHeaders),
                       CallerOrLocal(location, localLocation),
                       status,
                       responseBytes};
  Text text = HandleResponse(handles.request, body, mergeCookies, regex, results);
  ProcessEvents();
  return text;
}

}  // namespace paperdl
