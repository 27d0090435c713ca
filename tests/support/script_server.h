// A scripted loopback HTTP server for tests, in the spirit of curl's test
// server: it replies with exact bytes, records every request as received and
// misbehaves on purpose when told to.
//
//   ScriptServer server;                        // binds 127.0.0.1, free port
//   server.Reply(HttpResponse(200, {"Content-Type: image/jpeg"}, "JPEG"));
//   auto body = Fetch(server.Url("/books/1/2.jpg"));
//   EXPECT_EQ("GET /books/1/2.jpg HTTP/1.1", server.Requests()[0].requestLine);
//
// Replies are taken in order, one per request; the last one is repeated. A
// handler (Handle) decides instead, seeing the recorded request. Each accepted
// connection runs on its own thread and serves requests until the client closes
// it or a reply ends it. Stop (or the destructor) ends every connection,
// stalled ones included, so a test never hangs on the server.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/http_text.h"

namespace paperdl::test {

// One request exactly as it arrived, and its parsed parts.
struct RecordedRequest {
  std::string raw;          // head and body bytes, as received
  std::string requestLine;  // "GET /path HTTP/1.1", without CRLF
  std::string method;
  std::string target;  // origin form "/p?q" or, through a proxy, absolute form
  std::string version;
  std::vector<std::pair<std::string, std::string>> headers;  // in order, as sent
  std::string body;
  int connection = 0;  // 1-based number of the connection it came on

  // The first value of the header name (any letter case); empty when absent.
  std::string Header(const std::string& name) const;
  bool HasHeader(const std::string& name) const;
  // Header lines without the request line, e.g. {"Host: 127.0.0.1:80", ...}.
  std::vector<std::string> HeaderLines() const;
};

// What the server does with one request.
struct Reply {
  enum class End {
    kKeepAlive,  // wait for the next request on the same connection
    kClose,      // close after sending (a short body then reads as truncated)
    kReset,      // abort with SO_LINGER 0, so the client sees a reset
    kStall,      // keep the connection open, sending nothing more, until the
                 // client gives up or the server stops
    kTunnel,     // relay raw bytes between the client and 127.0.0.1:tunnelPort
                 // until either side closes (a proxy's answer to CONNECT)
  };
  std::string bytes;  // sent exactly as given
  End end = End::kKeepAlive;
  // Sent after bytes; lets many replies share one large body without copies.
  std::shared_ptr<const std::string> sharedTail;
  int tunnelPort = 0;  // for kTunnel
};

Reply KeepAlive(std::string bytes);
Reply CloseAfter(std::string bytes);
Reply ResetAfter(std::string bytes);
Reply StallAfter(std::string bytes);

using Handler = std::function<Reply(const RecordedRequest&)>;

struct ServerOptions {
  // Serve TLS with a self-signed certificate for 127.0.0.1 made at start.
  bool tls = false;
};

class ScriptServer {
 public:
  explicit ScriptServer(ServerOptions options = {});
  ~ScriptServer();
  ScriptServer(const ScriptServer&) = delete;
  ScriptServer& operator=(const ScriptServer&) = delete;

  // Appends a reply to the script (plain bytes are kept alive).
  void Reply(std::string bytes);
  void Reply(struct Reply reply);
  // Replaces the script by a handler called for every request.
  void Handle(Handler handler);

  int Port() const;
  // "http://127.0.0.1:PORT" + path ("https://..." with tls).
  std::string Url(const std::string& path = "/") const;
  std::vector<RecordedRequest> Requests() const;
  // The self-signed certificate in PEM form (tls only), for clients that
  // should trust it; empty for a plain server.
  std::string CertificatePem() const;
  int ConnectionCount() const;

  // Ends every connection (stalls too) and joins the threads; idempotent.
  void Stop();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace paperdl::test
