// One request of an exchange and the state its libcurl callbacks fill in.
#pragma once

#include <curl/curl.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/linux/winhttp_handles.h"

namespace platform::winhttp {

// The first request, or one made for a redirect.
struct Attempt {
  std::string url;
  const std::string* target = nullptr;  // the request target as given, first request only
  std::string verb;
  bool sendBody = false;
  bool serverCredentials = false;
};

struct TransferState {
  using Clock = std::chrono::steady_clock;
  TransferState(const SessionState& session, std::size_t bodyLimit)
      : sendStall(session.sendStallMs), receiveStall(session.receiveStallMs), limit(bodyLimit) {}

  // Headers of the latest response; complete once its empty line came (1xx excluded).
  std::vector<std::string> headerLines;
  bool awaitingStatus = true;
  bool headersComplete = false;
  int status = 0;

  std::string body;

  // Stall limits count from the last byte moved, once connected.
  bool connected = false;
  Clock::time_point lastActivity = Clock::now();
  curl_off_t lastUp = 0;
  curl_off_t lastDown = 0;
  std::chrono::milliseconds sendStall;
  std::chrono::milliseconds receiveStall;

  std::size_t limit;
};

// Sets the easy handle up for one attempt and runs it.
CURLcode PerformAttempt(CURL* easy, const RequestState& request, const Attempt& attempt,
                        TransferState& transfer);

// The callbacks, handed to libcurl by PerformAttempt.
std::size_t OnHeaderLine(char* data, std::size_t size, std::size_t count, void* transfer);
std::size_t OnBodyData(char* data, std::size_t size, std::size_t count, void* transfer);
int OnProgress(void* transfer, curl_off_t downTotal, curl_off_t downNow, curl_off_t upTotal,
               curl_off_t upNow);
int OnConnected(void* transfer, char* remoteIp, char* localIp, int remotePort, int localPort);

}  // namespace platform::winhttp
