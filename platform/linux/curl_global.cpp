#include "platform/linux/curl_global.h"

#include <curl/curl.h>

namespace platform {

bool CurlGlobalReady() {
  // A function-local static runs the initialisation once, thread-safely.
  static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  return ready;
}

}  // namespace platform
