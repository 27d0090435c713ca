// The process-wide state behind the WinInet operations: libcurl's global
// set-up, the shared connection pool / DNS cache / cookie store, the time
// limits, the live handles and the last error.
#include <mutex>
#include <unordered_set>

#include "platform/linux/curl_global.h"
#include "platform/linux/wininet_internal.h"
#include "platform/memory.h"

namespace platform {

namespace {

std::mutex g_shareLocks[CURL_LOCK_DATA_LAST];

void LockShare(CURL*, curl_lock_data data, curl_lock_access, void*) {
  g_shareLocks[data].lock();
}
void UnlockShare(CURL*, curl_lock_data data, void*) {
  g_shareLocks[data].unlock();
}

CURLSH* MakeShare() {
  CurlGlobalReady();  // once per process, before any handle
  KeepFreedMemoryForReuse();
  CURLSH* share = curl_share_init();
  curl_share_setopt(share, CURLSHOPT_LOCKFUNC, LockShare);
  curl_share_setopt(share, CURLSHOPT_UNLOCKFUNC, UnlockShare);
  curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT);
  curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
  curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
  // TLS sessions stay unshared: a session resumed by a stricter request
  // would skip the certificate checks that request asks for.
  return share;
}

std::mutex g_stateMutex;  // guards the limits and the live handles
TimeLimits g_limits;
std::unordered_set<InternetHandle*> g_liveHandles;
thread_local InternetError g_lastError = InternetError::kNone;

}  // namespace

CURLSH* SharedInternetCache() {
  // Lives as long as the process: pooled connections are closed at exit by
  // the system, the way the service keeps its pool for the process.
  static CURLSH* const share = MakeShare();
  return share;
}

TimeLimits CurrentTimeLimits() {
  std::lock_guard lock(g_stateMutex);
  return g_limits;
}

void SetInternetTimeLimits(int connectMilliseconds, int stallMilliseconds) {
  std::lock_guard lock(g_stateMutex);
  g_limits.connect = std::chrono::milliseconds(connectMilliseconds > 0 ? connectMilliseconds : 1);
  g_limits.stall = std::chrono::milliseconds(stallMilliseconds > 0 ? stallMilliseconds : 1);
}

void SetInternetError(InternetError error) {
  g_lastError = error;
}
InternetError InternetGetLastError() {
  return g_lastError;
}

void RegisterHandle(InternetHandle* handle) {
  std::lock_guard lock(g_stateMutex);
  g_liveHandles.insert(handle);
}

bool UnregisterHandle(InternetHandle* handle) {
  std::lock_guard lock(g_stateMutex);
  return g_liveHandles.erase(handle) == 1;
}

InternetHandle* LiveHandle(HINTERNET handle, InternetHandle::Kind kind) {
  {
    std::lock_guard lock(g_stateMutex);
    if (g_liveHandles.count(handle) == 1 && handle->kind == kind) return handle;
  }
  SetInternetError(InternetError::kInvalidHandle);
  return nullptr;
}

}  // namespace platform
