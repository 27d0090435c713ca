// libcurl callbacks of one attempt: header lines, body bytes, progress.
#include <algorithm>
#include <cctype>
#include <string_view>

#include "platform/linux/winhttp_attempt.h"

namespace platform::winhttp {
namespace {

TransferState& StateOf(void* transfer) {
  return *static_cast<TransferState*>(transfer);
}

int StatusOf(std::string_view statusLine) {
  std::size_t space = statusLine.find(' ');
  if (space == std::string_view::npos) return 0;
  int status = 0;
  for (std::size_t i = space + 1; i < statusLine.size() && i < space + 4; ++i) {
    char c = statusLine[i];
    if (c < '0' || c > '9') return 0;
    status = status * 10 + (c - '0');
  }
  return status;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  }
  return true;
}

// A announced length saves growing the body piece by piece; a length beyond
// what is kept anyway, or a false one, costs no more than the reservation cap.
void ReserveForBody(TransferState& state) {
  constexpr std::string_view kName = "content-length:";
  constexpr std::size_t kReservationCap = std::size_t{64} << 20;
  for (const std::string& line : state.headerLines) {
    if (!StartsWithIgnoringCase(line, kName)) continue;
    std::size_t length = 0;
    for (char c : std::string_view(line).substr(kName.size())) {
      if (c >= '0' && c <= '9') length = std::min(length * 10 + (c - '0'), kReservationCap);
    }
    state.body.reserve(std::min({length, state.limit, kReservationCap}));
    return;
  }
}

}  // namespace

// Each response (a 100 Continue, a redirect, the final one) starts with its status
// line; trailer lines after a complete header block are not headers of it.
std::size_t OnHeaderLine(char* data, std::size_t size, std::size_t count, void* transfer) {
  TransferState& state = StateOf(transfer);
  const std::size_t length = size * count;
  state.lastActivity = TransferState::Clock::now();
  std::string_view line(data, length);
  if (line.ends_with('\n')) line.remove_suffix(1);
  if (line.ends_with('\r')) line.remove_suffix(1);
  if (state.awaitingStatus) {
    if (line.starts_with("HTTP/")) {
      state.headerLines.assign(1, std::string(line));
      state.status = StatusOf(line);
      state.awaitingStatus = false;
      state.headersComplete = false;
    }
    return length;
  }
  if (line.empty()) {
    state.awaitingStatus = true;
    state.headersComplete = state.status >= 200;
    if (state.headersComplete) ReserveForBody(state);
  } else {
    state.headerLines.emplace_back(line);
  }
  return length;
}

// Bytes beyond the body limit end the transfer; those up to it are kept.
std::size_t OnBodyData(char* data, std::size_t size, std::size_t count, void* transfer) {
  TransferState& state = StateOf(transfer);
  const std::size_t length = size * count;
  state.lastActivity = TransferState::Clock::now();
  const std::size_t room = state.limit - std::min(state.limit, state.body.size());
  if (length > room) {
    state.body.append(data, room);
    return 0;  // less than offered: libcurl ends the transfer
  }
  state.body.append(data, length);
  return length;
}

int OnProgress(void* transfer, curl_off_t, curl_off_t downNow, curl_off_t upTotal,
               curl_off_t upNow) {
  TransferState& state = StateOf(transfer);
  const auto now = TransferState::Clock::now();
  if (downNow != state.lastDown || upNow != state.lastUp) {
    state.lastDown = downNow;
    state.lastUp = upNow;
    state.lastActivity = now;
  }
  // Until the connection stands, the connect limit is the one that applies.
  if (!state.connected) {
    state.lastActivity = now;
    return 0;
  }
  const bool sending = upTotal > 0 && upNow < upTotal;
  const auto stall = sending ? state.sendStall : state.receiveStall;
  return now - state.lastActivity > stall ? 1 : 0;
}

int OnConnected(void* transfer, char*, char*, int, int) {
  TransferState& state = StateOf(transfer);
  state.connected = true;
  state.lastActivity = TransferState::Clock::now();
  return CURL_PREREQFUNC_OK;
}

}  // namespace platform::winhttp
