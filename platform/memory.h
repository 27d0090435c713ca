// Memory hints for large buffers.
#pragma once

#include <cstddef>

namespace platform {

// Asks the system to back a large, not yet touched buffer with large pages,
// so that filling it costs a few page faults instead of one per 4 KB.
// Does nothing for buffers under a few megabytes or where unsupported.
void PreferLargePages(void* data, std::size_t size);

// Lets the allocator keep freed memory for reuse instead of handing it back
// to the system at once: requests that each build a body of a few hundred
// kilobytes would otherwise pay fresh page faults for every body. Bodies of
// 8 MB and more still get their own mappings; up to 32 MB of free memory is
// kept. Process-wide; set once when the first internet handle is opened.
void KeepFreedMemoryForReuse();

}  // namespace platform
