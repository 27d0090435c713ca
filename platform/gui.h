// The window toolkit (FLTK on Linux): one top-level window of labels, edit boxes
// and push buttons, its event loop, modal message boxes and the event pump.
// Every text crosses this interface in code page 936; the toolkit's UTF-8 stays inside.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

// Prepares the toolkit: opens the display and picks a font that has Chinese
// glyphs. False when there is no display to open.
bool InitGui();
// Closes the display connection InitGui opened (for tests that stop their X server).
void EndGui();

struct ControlPlace {
  int left;
  int top;
  int width;
  int height;
};

using ControlId = int;
using ClickHandler = std::function<void()>;

class GuiWindow {
 public:
  // A window at left, top (screen) whose outer size, frame included, is as close
  // to outerWidth x outerHeight as the toolkit allows. xClass names it for scripts.
  GuiWindow(std::string_view title, int left, int top, int outerWidth, int outerHeight,
            std::string_view xClass);
  ~GuiWindow();
  GuiWindow(const GuiWindow&) = delete;
  GuiWindow& operator=(const GuiWindow&) = delete;

  // Places are inside the client area.
  ControlId AddLabel(ControlPlace place, std::string_view text);
  ControlId AddEditBox(ControlPlace place, std::string_view text);
  ControlId AddButton(ControlPlace place, std::string_view text, ClickHandler onClick);
  // A thin progress bar, hidden until SetProgress is called.
  ControlId AddProgress(ControlPlace place);

  // The whole text of a control; an unknown id reads as empty text.
  std::string ControlText(ControlId id) const;
  void SetControlText(ControlId id, std::string_view text);
  // Shows the progress bar at fraction (0 to 1) with caption, and repaints the
  // window at once without handling input, so clicks stay queued.
  void SetProgress(ControlId id, double fraction, std::string_view caption);
  void HideProgress(ControlId id);

  void Show();
  // Runs the event loop until the window is closed.
  void RunUntilClosed();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// A modal message box; flags are the Windows message-box flags, of which the
// button set (the low four bits) is honoured. Returns 0 OK, 1 Cancel, 2 Abort,
// 3 Retry, 4 Ignore, 5 Yes, 6 No.
int ShowMessageBox(std::string_view text, int flags, std::string_view title);

// Handles the events already waiting, then returns (Fl::check).
void CheckEvents();

}  // namespace platform
