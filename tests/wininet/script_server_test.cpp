// The scripted server itself, driven by a plain socket client, so the HTTP
// tests can trust what it sends and records.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "tests/support/recording_proxy.h"
#include "tests/support/script_server.h"

namespace paperdl::test {
namespace {

class RawClient {
 public:
  explicit RawClient(int port) : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    timeval limit{5, 0};
    setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    connected_ = connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  }
  ~RawClient() { close(fd_); }
  bool connected() const { return connected_; }
  void Send(const std::string& bytes) { send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL); }
  // Reads until size bytes arrived or the connection ended; errno of the end.
  std::string Receive(std::size_t size, int* endError = nullptr) {
    std::string out;
    char buffer[4096];
    while (out.size() < size) {
      ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
      if (n <= 0) {
        if (endError) *endError = n == 0 ? 0 : errno;
        break;
      }
      out.append(buffer, static_cast<std::size_t>(n));
    }
    return out;
  }

 private:
  int fd_;
  bool connected_ = false;
};

const std::string kGet = "GET /a?b=1 HTTP/1.1\r\nHost: x\r\nX-Odd:  two  \r\n\r\n";

TEST(ScriptServer, RepliesExactBytesAndRecordsTheRequest) {
  ScriptServer server;
  server.Reply(HttpResponse(200, {"X-A: 1"}, "body"));
  RawClient client(server.Port());
  ASSERT_TRUE(client.connected());
  client.Send(kGet);
  EXPECT_EQ("HTTP/1.1 200 OK\r\nX-A: 1\r\nContent-Length: 4\r\n\r\nbody", client.Receive(47));
  auto requests = server.Requests();
  ASSERT_EQ(1u, requests.size());
  EXPECT_EQ(kGet, requests[0].raw);
  EXPECT_EQ("GET /a?b=1 HTTP/1.1", requests[0].requestLine);
  EXPECT_EQ("/a?b=1", requests[0].target);
  EXPECT_EQ("two  ", requests[0].Header("x-odd"));
  EXPECT_EQ(std::vector<std::string>({"Host: x", "X-Odd: two  "}), requests[0].HeaderLines());
}

TEST(ScriptServer, KeepAliveServesScriptInOrderOnOneConnection) {
  ScriptServer server;
  server.Reply(HttpResponse(200, {}, "1"));
  server.Reply(HttpResponse(200, {}, "2"));
  RawClient client(server.Port());
  std::string post = "POST /p HTTP/1.1\r\nContent-Length: 3\r\n\r\nabc";
  client.Send(post);
  EXPECT_EQ(HttpResponse(200, {}, "1"), client.Receive(39));
  client.Send(kGet);
  EXPECT_EQ(HttpResponse(200, {}, "2"), client.Receive(39));
  client.Send(kGet);  // the last reply repeats
  EXPECT_EQ(HttpResponse(200, {}, "2"), client.Receive(39));
  EXPECT_EQ(1, server.ConnectionCount());
  auto requests = server.Requests();
  ASSERT_EQ(3u, requests.size());
  EXPECT_EQ("abc", requests[0].body);
  EXPECT_EQ(1, requests[2].connection);
}

const std::string kShortBody = "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc";

TEST(ScriptServer, MisbehavesOnPurpose) {
  ScriptServer server;
  server.Reply(CloseAfter(kShortBody));
  server.Reply(ResetAfter(kShortBody));
  int endError = -1;
  {
    RawClient client(server.Port());
    client.Send(kGet);
    EXPECT_EQ(kShortBody, client.Receive(1000, &endError));
    EXPECT_EQ(0, endError) << "an orderly close";
  }
  {
    RawClient client(server.Port());
    client.Send(kGet);
    client.Receive(1000, &endError);
    EXPECT_EQ(ECONNRESET, endError);
  }
  EXPECT_EQ(2, server.ConnectionCount());
}

TEST(ScriptServer, StopEndsAStall) {
  ScriptServer server;
  server.Reply(StallAfter(kShortBody));
  RawClient client(server.Port());
  client.Send(kGet);
  EXPECT_EQ(kShortBody, client.Receive(kShortBody.size()));
  server.Stop();  // returns although the client still holds the connection
  int endError = -1;
  EXPECT_EQ("", client.Receive(1, &endError));
  EXPECT_EQ(0, endError);
}

TEST(ScriptServer, TlsServerHandsOutItsCertificate) {
  ScriptServer plain, tls({.tls = true});
  EXPECT_EQ("", plain.CertificatePem());
  EXPECT_EQ(0u, tls.CertificatePem().find("-----BEGIN CERTIFICATE-----\n"));
  EXPECT_EQ(0u, tls.Url("/x").find("https://127.0.0.1:"));
}

TEST(ScriptServer, ChunkedResponseFraming) {
  EXPECT_EQ(
      "HTTP/1.1 200 OK\r\nTransfer-Encoding: "
      "chunked\r\n\r\n3\r\nabc\r\na\r\n0123456789\r\n0\r\n\r\n",
      ChunkedResponse(200, {}, {"abc", "", "0123456789"}));
}

TEST(ScriptServer, ProxyForwardsAbsoluteFormToLoopbackOnly) {
  ScriptServer target, proxy;
  target.Reply(HttpResponse(200, {}, "from target"));
  proxy.Handle(ForwardingProxy());
  RawClient client(proxy.Port());
  client.Send("GET " + target.Url("/x") +
              " HTTP/1.1\r\nHost: y\r\nProxy-Connection: keep-alive\r\n\r\n");
  std::string response = client.Receive(10000);
  EXPECT_EQ(HttpResponse(200, {}, "from target"), response);
  EXPECT_EQ(target.Url("/x"), proxy.Requests().at(0).target);
  EXPECT_EQ("GET /x HTTP/1.1", target.Requests().at(0).requestLine);
  EXPECT_EQ("close", target.Requests().at(0).Header("Connection"));
  EXPECT_FALSE(target.Requests().at(0).HasHeader("Proxy-Connection"));

  RawClient outside(proxy.Port());
  outside.Send("GET http://192.0.2.1/ HTTP/1.1\r\n\r\n");
  EXPECT_EQ(0u, outside.Receive(10000).find("HTTP/1.1 502 "));
}

}  // namespace
}  // namespace paperdl::test
