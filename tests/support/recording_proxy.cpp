#include "tests/support/recording_proxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>

namespace paperdl::test {

namespace {

struct Target {
  int port = 80;
  std::string path = "/";
};

// Reads "http://127.0.0.1:PORT/path" or "http://localhost..."; false otherwise.
bool LoopbackTarget(const std::string& absolute, Target& target) {
  const std::string scheme = "http://";
  if (absolute.compare(0, scheme.size(), scheme) != 0) return false;
  std::size_t hostEnd = absolute.find('/', scheme.size());
  std::string hostPort = absolute.substr(scheme.size(), hostEnd - scheme.size());
  if (hostEnd != std::string::npos) target.path = absolute.substr(hostEnd);
  std::size_t colon = hostPort.rfind(':');
  std::string host = hostPort.substr(0, colon);
  if (colon != std::string::npos) target.port = std::atoi(hostPort.c_str() + colon + 1);
  return host == "127.0.0.1" || strcasecmp(host.c_str(), "localhost") == 0;
}

std::string OriginFormRequest(const RecordedRequest& request, const Target& target) {
  std::string out = request.method + " " + target.path + " " + request.version + "\r\n";
  for (const auto& [name, value] : request.headers) {
    if (strcasecmp(name.c_str(), "Proxy-Connection") == 0 ||
        strcasecmp(name.c_str(), "Connection") == 0)
      continue;
    out += name + ": " + value + "\r\n";
  }
  return out + "Connection: close\r\n\r\n" + request.body;
}

// Sends the request to 127.0.0.1:port and reads the response until close.
std::string Exchange(int port, const std::string& request) {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  timeval limit{10, 0};  // a silent target must not hold the proxy forever
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  std::string response;
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      send(fd, request.data(), request.size(), MSG_NOSIGNAL) ==
          static_cast<ssize_t>(request.size())) {
    char buffer[16384];
    ssize_t n;
    while ((n = recv(fd, buffer, sizeof buffer, 0)) > 0)
      response.append(buffer, static_cast<std::size_t>(n));
  }
  close(fd);
  return response;
}

}  // namespace

Handler ForwardingProxy() {
  return [](const RecordedRequest& request) {
    if (request.method == "CONNECT") {
      Target tunnel;
      if (!LoopbackTarget("http://" + request.target + "/", tunnel))
        return CloseAfter(HttpResponse(502, {}, "not a loopback target"));
      Reply reply = KeepAlive("HTTP/1.1 200 Connection established\r\n\r\n");
      reply.end = Reply::End::kTunnel;
      reply.tunnelPort = tunnel.port;
      return reply;
    }
    Target target;
    if (!LoopbackTarget(request.target, target))
      return CloseAfter(HttpResponse(502, {}, "not a loopback target"));
    std::string response = Exchange(target.port, OriginFormRequest(request, target));
    if (response.empty()) return CloseAfter(HttpResponse(502, {}, "no response"));
    return CloseAfter(std::move(response));
  };
}

}  // namespace paperdl::test
