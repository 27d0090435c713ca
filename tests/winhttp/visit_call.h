// One WinHttpVisit call with every parameter named, for the tests against the
// loopback servers: inputs are fields, out-parameters are always passed and
// start from values a test can recognise.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>

#include "textutil/events.h"
#include "winhttp/winhttp_visit.h"

namespace paperdl::test {

struct VisitCall {
  Text url;
  int method = 0;
  Text textBody;
  Text cookies;
  Text headers;
  bool noRedirect = false;
  Text userName;
  Text password;
  Text proxy;
  Text proxyUser;
  Text proxyPassword;
  int timeoutSeconds = 0;
  bool mergeCookies = true;
  bool completeHeaders = true;
  Bytes bytesBody;
  bool normalizeHeaders = true;

  // Out-parameters, holding what the caller put in until the call writes them.
  Text returnedCookies = "before-returned-cookies";
  Text returnedHeaders = "before-headers";
  Text location = "before-location";
  Text statusText = "before-status";
  Bytes responseBytes = {'b', 'e', 'f', 'o', 'r', 'e'};
  Text result = "before-result";

  VisitCall& Run() {
    result = WinHttpVisit(url, method, textBody, &cookies, &returnedCookies, headers,
                          &returnedHeaders, noRedirect, userName, password, proxy, proxyUser,
                          proxyPassword, timeoutSeconds, &location, &statusText, &responseBytes,
                          mergeCookies, completeHeaders, bytesBody, normalizeHeaders);
    return *this;
  }
};

inline Bytes AsBytes(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

// A loopback port that refuses connections: bound, never listening.
class RefusingPort {
 public:
  RefusingPort() {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
  }
  ~RefusingPort() { close(fd_); }
  RefusingPort(const RefusingPort&) = delete;
  RefusingPort& operator=(const RefusingPort&) = delete;
  Text Url(const Text& path = "/") const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }

 private:
  int fd_ = -1;
  int port_ = 0;
};

// A user interface that counts the pumps and can act inside one.
class CountingInterface : public UserInterface {
 public:
  CountingInterface() { previous_ = InstallUserInterface(this); }
  ~CountingInterface() override { InstallUserInterface(previous_); }
  CountingInterface(const CountingInterface&) = delete;
  CountingInterface& operator=(const CountingInterface&) = delete;

  void ProcessEvents() override {
    ++pumps;
    if (onPump) onPump(pumps);
  }
  int ShowMessage(const Text&, int, const Text&) override { return kOk; }

  int pumps = 0;
  std::function<void(int)> onPump;

 private:
  UserInterface* previous_ = nullptr;
};

}  // namespace paperdl::test
