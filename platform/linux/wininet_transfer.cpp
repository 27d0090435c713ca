// Sending a request and handing out its response: the transfer runs on the
// request's own multi handle, driven only while the caller waits for bytes, so
// received body bytes are held once and only until InternetReadFile takes them.
#include <algorithm>
#include <cstring>

#include "platform/linux/wininet_internal.h"

namespace platform {

namespace {

constexpr std::size_t kPendingLimit = 256 * 1024;

std::string WithCrlf(const char* data, std::size_t size) {
  std::string line(data, size);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return line + "\r\n";
}

InternetError ErrorOf(CURLcode code) {
  switch (code) {
    case CURLE_OK:
      return InternetError::kNone;
    case CURLE_OPERATION_TIMEDOUT:
      return InternetError::kTimeout;
    case CURLE_COULDNT_CONNECT:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
      return InternetError::kCannotConnect;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
      return InternetError::kSecureFailure;
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_TOO_MANY_REDIRECTS:
      return InternetError::kRedirectRefused;
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE:
      return InternetError::kConnectionReset;
    default:
      return InternetError::kInvalidServerResponse;
  }
}

void Finish(InternetRequest& request, CURLcode result) {
  request.done = true;
  request.result = result;
}

void CollectFinished(InternetRequest& request) {
  int left = 0;
  while (CURLMsg* message = curl_multi_info_read(request.multi, &left))
    if (message->msg == CURLMSG_DONE) Finish(request, message->data.result);
}

// Bytes moved so far, headers and upload included.
curl_off_t Progress(CURL* easy) {
  curl_off_t down = 0, up = 0;
  long headers = 0;
  curl_easy_getinfo(easy, CURLINFO_SIZE_DOWNLOAD_T, &down);
  curl_easy_getinfo(easy, CURLINFO_SIZE_UPLOAD_T, &up);
  curl_easy_getinfo(easy, CURLINFO_HEADER_SIZE, &headers);
  return down + up + headers;
}

// Ends the transfer when a ready connection has gone the stall limit without
// a byte; time spent outside Drive does not count.
bool Stalled(InternetRequest& request) {
  auto now = InternetClock::now();
  curl_off_t progress = Progress(request.easy);
  if (progress != request.lastProgress || !request.connected) {
    request.lastProgress = progress;
    request.lastActivity = now;
    return false;
  }
  return now - request.lastActivity >= request.stallLimit;
}

// Runs the transfer until ready() holds or the transfer has ended.
template <typename Ready>
void Drive(InternetRequest& request, Ready ready) {
  request.lastActivity = InternetClock::now();
  while (!request.done && !ready()) {
    if (request.paused) {
      request.paused = false;
      curl_easy_pause(request.easy, CURLPAUSE_CONT);  // may deliver the kept piece at once
      continue;
    }
    int running = 0;
    curl_multi_perform(request.multi, &running);
    CollectFinished(request);
    if (request.done || ready()) return;
    if (Stalled(request)) {
      curl_multi_remove_handle(request.multi, request.easy);  // drops the connection
      Finish(request, CURLE_OPERATION_TIMEDOUT);
      return;
    }
    curl_multi_poll(request.multi, nullptr, 0, 100, nullptr);
  }
}

bool HasUnreadBody(const InternetRequest& request) {
  return request.readOffset < request.pending.size();
}

InternetRequest* SentRequest(HINTERNET handle) {
  auto* request = static_cast<InternetRequest*>(LiveHandle(handle, InternetHandle::Kind::kRequest));
  if (request != nullptr && !request->sent) {
    SetInternetError(InternetError::kInvalidParameter);
    return nullptr;
  }
  return request;
}

}  // namespace

std::size_t ReceiveHeaderLine(char* data, std::size_t size, std::size_t count, void* userdata) {
  auto& request = *static_cast<InternetRequest*>(userdata);
  std::size_t bytes = size * count;
  if (bytes >= 5 && std::memcmp(data, "HTTP/", 5) == 0) {
    request.receivingHeaders = WithCrlf(data, bytes);  // a new response begins
  } else if (!request.receivingHeaders.empty()) {
    std::string line = WithCrlf(data, bytes);
    request.receivingHeaders += line;
    if (line == "\r\n") request.finalHeaders = std::move(request.receivingHeaders);
    if (line == "\r\n") request.receivingHeaders.clear();
  }
  // Anything else (trailers after a chunked body) is not part of the block.
  return bytes;
}

std::size_t ReceiveBody(char* data, std::size_t size, std::size_t count, void* userdata) {
  auto& request = *static_cast<InternetRequest*>(userdata);
  if (!HasUnreadBody(request)) {
    request.pending.clear();
    request.readOffset = 0;
  }
  // Enough is waiting: libcurl keeps this piece and stops reading the socket
  // until the caller has read what is here.
  if (request.pending.size() - request.readOffset >= kPendingLimit) {
    request.paused = true;
    return CURL_WRITEFUNC_PAUSE;
  }
  request.pending.append(data, size * count);
  request.bodyStarted = true;
  return size * count;
}

int ConnectionReady(void* userdata, char*, char*, int, int) {
  static_cast<InternetRequest*>(userdata)->connected = true;
  return CURL_PREREQFUNC_OK;
}

bool HttpSendRequestA(HINTERNET handle, const char* headers, std::int32_t headersLength,
                      const void* body, std::uint32_t bodyLength) {
  auto* request = static_cast<InternetRequest*>(LiveHandle(handle, InternetHandle::Kind::kRequest));
  if (request == nullptr) return false;
  if (request->sent || request->easy != nullptr ||  // one send per request
      !ConfigureTransfer(*request, headers, headersLength, body, bodyLength)) {
    SetInternetError(InternetError::kInvalidParameter);
    return false;
  }
  request->sent = true;
  Drive(*request, [request] { return request->bodyStarted; });
  if (request->finalHeaders.empty()) {
    SetInternetError(ErrorOf(request->result != CURLE_OK ? request->result : CURLE_RECV_ERROR));
    return false;
  }
  SetInternetError(ErrorOf(request->result));
  return true;
}

bool InternetReadFile(HINTERNET handle, void* buffer, std::uint32_t toRead, std::uint32_t* read) {
  if (read != nullptr) *read = 0;
  InternetRequest* request = SentRequest(handle);
  if (request == nullptr || read == nullptr || (buffer == nullptr && toRead > 0)) return false;
  if (toRead == 0) return true;
  Drive(*request, [request] { return HasUnreadBody(*request); });
  std::size_t available = request->pending.size() - request->readOffset;
  std::size_t n = std::min<std::size_t>(available, toRead);
  if (n > 0) {
    std::memcpy(buffer, request->pending.data() + request->readOffset, n);
    request->readOffset += n;
    *read = static_cast<std::uint32_t>(n);
    return true;
  }
  // Nothing left: the end of the body, or of what arrived before a failure.
  SetInternetError(ErrorOf(request->result));
  return request->result == CURLE_OK;
}

namespace {

bool QueryContentLength(InternetRequest& request, void* buffer, std::uint32_t* length) {
  curl_off_t declared = -1;
  curl_easy_getinfo(request.easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &declared);
  if (request.finalHeaders.empty() || declared < 0 || declared > UINT32_MAX) {
    SetInternetError(InternetError::kHeaderNotFound);
    return false;
  }
  if (buffer == nullptr || *length < sizeof(std::uint32_t)) {
    *length = sizeof(std::uint32_t);
    SetInternetError(InternetError::kInsufficientBuffer);
    return false;
  }
  const auto value = static_cast<std::uint32_t>(declared);
  std::memcpy(buffer, &value, sizeof value);
  *length = sizeof value;
  return true;
}

}  // namespace

bool HttpQueryInfoA(HINTERNET handle, std::uint32_t infoLevel, void* buffer, std::uint32_t* length,
                    std::uint32_t* /*index*/) {
  InternetRequest* request = SentRequest(handle);
  if (request == nullptr) return false;
  const bool contentLength = infoLevel == (HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER);
  if ((infoLevel != HTTP_QUERY_RAW_HEADERS_CRLF && !contentLength) || length == nullptr) {
    SetInternetError(InternetError::kInvalidParameter);
    return false;
  }
  Drive(*request, [request] { return request->bodyStarted; });
  if (contentLength) return QueryContentLength(*request, buffer, length);
  const std::string& block = request->finalHeaders;
  if (block.empty()) {
    SetInternetError(InternetError::kHeaderNotFound);
    return false;
  }
  auto needed = static_cast<std::uint32_t>(block.size() + 1);
  if (buffer == nullptr || *length < needed) {
    *length = needed;
    SetInternetError(InternetError::kInsufficientBuffer);
    return false;
  }
  std::memcpy(buffer, block.c_str(), needed);
  *length = needed - 1;
  return true;
}

}  // namespace platform
