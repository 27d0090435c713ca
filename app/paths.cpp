#include "app/paths.h"

#include "platform/paths.h"

namespace paperdl {
namespace {

// Whether the last character (not merely the last byte: a trail byte may be 0x5C)
// is a separator.
bool EndsWithSeparator(const Text& text) {
  bool separator = false;
  for (std::size_t i = 0; i < text.size();
       i += static_cast<unsigned char>(text[i]) >= 0x80 ? 2 : 1) {
    separator = text[i] == '\\' || text[i] == '/';
  }
  return separator;
}

}  // namespace

bool EnsureDirectory(const Text& path) {
  // The folder creator makes only the folders before the last separator, so one
  // is always appended; a doubled separator names no extra folder.
  return platform::MakeSureDirectoryPathExists(path + '\\');
}

Text FileNameOf(const Text& path, bool keepExtension) {
  const Text name = path.substr(platform::PathFindFileName(path));
  // A path naming a folder ("C:\dir\", "out/") has no file name.
  if (EndsWithSeparator(name)) return {};
  if (keepExtension) return name;
  return TextLeft(name, TextLength(name) - TextLength(ExtensionOf(name)));
}

Text ExtensionOf(const Text& path) {
  return path.substr(platform::PathFindExtension(path));
}

}  // namespace paperdl
