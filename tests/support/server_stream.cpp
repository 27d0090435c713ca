#include "tests/support/server_stream.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace paperdl::test {

namespace {

X509* SelfSignedCertificate(EVP_PKEY* key) {
  X509* cert = X509_new();
  X509_set_version(cert, 2);
  ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
  X509_gmtime_adj(X509_getm_notBefore(cert), -60);
  X509_gmtime_adj(X509_getm_notAfter(cert), 24 * 3600);
  X509_set_pubkey(cert, key);
  X509_NAME* name = X509_get_subject_name(cert);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
  X509_set_issuer_name(cert, name);
  X509V3_CTX context;
  X509V3_set_ctx_nodb(&context);
  X509V3_set_ctx(&context, cert, cert, nullptr, nullptr, 0);
  X509_EXTENSION* altNames =
      X509V3_EXT_conf_nid(nullptr, &context, NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost");
  X509_add_ext(cert, altNames, -1);
  X509_EXTENSION_free(altNames);
  X509_sign(cert, key, EVP_sha256());
  return cert;
}

std::string PemOf(X509* cert) {
  BIO* bio = BIO_new(BIO_s_mem());
  PEM_write_bio_X509(bio, cert);
  char* data = nullptr;
  long size = BIO_get_mem_data(bio, &data);
  std::string pem(data, static_cast<std::size_t>(size));
  BIO_free(bio);
  return pem;
}

}  // namespace

TlsContext::TlsContext() {
  EVP_PKEY* key = EVP_EC_gen("P-256");
  if (key == nullptr) throw std::runtime_error("cannot make a test key");
  X509* cert = SelfSignedCertificate(key);
  certificatePem_ = PemOf(cert);
  context_ = SSL_CTX_new(TLS_server_method());
  SSL_CTX_set_options(context_, SSL_OP_IGNORE_UNEXPECTED_EOF);
  bool ok =
      SSL_CTX_use_certificate(context_, cert) == 1 && SSL_CTX_use_PrivateKey(context_, key) == 1;
  X509_free(cert);
  EVP_PKEY_free(key);
  if (!ok) throw std::runtime_error("cannot load the test certificate");
}

TlsContext::~TlsContext() {
  SSL_CTX_free(context_);
}

ServerStream::ServerStream(int fd, int stopFd, SSL_CTX* tls) : fd_(fd), stopFd_(stopFd) {
  fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) | O_NONBLOCK);
  if (tls != nullptr) {
    ssl_ = SSL_new(tls);
    SSL_set_fd(ssl_, fd_);
  }
}

ServerStream::~ServerStream() {
  if (ssl_ != nullptr) {
    if (fd_ >= 0) SSL_shutdown(ssl_);  // one try; the socket is non-blocking
    SSL_free(ssl_);
  }
  if (fd_ >= 0) close(fd_);
}

ServerStream::Wait ServerStream::WaitFor(short events) {
  pollfd fds[2] = {{fd_, events, 0}, {stopFd_, POLLIN, 0}};
  while (poll(fds, 2, -1) < 0)
    if (errno != EINTR) return Wait::kFailed;
  if (fds[1].revents != 0) return Wait::kStopped;
  return Wait::kReady;
}

// Runs a TLS operation until it completes, waiting as OpenSSL asks.
template <typename Operation>
static int RunTls(SSL* ssl, Operation operation, auto waitFor, int& error) {
  for (;;) {
    int result = operation();
    if (result > 0) return result;
    error = SSL_get_error(ssl, result);
    short events = error == SSL_ERROR_WANT_READ    ? POLLIN
                   : error == SSL_ERROR_WANT_WRITE ? POLLOUT
                                                   : 0;
    if (events == 0 || waitFor(events)) return result;
  }
}

bool ServerStream::Accept() {
  if (ssl_ == nullptr) return true;
  int error = 0;
  auto stopped = [this](short events) { return WaitFor(events) != Wait::kReady; };
  return RunTls(
             ssl_, [this] { return SSL_accept(ssl_); }, stopped, error) > 0;
}

long ServerStream::Read(char* buffer, std::size_t size) {
  auto stopped = [this](short events) { return WaitFor(events) != Wait::kReady; };
  if (ssl_ != nullptr) {
    int error = 0;
    int limit = static_cast<int>(size > 1 << 20 ? 1 << 20 : size);
    int n = RunTls(
        ssl_, [&] { return SSL_read(ssl_, buffer, limit); }, stopped, error);
    if (n > 0) return n;
    return error == SSL_ERROR_ZERO_RETURN ? 0 : -1;
  }
  for (;;) {
    ssize_t n = recv(fd_, buffer, size, 0);
    if (n >= 0) return n;
    if (errno == EINTR) continue;
    if (errno != EAGAIN || stopped(POLLIN)) return -1;
  }
}

bool ServerStream::WriteAll(const char* data, std::size_t size) {
  auto stopped = [this](short events) { return WaitFor(events) != Wait::kReady; };
  while (size > 0) {
    std::size_t piece = size > (1 << 20) ? (1 << 20) : size;
    long n;
    if (ssl_ != nullptr) {
      int error = 0;
      n = RunTls(
          ssl_, [&] { return SSL_write(ssl_, data, static_cast<int>(piece)); }, stopped, error);
      if (n <= 0) return false;
    } else {
      n = send(fd_, data, piece, MSG_NOSIGNAL);
      if (n < 0) {
        if (errno == EINTR) continue;
        if (errno != EAGAIN || stopped(POLLOUT)) return false;
        continue;
      }
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

void ServerStream::WaitForPeerOrStop() {
  char scratch[4096];
  while (Read(scratch, sizeof scratch) > 0) {
  }
}

namespace {

int ConnectToLoopback(int port) {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return -1;
  }
  timeval limit{10, 0};  // a target that stops reading must not hold the relay
  setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
  return fd;
}

bool SendAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t n = send(fd, data, size, MSG_NOSIGNAL);
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

void ServerStream::RelayTo(int port, const std::string& alreadyRead) {
  int target = ssl_ == nullptr ? ConnectToLoopback(port) : -1;
  if (target < 0) return;
  char buffer[16384];
  bool open = SendAll(target, alreadyRead.data(), alreadyRead.size());
  while (open) {
    pollfd fds[3] = {{fd_, POLLIN, 0}, {target, POLLIN, 0}, {stopFd_, POLLIN, 0}};
    if (poll(fds, 3, -1) < 0 && errno != EINTR) break;
    if (fds[2].revents != 0) break;
    if (fds[0].revents != 0) {
      ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
      open = n > 0 && SendAll(target, buffer, static_cast<std::size_t>(n));
    }
    if (open && fds[1].revents != 0) {
      ssize_t n = recv(target, buffer, sizeof buffer, 0);
      open = n > 0 && WriteAll(buffer, static_cast<std::size_t>(n));
    }
  }
  close(target);
}

void ServerStream::Reset() {
  linger abortive{1, 0};
  setsockopt(fd_, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
  close(fd_);
  fd_ = -1;
}

}  // namespace paperdl::test
