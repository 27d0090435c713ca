#include "platform/paths.h"

#include <sys/stat.h>

#include <cerrno>
#include <string>

#include "platform/files.h"

namespace platform {
namespace {

bool IsLeadByte(char byte) {
  return static_cast<unsigned char>(byte) >= 0x80;
}
bool IsSeparator(char byte) {
  return byte == '\\' || byte == '/';
}

// Characters a Windows file name cannot hold; kept on every system so a folder
// named here can be copied to any disk.
bool IsForbiddenInName(char byte) {
  if (static_cast<unsigned char>(byte) < 0x20) return true;
  for (char forbidden : std::string_view(":*?\"<>|")) {
    if (byte == forbidden) return true;
  }
  return false;
}

// Length of the character starting at index: two for a lead byte with a byte behind it.
std::size_t CharLength(std::string_view path, std::size_t index) {
  return IsLeadByte(path[index]) && index + 1 < path.size() ? 2 : 1;
}

bool IsAllowedName(std::string_view name) {
  for (std::size_t i = 0; i < name.size(); i += CharLength(name, i)) {
    if (IsForbiddenInName(name[i])) return false;
  }
  return true;
}

// The folder exists afterwards: created now, or already there as a folder.
bool MakeFolder(std::string_view cp936Folder) {
  const std::string folder = SystemPath(cp936Folder);
  if (::mkdir(folder.c_str(), 0777) == 0) return true;
  if (errno != EEXIST) return false;
  struct stat status {};
  return ::stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

bool MakeSureDirectoryPathExists(std::string_view cp936Path) {
  std::size_t componentStart = 0;
  for (std::size_t i = 0; i < cp936Path.size(); i += CharLength(cp936Path, i)) {
    if (!IsSeparator(cp936Path[i])) continue;
    const std::string_view name = cp936Path.substr(componentStart, i - componentStart);
    componentStart = i + 1;
    // An empty name is the root of an absolute path or a doubled separator.
    if (name.empty()) continue;
    if (!IsAllowedName(name) || !MakeFolder(cp936Path.substr(0, i))) return false;
  }
  return true;
}

std::size_t PathFindFileName(std::string_view cp936Path) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < cp936Path.size(); i += CharLength(cp936Path, i)) {
    const bool followedByName = i + 1 < cp936Path.size() && !IsSeparator(cp936Path[i + 1]);
    if (IsSeparator(cp936Path[i]) && followedByName) start = i + 1;
  }
  return start;
}

std::size_t PathFindExtension(std::string_view cp936Path) {
  std::size_t dot = cp936Path.size();
  for (std::size_t i = 0; i < cp936Path.size(); i += CharLength(cp936Path, i)) {
    if (cp936Path[i] == '.') dot = i;
    if (IsSeparator(cp936Path[i])) dot = cp936Path.size();
  }
  return dot;
}

}  // namespace platform
