// Starts the demo site as a child process and talks to it over loopback sockets.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace paperdl::demo_test {

inline std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The site process; its first stdout line names the port. Stopped with SIGTERM on destruction.
class SiteProcess {
 public:
  explicit SiteProcess(std::vector<std::string> extraArgs = {}) {
    std::vector<std::string> args = {PAPERDL_DEMO_SITE_BINARY, "--quiet"};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);

    int out[2];
    if (pipe(out) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    port_ = ReadPort(out[0]);
    close(out[0]);
  }
  ~SiteProcess() {
    if (pid_ > 0) Stop(SIGTERM);
  }
  SiteProcess(const SiteProcess&) = delete;
  SiteProcess& operator=(const SiteProcess&) = delete;

  int port() const { return port_; }

  // Sends `signal` and returns the exit status, or -1 when the process did not exit normally.
  int Stop(int signal) {
    kill(pid_, signal);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  // Reads "127.0.0.1:PORT\n"; 0 when the line is missing or malformed.
  static int ReadPort(int fd) {
    std::string line;
    char c = 0;
    while (read(fd, &c, 1) == 1 && c != '\n') line += c;
    const std::string prefix = "127.0.0.1:";
    if (line.rfind(prefix, 0) != 0) return 0;
    return std::atoi(line.c_str() + prefix.size());
  }

  pid_t pid_ = -1;
  int port_ = 0;
};

// One loopback connection to the site.
class Connection {
 public:
  explicit Connection(int port) : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connected_ = connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  }
  ~Connection() { close(fd_); }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  bool Send(const std::string& bytes) {
    return connected_ && send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
                             static_cast<ssize_t>(bytes.size());
  }

  // Reads one reply: its header block and as many body bytes as its Content-Length names.
  std::string ReadReply() {
    std::string reply;
    size_t headerEnd = std::string::npos;
    while ((headerEnd = reply.find("\r\n\r\n")) == std::string::npos && ReadMore(&reply)) {
    }
    if (headerEnd == std::string::npos) return reply;
    const std::string name = "Content-Length: ";
    const size_t at = reply.find(name);
    const size_t length = at < headerEnd ? std::stoul(reply.substr(at + name.size())) : 0;
    while (reply.size() < headerEnd + 4 + length && ReadMore(&reply)) {
    }
    return reply;
  }

  // Everything until the site closes the connection.
  std::string ReadToEnd() {
    std::string reply;
    while (ReadMore(&reply)) {
    }
    return reply;
  }

 private:
  bool ReadMore(std::string* reply) {
    char buffer[65536];
    const ssize_t got = connected_ ? recv(fd_, buffer, sizeof buffer, 0) : -1;
    if (got > 0) reply->append(buffer, static_cast<size_t>(got));
    return got > 0;
  }

  int fd_;
  bool connected_ = false;
};

// Sends `request` as is and returns every byte received until the site closes.
inline std::string Exchange(int port, const std::string& request) {
  Connection connection(port);
  return connection.Send(request) ? connection.ReadToEnd() : std::string();
}

inline std::string Get(int port, const std::string& target) {
  return Exchange(port, "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) +
                            "\r\nConnection: close\r\n\r\n");
}

// The exact reply the site gives a "Connection: close" request.
inline std::string ExpectedReply(const std::string& statusLine, const std::string& type,
                                 const std::string& body) {
  return statusLine + "\r\nConnection: close\r\nContent-Length: " + std::to_string(body.size()) +
         "\r\nContent-Type: " + type + "\r\n\r\n" + body;
}

}  // namespace paperdl::demo_test
