#include "tests/support/script_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "tests/support/server_stream.h"

namespace paperdl::test {

namespace {

constexpr std::size_t kMaxRequestHead = 1 << 20;
using ReplyEnd = Reply::End;

int ListenOnLoopback(int& port) {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) throw std::runtime_error("socket failed");
  int yes = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;  // the system picks a free port
  socklen_t size = sizeof address;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), size) != 0 || listen(fd, 64) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    close(fd);
    throw std::runtime_error("cannot listen on 127.0.0.1");
  }
  port = ntohs(address.sin_port);
  return fd;
}

// Reads one request (head and Content-Length body) from pending + stream.
// False when the connection ended before a whole request head arrived.
bool ReadRequest(ServerStream& stream, std::string& pending, RecordedRequest& request) {
  char buffer[16384];
  std::size_t headEnd;
  while ((headEnd = pending.find("\r\n\r\n")) == std::string::npos) {
    if (pending.size() > kMaxRequestHead) return false;
    long n = stream.Read(buffer, sizeof buffer);
    if (n <= 0) return false;
    pending.append(buffer, static_cast<std::size_t>(n));
  }
  RequestHead head;
  if (!ParseRequestHead(pending.substr(0, headEnd), head)) return false;
  std::size_t bodySize = 0;
  std::string length = HeaderValueOf(head.headers, "Content-Length");
  if (!length.empty()) bodySize = std::strtoul(length.c_str(), nullptr, 10);
  std::size_t total = headEnd + 4 + bodySize;
  while (pending.size() < total) {
    long n = stream.Read(buffer, sizeof buffer);
    if (n <= 0) break;  // record what arrived
    pending.append(buffer, static_cast<std::size_t>(n));
  }
  if (total > pending.size()) total = pending.size();
  request.raw = pending.substr(0, total);
  request.body = request.raw.substr(headEnd + 4);
  pending.erase(0, total);
  request.requestLine = head.requestLine;
  request.method = head.method;
  request.target = head.target;
  request.version = head.version;
  request.headers = std::move(head.headers);
  return true;
}

// A client that sends "Connection: close" gets the connection closed after the reply.
bool WantsClose(const RecordedRequest& request) {
  std::string value = request.Header("Connection");
  for (char& c : value) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return value.find("close") != std::string::npos;
}

}  // namespace

std::string RecordedRequest::Header(const std::string& name) const {
  return HeaderValueOf(headers, name);
}

bool RecordedRequest::HasHeader(const std::string& name) const {
  return HasHeaderNamed(headers, name);
}

std::vector<std::string> RecordedRequest::HeaderLines() const {
  std::vector<std::string> lines;
  for (const auto& [name, value] : headers) lines.push_back(name + ": " + value);
  return lines;
}

Reply KeepAlive(std::string bytes) {
  return {std::move(bytes), Reply::End::kKeepAlive, {}, 0};
}
Reply CloseAfter(std::string bytes) {
  return {std::move(bytes), Reply::End::kClose, {}, 0};
}
Reply ResetAfter(std::string bytes) {
  return {std::move(bytes), Reply::End::kReset, {}, 0};
}
Reply StallAfter(std::string bytes) {
  return {std::move(bytes), Reply::End::kStall, {}, 0};
}

struct ScriptServer::State {
  std::unique_ptr<TlsContext> tls;
  int listenFd = -1;
  int stopFd = -1;
  int port = 0;
  std::thread acceptThread;

  mutable std::mutex mutex;  // guards everything below
  bool stopped = false;
  std::vector<std::shared_ptr<const struct Reply>> script;
  Handler handler;
  std::vector<RecordedRequest> requests;
  int connections = 0;
  std::vector<std::thread> connectionThreads;

  void AcceptLoop();
  void Serve(int fd, int connection);
  std::shared_ptr<const struct Reply> ReplyFor(const RecordedRequest& request);
};

ScriptServer::ScriptServer(ServerOptions options) : state_(std::make_unique<State>()) {
  if (options.tls) state_->tls = std::make_unique<TlsContext>();
  state_->listenFd = ListenOnLoopback(state_->port);
  state_->stopFd = eventfd(0, EFD_CLOEXEC);
  state_->acceptThread = std::thread([state = state_.get()] { state->AcceptLoop(); });
}

ScriptServer::~ScriptServer() {
  Stop();
}

void ScriptServer::State::AcceptLoop() {
  for (;;) {
    pollfd fds[2] = {{listenFd, POLLIN, 0}, {stopFd, POLLIN, 0}};
    if (poll(fds, 2, -1) < 0 && errno != EINTR) return;
    if (fds[1].revents != 0) return;
    if (fds[0].revents == 0) continue;
    int fd = accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    std::lock_guard lock(mutex);
    int number = ++connections;
    connectionThreads.emplace_back([this, fd, number] { Serve(fd, number); });
  }
}

std::shared_ptr<const Reply> ScriptServer::State::ReplyFor(const RecordedRequest& request) {
  Handler chosen;
  {
    std::lock_guard lock(mutex);
    requests.push_back(request);
    if (!handler) {
      if (script.empty())
        return std::make_shared<const struct Reply>(KeepAlive(HttpResponse(200, {}, "")));
      std::size_t index = std::min(requests.size() - 1, script.size() - 1);
      return script[index];
    }
    chosen = handler;
  }
  return std::make_shared<const struct Reply>(chosen(request));
}

void ScriptServer::State::Serve(int fd, int connection) {
  ServerStream stream(fd, stopFd, tls ? tls->get() : nullptr);
  if (!stream.Accept()) return;
  std::string pending;
  for (;;) {
    RecordedRequest request;
    request.connection = connection;
    if (!ReadRequest(stream, pending, request)) return;
    auto reply = ReplyFor(request);
    if (!stream.WriteAll(reply->bytes.data(), reply->bytes.size())) return;
    if (reply->sharedTail && !stream.WriteAll(reply->sharedTail->data(), reply->sharedTail->size()))
      return;
    switch (reply->end) {
      case ReplyEnd::kKeepAlive:
        if (WantsClose(request)) return;
        continue;
      case ReplyEnd::kClose:
        return;
      case ReplyEnd::kReset:
        stream.Reset();
        return;
      case ReplyEnd::kTunnel:
        stream.RelayTo(reply->tunnelPort, pending);
        return;
      case ReplyEnd::kStall:
        stream.WaitForPeerOrStop();
        return;
    }
  }
}

void ScriptServer::Reply(std::string bytes) {
  Reply(KeepAlive(std::move(bytes)));
}

void ScriptServer::Reply(struct Reply reply) {
  std::lock_guard lock(state_->mutex);
  state_->script.push_back(std::make_shared<const struct Reply>(std::move(reply)));
}

void ScriptServer::Handle(Handler handler) {
  std::lock_guard lock(state_->mutex);
  state_->handler = std::move(handler);
}

int ScriptServer::Port() const {
  return state_->port;
}

std::string ScriptServer::Url(const std::string& path) const {
  return (state_->tls ? "https://127.0.0.1:" : "http://127.0.0.1:") + std::to_string(Port()) + path;
}

std::vector<RecordedRequest> ScriptServer::Requests() const {
  std::lock_guard lock(state_->mutex);
  return state_->requests;
}

std::string ScriptServer::CertificatePem() const {
  return state_->tls ? state_->tls->CertificatePem() : std::string();
}

int ScriptServer::ConnectionCount() const {
  std::lock_guard lock(state_->mutex);
  return state_->connections;
}

void ScriptServer::Stop() {
  {
    std::lock_guard lock(state_->mutex);
    if (state_->stopped) return;
    state_->stopped = true;
  }
  std::uint64_t one = 1;
  if (write(state_->stopFd, &one, sizeof one) < 0) std::terminate();
  state_->acceptThread.join();
  // No new connection threads can start now that the accept loop has ended.
  for (auto& thread : state_->connectionThreads) thread.join();
  close(state_->listenFd);
  close(state_->stopFd);
}

}  // namespace paperdl::test
