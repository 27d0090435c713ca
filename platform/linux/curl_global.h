// libcurl's process-wide initialisation, shared by every service built on it.
#pragma once

namespace platform {

// Runs curl_global_init once per process; false when it failed.
bool CurlGlobalReady();

}  // namespace platform
