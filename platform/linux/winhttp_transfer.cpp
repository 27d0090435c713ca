// The WinHTTP calls around the exchange: sending runs nothing yet, receiving
// runs the whole transfer, and the read calls serve the body from memory.
#include <algorithm>
#include <atomic>
#include <cstring>
#include <limits>
#include <string>

#include "platform/linux/winhttp_handles.h"

namespace platform {
namespace {

winhttp::RequestState* RequestOf(WinHttpHandle* handle) {
  winhttp::HandleState* state = winhttp::FindHandle(handle);
  return state ? state->request.get() : nullptr;
}

std::string RawHeaderBlock(const winhttp::Response& response) {
  std::string block;
  for (const std::string& line : response.headerLines) block += line + "\r\n";
  return block + "\r\n";
}

}  // namespace

bool WinHttpSendRequest(WinHttpHandle* handle, const char16_t* headers, std::uint32_t headersLength,
                        const void* optional, std::uint32_t optionalLength,
                        std::uint32_t totalLength, std::uintptr_t) {
  winhttp::RequestState* request = RequestOf(handle);
  if (!request || request->sent) return false;
  // The whole body comes with this call; there is no later writing.
  if (totalLength != optionalLength || (optionalLength > 0 && !optional)) return false;
  if (headers && !WinHttpAddRequestHeaders(handle, headers, headersLength, kWinHttpAddReqFlagAdd))
    return false;
  request->body.assign(static_cast<const char*>(optional), optionalLength);
  request->sent = true;
  return true;
}

bool WinHttpReceiveResponse(WinHttpHandle* handle, void* reserved) {
  winhttp::RequestState* request = RequestOf(handle);
  if (!request || reserved || !request->sent || request->response.arrived) return false;
  return winhttp::RunExchange(*request);
}

bool WinHttpQueryDataAvailable(WinHttpHandle* handle, std::uint32_t* numberOfBytesAvailable) {
  winhttp::RequestState* request = RequestOf(handle);
  if (!request || !request->response.arrived || !numberOfBytesAvailable) return false;
  const winhttp::Response& response = request->response;
  const std::size_t remaining = response.body.size() - response.readOffset;
  if (remaining > 0) {
    // The whole body is there already: all of it can be read at once.
    *numberOfBytesAvailable = static_cast<std::uint32_t>(
        std::min<std::size_t>(remaining, std::numeric_limits<std::uint32_t>::max()));
  } else {
    *numberOfBytesAvailable = response.failed && !response.failureReported ? 1 : 0;
  }
  return true;
}

bool WinHttpReadData(WinHttpHandle* handle, void* buffer, std::uint32_t numberOfBytesToRead,
                     std::uint32_t* numberOfBytesRead) {
  winhttp::RequestState* request = RequestOf(handle);
  if (!request || !request->response.arrived || !numberOfBytesRead) return false;
  if (numberOfBytesToRead > 0 && !buffer) return false;
  winhttp::Response& response = request->response;
  const std::size_t remaining = response.body.size() - response.readOffset;
  if (remaining == 0 && response.failed && numberOfBytesToRead > 0) {
    response.failureReported = true;
    return false;
  }
  const std::size_t count = std::min<std::size_t>(remaining, numberOfBytesToRead);
  if (count > 0) std::memcpy(buffer, response.body.data() + response.readOffset, count);
  response.readOffset += count;
  *numberOfBytesRead = static_cast<std::uint32_t>(count);
  return true;
}

bool WinHttpQueryHeaders(WinHttpHandle* handle, std::uint32_t infoLevel, const char16_t* name,
                         void* buffer, std::uint32_t* bufferLength, std::uint32_t* index) {
  winhttp::RequestState* request = RequestOf(handle);
  if (!request || !request->response.arrived || !bufferLength) return false;
  if (infoLevel != kWinHttpQueryRawHeadersCrlf || name) return false;
  if (index && *index != 0) return false;
  const std::u16string wide = winhttp::HeaderBytesToWide(RawHeaderBlock(request->response));
  const std::size_t bytes = wide.size() * sizeof(char16_t);
  if (!buffer || *bufferLength < bytes + sizeof(char16_t)) {
    *bufferLength = static_cast<std::uint32_t>(bytes + sizeof(char16_t));
    return false;
  }
  std::memcpy(buffer, wide.c_str(), bytes + sizeof(char16_t));
  *bufferLength = static_cast<std::uint32_t>(bytes);
  if (index) *index = 1;
  return true;
}

}  // namespace platform
