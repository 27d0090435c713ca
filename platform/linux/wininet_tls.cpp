// Certificate checks shaped by INTERNET_OPTION_SECURITY_FLAGS: the chain is
// always verified, and only the problems the flags name are forgiven.
#include <openssl/ssl.h>
#include <openssl/x509_vfy.h>

#include "platform/linux/wininet_internal.h"

namespace platform {

namespace {

constexpr std::uint32_t kForgivable =
    SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_CERT_DATE_INVALID |
    SECURITY_FLAG_IGNORE_WRONG_USAGE | SECURITY_FLAG_IGNORE_REVOCATION;

// Where the forgiven problems travel with the TLS context to the callback.
int PolicyIndex() {
  static const int index = SSL_CTX_get_ex_new_index(0, nullptr, nullptr, nullptr, nullptr);
  return index;
}

bool Forgiven(int verifyError, std::uint32_t flags) {
  switch (verifyError) {
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
    case X509_V_ERR_CERT_UNTRUSTED:
      return (flags & SECURITY_FLAG_IGNORE_UNKNOWN_CA) != 0;
    case X509_V_ERR_CERT_HAS_EXPIRED:
    case X509_V_ERR_CERT_NOT_YET_VALID:
      return (flags & SECURITY_FLAG_IGNORE_CERT_DATE_INVALID) != 0;
    case X509_V_ERR_INVALID_PURPOSE:
      return (flags & SECURITY_FLAG_IGNORE_WRONG_USAGE) != 0;
    case X509_V_ERR_UNABLE_TO_GET_CRL:
    case X509_V_ERR_CERT_REVOKED:
      return (flags & SECURITY_FLAG_IGNORE_REVOCATION) != 0;
    default:
      return false;
  }
}

int VerifyWithPolicy(int preverified, X509_STORE_CTX* store) {
  if (preverified == 1) return 1;
  auto* ssl =
      static_cast<SSL*>(X509_STORE_CTX_get_ex_data(store, SSL_get_ex_data_X509_STORE_CTX_idx()));
  auto flags = static_cast<std::uint32_t>(
      reinterpret_cast<std::uintptr_t>(SSL_CTX_get_ex_data(SSL_get_SSL_CTX(ssl), PolicyIndex())));
  if (!Forgiven(X509_STORE_CTX_get_error(store), flags)) return 0;
  X509_STORE_CTX_set_error(store, X509_V_OK);  // so the final result is clean too
  return 1;
}

CURLcode InstallPolicy(CURL*, void* sslContext, void* flags) {
  auto* context = static_cast<SSL_CTX*>(sslContext);
  SSL_CTX_set_ex_data(context, PolicyIndex(), flags);
  SSL_CTX_set_verify(context, SSL_VERIFY_PEER, VerifyWithPolicy);
  return CURLE_OK;
}

}  // namespace

void ApplyCertificatePolicy(CURL* easy, std::uint32_t securityFlags, bool https) {
  curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST,
                   (securityFlags & SECURITY_FLAG_IGNORE_CERT_CN_INVALID) ? 0L : 2L);
  const std::uint32_t forgiven = securityFlags & kForgivable;
  if (forgiven == 0) return;  // libcurl's own strict checks
  curl_easy_setopt(easy, CURLOPT_SSL_CTX_FUNCTION, InstallPolicy);
  curl_easy_setopt(easy, CURLOPT_SSL_CTX_DATA,
                   reinterpret_cast<void*>(static_cast<std::uintptr_t>(forgiven)));
  // A pooled connection keeps the leniency it was accepted with. This option
  // does nothing with OpenSSL but is compared when a connection is picked for
  // reuse, so stricter requests never ride on leniently accepted connections.
  curl_easy_setopt(easy, CURLOPT_SSL_OPTIONS, static_cast<long>(CURLSSLOPT_NO_REVOKE));
  if (https && forgiven != kForgivable) {
    // Partial leniency has no such mark: those connections are not shared.
    curl_easy_setopt(easy, CURLOPT_FRESH_CONNECT, 1L);
    curl_easy_setopt(easy, CURLOPT_FORBID_REUSE, 1L);
  }
}

}  // namespace platform
