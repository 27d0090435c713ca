// The byte stream of one accepted connection, plain or TLS, for the scripted
// server. Every wait also watches the server's stop signal, so no read, write
// or stall outlives the server.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

typedef struct ssl_ctx_st SSL_CTX;
typedef struct ssl_st SSL;

namespace paperdl::test {

// A TLS server context holding a fresh self-signed certificate for 127.0.0.1
// (P-256 key, one day), made in memory with OpenSSL.
class TlsContext {
 public:
  TlsContext();
  ~TlsContext();
  TlsContext(const TlsContext&) = delete;
  TlsContext& operator=(const TlsContext&) = delete;
  SSL_CTX* get() const { return context_; }
  // The certificate in PEM form, for clients that want to trust it.
  const std::string& CertificatePem() const { return certificatePem_; }

 private:
  SSL_CTX* context_ = nullptr;
  std::string certificatePem_;
};

class ServerStream {
 public:
  // Takes the socket fd; stopFd becomes readable when the server stops.
  ServerStream(int fd, int stopFd, SSL_CTX* tls);
  ~ServerStream();
  ServerStream(const ServerStream&) = delete;
  ServerStream& operator=(const ServerStream&) = delete;

  // The TLS handshake (nothing to do for plain connections).
  bool Accept();
  // Bytes read (> 0), 0 when the peer closed, -1 on error or stop.
  long Read(char* buffer, std::size_t size);
  bool WriteAll(const char* data, std::size_t size);
  // Blocks until the peer closes the connection or the server stops.
  void WaitForPeerOrStop();
  // Closes so that the peer sees a reset (SO_LINGER with a zero time-out).
  void Reset();
  // Connects to 127.0.0.1:port, sends it alreadyRead, then relays bytes both
  // ways until either side closes or the server stops (plain streams only).
  void RelayTo(int port, const std::string& alreadyRead);

 private:
  enum class Wait { kReady, kStopped, kFailed };
  Wait WaitFor(short events);

  int fd_;
  int stopFd_;
  SSL* ssl_ = nullptr;
};

}  // namespace paperdl::test
