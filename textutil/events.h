// The message pump and message boxes, reached through whichever user interface
// is running: the window, the command line, or a test's in-memory window.
#pragma once

#include "textutil/text.h"

namespace paperdl {

// Button results of a message box.
enum MessageResult { kOk = 0, kCancel = 1, kAbort = 2, kRetry = 3, kIgnore = 4, kYes = 5, kNo = 6 };

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  // Handles the events already waiting, then returns.
  virtual void ProcessEvents() = 0;
  // A modal message box; flags are the Windows message-box flags.
  virtual int ShowMessage(const Text& text, int flags, const Text& title) = 0;
};

// Installs ui (not owned) for ProcessEvents and ShowMessage; nullptr removes it.
// Returns the one installed before, so a caller can put it back.
UserInterface* InstallUserInterface(UserInterface* ui);

// Nothing happens while no user interface is installed.
void ProcessEvents();
// Without a user interface the box is written to standard error and OK is returned.
int ShowMessage(const Text& text, int flags, const Text& title = Gbk("信息："));

}  // namespace paperdl
