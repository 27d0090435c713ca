#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

#include "platform/memory.h"

namespace platform {

void PreferLargePages(void* data, std::size_t size) {
  constexpr std::size_t kWorthIt = 4u << 20;
  if (data == nullptr || size < kWorthIt) return;
  // madvise wants whole pages: keep to the pages lying inside the buffer.
  const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  auto start = (reinterpret_cast<std::uintptr_t>(data) + page - 1) & ~(page - 1);
  auto end = (reinterpret_cast<std::uintptr_t>(data) + size) & ~(page - 1);
  if (end > start) madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
}

void KeepFreedMemoryForReuse() {
  mallopt(M_MMAP_THRESHOLD, 8 << 20);
  mallopt(M_TRIM_THRESHOLD, 32 << 20);
}

}  // namespace platform
