#include "textutil/text_scan.h"

#include <algorithm>
#include <array>

namespace paperdl::scan {
namespace {

bool EqualsFolded(const char* a, const char* b, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

// Any occurrence at or after pos, aligned or not, matching letters A-Z and a-z alike.
std::size_t FindFolded(std::string_view text, std::string_view sought, std::size_t pos) {
  if (sought.size() > text.size()) return npos;
  const unsigned char first = FoldCase(sought[0]);
  const std::size_t last = text.size() - sought.size();
  for (std::size_t i = pos; i <= last; ++i) {
    if (FoldCase(text[i]) == first && EqualsFolded(text.data() + i, sought.data(), sought.size()))
      return i;
  }
  return npos;
}

}  // namespace

bool IsBoundary(std::string_view text, std::size_t from, std::size_t p) {
  // Every byte after an ASCII byte starts a character (the ASCII byte is either
  // a character or a trail byte), and bytes of 0x80 or above pair up from there.
  std::size_t runStart = p;
  while (runStart > from && IsLead(text[runStart - 1])) --runStart;
  return (p - runStart) % 2 == 0;
}

std::size_t FindAligned(std::string_view text, std::string_view sought, std::size_t from,
                        bool ignoreCase) {
  std::size_t boundary = from;
  while (boundary < text.size()) {
    std::size_t p = ignoreCase ? FindFolded(text, sought, boundary) : text.find(sought, boundary);
    if (p == npos) return npos;
    if (IsBoundary(text, boundary, p)) return p;
    boundary = p + 1;  // p is a trail byte, so the next byte starts a character
  }
  return npos;
}

}  // namespace paperdl::scan
