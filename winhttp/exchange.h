// The steps of WinHttpVisit's exchange with the WinHTTP operations, from the
// address to the last byte of the body.
#pragma once

#include <optional>

#include "platform/winhttp.h"
#include "textutil/text.h"

namespace paperdl {

// The inputs of one WinHttpVisit call that the exchange reads (the caller's own
// values, not copies).
struct VisitRequest {
  const Text& url;
  int method;
  const Text& textBody;
  const Text& cookies;
  const Text& headers;
  bool noRedirect;
  const Text& userName;
  const Text& password;
  const Text& proxy;
  const Text& proxyUser;
  const Text& proxyPassword;
  int timeoutSeconds;
  bool completeHeaders;
  const Bytes& bytesBody;
  bool normalizeHeaders;
};

// Request, connection and session, closed in this order when the call ends.
struct VisitHandles {
  VisitHandles() = default;
  VisitHandles(const VisitHandles&) = delete;
  VisitHandles& operator=(const VisitHandles&) = delete;
  ~VisitHandles();
  platform::WinHttpHandle* session = nullptr;
  platform::WinHttpHandle* connection = nullptr;
  platform::WinHttpHandle* request = nullptr;
};

// A failed step: its text, and whether pending window messages are handled
// before the handles are closed.
struct StepFailure {
  Text text;
  bool handleEventsFirst = true;
};

// Milliseconds for every limit: seconds × 1000 kept to its low 32 bits, or 30000.
int TimeoutMilliseconds(int timeoutSeconds);

// Steps 2 to 15: address, session, limits, connection, request, options,
// headers, sending and receiving.
std::optional<StepFailure> OpenAndSend(const VisitRequest& request, VisitHandles& handles);
// Step 16: the whole body; a failed read stores its text in statusText and keeps
// what came before it.
Bytes ReadBody(platform::WinHttpHandle* request, Text& statusText);

}  // namespace paperdl
