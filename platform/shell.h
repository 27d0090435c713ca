// Handing an address to the desktop's default handler (xdg-open on Linux).
#pragma once

#include <string_view>

namespace platform {

// Starts the opener for address (code page 936) without a shell and returns at
// once; the child is reaped in the background. False when it could not start.
bool OpenWithDefaultHandler(std::string_view cp936Address);

}  // namespace platform
