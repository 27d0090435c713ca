// Starting programs from tests without a shell: output captured or sent to
// files, an environment of our choosing, and a deadline on every wait.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace paperdl::test {

// The current environment with each "NAME=value" of changes put in its place.
inline std::vector<std::string> EnvironmentWith(const std::vector<std::string>& changes) {
  std::vector<std::string> result;
  for (char** entry = environ; *entry; ++entry) {
    const std::string line = *entry;
    bool replaced = false;
    for (const std::string& change : changes)
      replaced =
          replaced || line.substr(0, line.find('=') + 1) == change.substr(0, change.find('=') + 1);
    if (!replaced) result.push_back(line);
  }
  result.insert(result.end(), changes.begin(), changes.end());
  return result;
}

inline std::vector<char*> PointersTo(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& s : strings) pointers.push_back(s.data());
  pointers.push_back(nullptr);
  return pointers;
}

struct SpawnOptions {
  std::vector<std::string> environment = EnvironmentWith({});
  std::string workingDirectory;  // empty: the test's own
  int stdoutFd = -1;             // -1: /dev/null
  int stderrFd = -1;
  int extraFd = -1;  // given to the child as fd 3
};

class ChildProcess {
 public:
  ChildProcess() = default;
  ChildProcess(std::vector<std::string> argv, const SpawnOptions& options) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    for (int target : {1, 2}) {
      const int fd = target == 1 ? options.stdoutFd : options.stderrFd;
      if (fd >= 0)
        posix_spawn_file_actions_adddup2(&actions, fd, target);
      else
        posix_spawn_file_actions_addopen(&actions, target, "/dev/null", O_WRONLY, 0);
    }
    if (options.extraFd >= 0) posix_spawn_file_actions_adddup2(&actions, options.extraFd, 3);
    if (!options.workingDirectory.empty())
      posix_spawn_file_actions_addchdir_np(&actions, options.workingDirectory.c_str());
    std::vector<std::string> environment = options.environment;
    std::vector<char*> args = PointersTo(argv);
    std::vector<char*> env = PointersTo(environment);
    if (posix_spawnp(&pid_, args[0], &actions, nullptr, args.data(), env.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~ChildProcess() { Kill(); }
  ChildProcess(ChildProcess&& other) noexcept : pid_(other.pid_) { other.pid_ = -1; }
  ChildProcess& operator=(ChildProcess&& other) noexcept {
    Kill();
    pid_ = other.pid_;
    other.pid_ = -1;
    return *this;
  }

  bool Started() const { return pid_ > 0; }

  // The exit status, 128 + signal for a killed child, or -1 when it is still
  // running at the deadline.
  int Wait(std::chrono::milliseconds timeout) {
    if (pid_ <= 0) return -1;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      int status = 0;
      const pid_t done = waitpid(pid_, &status, WNOHANG);
      if (done == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      if (done < 0 || std::chrono::steady_clock::now() >= deadline) return -1;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }

  // Asks the child to end (SIGTERM), then kills it after grace.
  void Terminate(std::chrono::milliseconds grace) {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    if (Wait(grace) < 0) Kill();
  }

  // Ends the child (by its own id) and reaps it.
  void Kill() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
};

struct ProcessResult {
  int exitStatus = -1;  // -1: still running at the deadline (then killed)
  std::string out;
  std::string err;
};

// Reads fd to its end or the deadline.
inline std::string ReadUntilClosed(int fd, std::chrono::steady_clock::time_point deadline) {
  std::string text;
  char buffer[4096];
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd item = {fd, POLLIN, 0};
    if (poll(&item, 1, static_cast<int>(left.count())) <= 0) break;
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0) break;
    text.append(buffer, static_cast<size_t>(n));
  }
  return text;
}

// Runs argv to its end (at most timeout), with stdout and stderr captured.
inline ProcessResult RunProcess(std::vector<std::string> argv, SpawnOptions options = {},
                                std::chrono::milliseconds timeout = std::chrono::seconds(60)) {
  int outPipe[2], errPipe[2];
  if (pipe2(outPipe, O_CLOEXEC) != 0) return {};
  if (pipe2(errPipe, O_CLOEXEC) != 0) {
    close(outPipe[0]);
    close(outPipe[1]);
    return {};
  }
  options.stdoutFd = outPipe[1];
  options.stderrFd = errPipe[1];
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  ChildProcess child(std::move(argv), options);
  close(outPipe[1]);
  close(errPipe[1]);
  ProcessResult result;
  // stderr is read on a thread so neither pipe can fill up and stall the child.
  std::thread errReader([&] { result.err = ReadUntilClosed(errPipe[0], deadline); });
  result.out = ReadUntilClosed(outPipe[0], deadline);
  errReader.join();
  close(outPipe[0]);
  close(errPipe[0]);
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  result.exitStatus = child.Wait(std::max(left, std::chrono::milliseconds(100)));
  return result;
}

}  // namespace paperdl::test
