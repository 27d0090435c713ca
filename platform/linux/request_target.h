// The request target as it may go on a request line.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Printable ASCII stays as given; blanks, control bytes and bytes of 0x80 and
// above, which a request line cannot carry, are percent-encoded.
std::string EscapeRequestTarget(std::string_view target);

}  // namespace platform
