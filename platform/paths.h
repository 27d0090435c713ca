// Path lookups and folder creation in the manner of the Windows shell and debug-help
// functions the download workflow was written against. Paths are code page 936;
// both "\" and "/" separate components, only at character boundaries (a byte of
// 0x80 or above leads a double-byte character, whose trail byte is never a separator).
#pragma once

#include <cstddef>
#include <string_view>

namespace platform {

// Creates every folder named before the last separator of cp936Path, parents first
// (the text after the last separator is a file name and is left alone). True when
// all of them exist afterwards. Folders created before a failure stay. Fails for
// a component that is an existing non-folder, or that a Windows file name does not
// allow (a byte below 0x20 or one of : * ? " < > |).
bool MakeSureDirectoryPathExists(std::string_view cp936Path);

// Byte offset where the last component of path starts: behind the last separator
// that is followed by something other than a separator. A path ending in
// separators therefore gives a component that ends with them; a path without
// separators gives 0.
std::size_t PathFindFileName(std::string_view cp936Path);

// Byte offset of the last "." in the last component of path, or path.size() when
// that component has none.
std::size_t PathFindExtension(std::string_view cp936Path);

}  // namespace platform
