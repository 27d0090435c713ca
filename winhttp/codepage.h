// Text (code page 936) to and from the UTF-16LE strings the WinHTTP operations take.
#pragma once

#include "textutil/text.h"

namespace paperdl {

// Empty Bytes for empty text; otherwise zero-terminated unless dropTerminator.
Bytes AnsiToUtf16(const Text& text, bool dropTerminator = false);
// Up to the first zero character; an odd last byte is ignored.
Text Utf16ToAnsi(const Bytes& wide);

}  // namespace paperdl
