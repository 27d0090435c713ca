// What makes an article or a page count as arrived, and a title usable as a folder.
#pragma once

#include "textutil/text.h"

namespace paperdl {

// True for a status text such as "200 OK": three digits starting with 2, then
// the end or a blank. The failure texts ("701 ...") and empty text are not.
bool IsSuccessStatus(const Text& statusText);

// The page image arrived whole: there is data, the status line of the header
// block is a 2xx status, and a declared Content-Length is not more than arrived.
bool PageArrivedWhole(const Bytes& data, const Text& responseHeaders);

// The title names exactly one folder: no "/" or "\" at a character boundary, no
// control byte, none of : * ? " < > |, and not "." or "..". Empty text passes:
// the images then go into the base folder itself.
bool IsSingleFolderName(const Text& title);

}  // namespace paperdl
