// Local paths for the download: the output folder and the image file names.
#pragma once

#include "textutil/text.h"

namespace paperdl {

// Creates every missing folder along path, parents first; true when it exists afterwards.
bool EnsureDirectory(const Text& path);
// The last component of a path or address, with or without its extension.
Text FileNameOf(const Text& path, bool keepExtension = false);
// The extension of the last component, dot included, or empty text.
Text ExtensionOf(const Text& path);

}  // namespace paperdl
