// A private X server for window tests: Xvfb on a display number it picks
// itself, xdotool to find and drive windows, and a close request sent the way
// a window manager sends it.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/app/process.h"

namespace paperdl::test {

class XvfbServer {
 public:
  XvfbServer() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return;
    SpawnOptions options;
    options.extraFd = fds[1];  // Xvfb writes the display number it took to fd 3
    server_ = ChildProcess(
        {"Xvfb", "-displayfd", "3", "-screen", "0", "800x400x24", "-nolisten", "tcp"}, options);
    close(fds[1]);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    std::string number;
    while (number.find('\n') == std::string::npos) {
      const std::string more = ReadSome(fds[0], deadline);
      if (more.empty()) break;
      number += more;
    }
    close(fds[0]);
    if (number.find('\n') != std::string::npos)
      display_ = ":" + number.substr(0, number.find('\n'));
  }
  ~XvfbServer() { server_.Terminate(std::chrono::seconds(5)); }

  // ":N", or empty when the server did not start.
  const std::string& Display() const { return display_; }

 private:
  static std::string ReadSome(int fd, std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd item = {fd, POLLIN, 0};
    if (left.count() <= 0 || poll(&item, 1, static_cast<int>(left.count())) <= 0) return {};
    char buffer[64];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
  }

  ChildProcess server_;
  std::string display_;
};

// Runs xdotool on display; its output without the final line break.
inline std::string XdoTool(const std::string& display, std::vector<std::string> args) {
  args.insert(args.begin(), "xdotool");
  SpawnOptions options;
  options.environment = EnvironmentWith({"DISPLAY=" + display});
  std::string out = RunProcess(std::move(args), options, std::chrono::seconds(10)).out;
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

// The visible windows of the given X class, by id.
inline std::vector<std::string> VisibleWindowsOfClass(const std::string& display,
                                                      const std::string& xClass) {
  std::istringstream ids(XdoTool(display, {"search", "--onlyvisible", "--class", xClass}));
  std::vector<std::string> windows;
  for (std::string id; ids >> id;) windows.push_back(id);
  return windows;
}

// Waits up to timeout for a visible window of xClass named exactly name (UTF-8);
// its id, or empty text.
inline std::string WaitForWindow(const std::string& display, const std::string& xClass,
                                 const std::string& name, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  do {
    for (const std::string& id : VisibleWindowsOfClass(display, xClass))
      if (XdoTool(display, {"getwindowname", id}) == name) return id;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  } while (std::chrono::steady_clock::now() < deadline);
  return {};
}

// Waits up to timeout until window is no longer visible; false when it still is.
inline bool WaitUntilGone(const std::string& display, const std::string& xClass,
                          const std::string& window, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    const std::vector<std::string> windows = VisibleWindowsOfClass(display, xClass);
    if (std::find(windows.begin(), windows.end(), window) == windows.end()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

// The names of the visible windows of xClass, for failure messages.
inline std::string WindowNames(const std::string& display, const std::string& xClass) {
  std::string names;
  for (const std::string& id : VisibleWindowsOfClass(display, xClass))
    names += "[" + XdoTool(display, {"getwindowname", id}) + "] ";
  return names;
}

// Gives window the keyboard and presses key (an X key name) in it.
inline void PressKeyIn(const std::string& display, const std::string& window,
                       const std::string& key) {
  XdoTool(display, {"windowfocus", "--sync", window});
  XdoTool(display, {"key", key});
}

// Closes a message box with its default button.
inline void PressEnterIn(const std::string& display, const std::string& window) {
  PressKeyIn(display, window, "Return");
}

// A left click at x, y inside window.
inline void ClickAt(const std::string& display, const std::string& window, int x, int y) {
  XdoTool(display,
          {"mousemove", "--window", window, std::to_string(x), std::to_string(y), "click", "1"});
}

// Asks the window to close (WM_DELETE_WINDOW), as a window manager's close button does.
inline bool SendCloseRequest(const std::string& display, const std::string& window) {
  ::Display* connection = XOpenDisplay(display.c_str());
  if (!connection) return false;
  XEvent event = {};
  event.xclient.type = ClientMessage;
  event.xclient.window = std::stoul(window);
  event.xclient.message_type = XInternAtom(connection, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(connection, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  const Status sent = XSendEvent(connection, event.xclient.window, False, NoEventMask, &event);
  XFlush(connection);
  XCloseDisplay(connection);
  return sent != 0;
}

// A screenshot of the whole screen, kept as a test artifact.
inline bool SaveScreenshot(const std::string& display, const std::string& path) {
  SpawnOptions options;
  options.environment = EnvironmentWith({"DISPLAY=" + display});
  return RunProcess({"import", "-window", "root", path}, options, std::chrono::seconds(20))
             .exitStatus == 0;
}

}  // namespace paperdl::test
