#include "platform/com.h"

namespace platform {
namespace {
thread_local int initCount = 0;
}

void CoInitialize(void*) {
  ++initCount;
}

void CoUninitialize() {
  if (initCount > 0) --initCount;
}

int ComInitCount() {
  return initCount;
}

}  // namespace platform
