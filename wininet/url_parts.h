// Taking a request address apart: host, port and path.
#pragma once

#include <optional>

#include "textutil/text.h"

namespace paperdl {

// Always lower case. Whether suffixDots is supplied selects the algorithm.
Text HostOf(const Text& url, bool rootOnly = false, bool keepPort = false,
            std::optional<int> suffixDots = std::nullopt);
int PortOf(const Text& url);
// Never empty: "/" when the address has no path.
Text PathOf(const Text& url);

}  // namespace paperdl
