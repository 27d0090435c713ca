#include "platform/shell.h"

#include <spawn.h>
#include <sys/wait.h>
#include <cerrno>

#include <string>
#include <thread>

#include "platform/codepage.h"

extern char** environ;

namespace platform {

bool OpenWithDefaultHandler(std::string_view cp936Address) {
  std::string program = "xdg-open";
  std::string address = Cp936ToUtf8(cp936Address);
  char* argv[] = {program.data(), address.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) return false;
  // Nobody waits for the opener; a background reaper keeps it from lingering as a zombie.
  std::thread([pid] {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return true;
}

}  // namespace platform
