#include "app/page_checks.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace paperdl {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The status line of a raw header block ("HTTP/1.1 200 OK"), or empty text.
Text StatusLine(const Text& headers) {
  const Text line = headers.substr(0, headers.find("\r\n"));
  return line.starts_with("HTTP/") ? line : Text{};
}

bool NameIs(std::string_view line, std::string_view name) {
  const auto colon = line.find(':');
  if (colon == std::string_view::npos) return false;
  std::string_view lineName = line.substr(0, colon);
  while (!lineName.empty() && (lineName.back() == ' ' || lineName.back() == '\t'))
    lineName.remove_suffix(1);
  return CompareText(Text(lineName), Text(name)) == 0;
}

// The first Content-Length the response declares, when it is a decimal number.
std::optional<std::uint64_t> DeclaredLength(const Text& headers) {
  for (const Text& line : SplitText(headers, "\r\n")) {
    if (!NameIs(line, "Content-Length")) continue;
    const Text value = TrimBoth(line.substr(line.find(':') + 1));
    if (value.empty()) return std::nullopt;
    std::uint64_t length = 0;
    for (char c : value) {
      if (!IsDigit(c)) return std::nullopt;
      // A length beyond any body counts as more than arrived.
      if (length > (UINT64_MAX - 9) / 10) return UINT64_MAX;
      length = length * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return length;
  }
  return std::nullopt;
}

}  // namespace

bool IsSuccessStatus(const Text& statusText) {
  if (statusText.size() < 3 || statusText[0] != '2') return false;
  if (!IsDigit(statusText[1]) || !IsDigit(statusText[2])) return false;
  return statusText.size() == 3 || statusText[3] == ' ';
}

bool PageArrivedWhole(const Bytes& data, const Text& responseHeaders) {
  if (data.empty()) return false;
  const Text statusLine = StatusLine(responseHeaders);
  const auto blank = statusLine.find(' ');
  if (blank == Text::npos || !IsSuccessStatus(statusLine.substr(blank + 1))) return false;
  const std::optional<std::uint64_t> declared = DeclaredLength(responseHeaders);
  return !declared || data.size() >= *declared;
}

bool IsSingleFolderName(const Text& title) {
  if (title == "." || title == "..") return false;
  constexpr std::string_view kForbidden = "/\\:*?\"<>|";
  for (size_t i = 0; i < title.size(); ++i) {
    const auto byte = static_cast<unsigned char>(title[i]);
    if (byte >= 0x80) {
      ++i;  // a double-byte character: its trail byte is no separator
      continue;
    }
    if (byte < 0x20 || kForbidden.find(title[i]) != std::string_view::npos) return false;
  }
  return true;
}

}  // namespace paperdl
