// MainWindow: the three boxes, their captions and the three buttons, over the
// platform's window toolkit; and the program's start-up around it.
#pragma once

#include <memory>

#include "app/download.h"
#include "platform/gui.h"

namespace paperdl {

class MainWindow : public PaperWindow {
 public:
  // Creates the window with its controls and initial texts (not yet shown).
  MainWindow();
  void Show();
  // Runs the event loop until the window is closed.
  void RunUntilClosed();

  Text BoxText(PaperBox box) override;
  void SetBoxText(PaperBox box, const Text& text) override;
  void ShowPageProgress(int pageNumber, int firstPage, int lastPage) override;
  void EndPageProgress() override;
  void ProcessEvents() override;
  int ShowMessage(const Text& text, int flags, const Text& title) override;

 private:
  platform::ControlId BoxControl(PaperBox box) const;

  std::unique_ptr<platform::GuiWindow> window_;
  platform::ControlId addressBox_ = -1;    // 编辑框1
  platform::ControlId firstPageBox_ = -1;  // 编辑框2
  platform::ControlId lastPageBox_ = -1;   // 编辑框3
  platform::ControlId progress_ = -1;
};

// Start-up: the toolkit, OnProgramExit as exit handler, MainWindow shown, its
// loop until closed. Returns 0, or 1 when there is no display to open.
int RunMainWindow();

}  // namespace paperdl
