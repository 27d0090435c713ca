// Internal scanning helpers shared by the search, replace and split primitives.
#pragma once

#include <cstddef>
#include <string_view>

namespace paperdl::scan {

inline constexpr std::size_t npos = std::string_view::npos;

inline bool IsLead(char c) {
  return static_cast<unsigned char>(c) >= 0x80;
}

inline unsigned char FoldCase(char c) {
  auto b = static_cast<unsigned char>(c);
  return (b >= 'A' && b <= 'Z') ? static_cast<unsigned char>(b + 32) : b;
}

// The first occurrence of sought at or after `from` that starts on a character
// boundary, stepping double-byte characters as units from `from` (a boundary).
std::size_t FindAligned(std::string_view text, std::string_view sought, std::size_t from,
                        bool ignoreCase);

// True when position p is reached by stepping from the boundary `from`.
bool IsBoundary(std::string_view text, std::size_t from, std::size_t p);

}  // namespace paperdl::scan
