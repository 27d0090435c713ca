// Files over POSIX: code-page-936 paths become UTF-8, writes replace atomically.
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>

#include "platform/codepage.h"
#include "platform/files.h"

namespace platform {
namespace {

bool WriteAll(int fd, std::string_view piece) {
  while (!piece.empty()) {
    const ssize_t n = ::write(fd, piece.data(), piece.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;  // a full disk, a file-size limit, an I/O error
    piece.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// A new, exclusively created file beside target; its name is returned in tempPath.
int CreateTempBeside(const std::string& target, std::string& tempPath) {
  static std::atomic<unsigned> counter{0};
  const auto slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  for (int attempt = 0; attempt < 100; ++attempt) {
    // A short name, so that a target near the name-length limit still has a temporary.
    tempPath = folder + ".paperdl-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) +
               ".part";
    const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

std::string SystemPath(std::string_view cp936Path) {
  std::string path(cp936Path);
  for (size_t i = 0; i < path.size(); i += static_cast<unsigned char>(path[i]) >= 0x80 ? 2 : 1) {
    if (path[i] == '\\') path[i] = '/';
  }
  return Cp936ToUtf8(path);
}

std::string ProgramFilePath() {
  std::string buffer(4096, '\0');
  const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (n <= 0) return {};
  buffer.resize(static_cast<size_t>(n));
  return Utf8ToCp936(buffer);
}

bool ReplaceFileContents(std::string_view cp936Path, std::span<const std::string_view> pieces) {
  const std::string target = SystemPath(cp936Path);
  if (target.empty() || target.back() == '/') return false;
  std::string tempPath;
  const int fd = CreateTempBeside(target, tempPath);
  if (fd < 0) return false;  // missing folder, no permission
  bool ok = true;
  for (auto piece : pieces) {
    if (!(ok = WriteAll(fd, piece))) break;
  }
  ok = (::close(fd) == 0) && ok;
  ok = ok && ::rename(tempPath.c_str(), target.c_str()) == 0;
  if (!ok) ::unlink(tempPath.c_str());
  return ok;
}

}  // namespace platform
