// Files and folders. Paths come in as code page 936 and reach the system as UTF-8;
// both "\" and "/" separate components, only at character boundaries.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace platform {

// The program file's full path (/proc/self/exe), in code page 936.
std::string ProgramFilePath();

// Replaces the file at path with the pieces, atomically: they go to a temporary
// file in the same folder that is renamed over path only when all were written.
// On failure nothing at path changes and no temporary file is left.
bool ReplaceFileContents(std::string_view cp936Path, std::span<const std::string_view> pieces);

// The path with every "\" at a character boundary turned into "/", then as UTF-8.
std::string SystemPath(std::string_view cp936Path);

}  // namespace platform
