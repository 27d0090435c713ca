#include "platform/linux/winhttp_handles.h"

#include <curl/curl.h>

#include <mutex>
#include <unordered_set>

#include "platform/codepage.h"

namespace platform::winhttp {
namespace {

std::mutex registryMutex;
std::unordered_set<WinHttpHandle*>& LiveHandles() {
  static std::unordered_set<WinHttpHandle*> handles;
  return handles;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool IsHighSurrogate(char16_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

}  // namespace

SessionState::~SessionState() {
  if (easy) curl_easy_cleanup(easy);
}

WinHttpHandle* RegisterHandle(HandleState state) {
  auto* handle = new WinHttpHandle{std::move(state)};
  std::lock_guard lock(registryMutex);
  LiveHandles().insert(handle);
  return handle;
}

HandleState* FindHandle(WinHttpHandle* handle) {
  std::lock_guard lock(registryMutex);
  return LiveHandles().count(handle) ? &handle->state : nullptr;
}

bool UnregisterHandle(WinHttpHandle* handle) {
  {
    std::lock_guard lock(registryMutex);
    if (LiveHandles().erase(handle) == 0) return false;
  }
  delete handle;
  return true;
}

// Unpaired surrogates become U+FFFD, as no UTF-8 form exists for them.
std::string ToUtf8(const char16_t* text, std::size_t length) {
  std::string out;
  if (!text) return out;
  out.reserve(length);
  for (std::size_t i = 0; i < length; ++i) {
    char16_t c = text[i];
    if (IsHighSurrogate(c) && i + 1 < length && IsLowSurrogate(text[i + 1])) {
      AppendUtf8(out, 0x10000 + ((char32_t{c} - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
      AppendUtf8(out, 0xFFFD);
    } else {
      AppendUtf8(out, c);
    }
  }
  return out;
}

std::string ToUtf8(const char16_t* text) {
  if (!text) return {};
  return ToUtf8(text, std::char_traits<char16_t>::length(text));
}

std::string BracketedHost(const std::string& host) {
  if (host.find(':') == std::string::npos) return host;
  std::string bracketed;
  bracketed.reserve(host.size() + 2);
  return bracketed.append("[").append(host).append("]");
}

std::u16string HeaderBytesToWide(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int length = static_cast<int>(bytes.size());
  int units = MultiByteToWideChar(kCodePage936, 0, bytes.data(), length, nullptr, 0);
  std::u16string wide(units, u'\0');
  MultiByteToWideChar(kCodePage936, 0, bytes.data(), length, wide.data(), units);
  return wide;
}

}  // namespace platform::winhttp
