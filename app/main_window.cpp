#include "app/main_window.h"

#include <cstdio>
#include <cstdlib>

#include "app/site.h"

namespace paperdl {
namespace {

// The outer frame of the window: 517 x 227 at 50, 50.
constexpr int kWindowLeft = 50;
constexpr int kWindowTop = 50;
constexpr int kWindowWidth = 517;
constexpr int kWindowHeight = 227;
// The free strip under the buttons holds the page progress.
constexpr platform::ControlPlace kProgressPlace = {16, 180, 456, 14};

}  // namespace

MainWindow::MainWindow()
    : window_(std::make_unique<platform::GuiWindow>(Gbk("苇川试卷下载器"), kWindowLeft, kWindowTop,
                                                    kWindowWidth, kWindowHeight, "paperdl")) {
  // The controls in the order of the layout: 按钮3, 按钮2, 编辑框3, 标签3, 标签2,
  // 标签1, 编辑框2, 编辑框1, 按钮1.
  window_->AddButton({16, 128, 96, 44}, Gbk("打开网址"), [] { OnOpenSiteClicked(); });
  window_->AddButton({216, 128, 40, 44}, Gbk("重置"), [this] { OnResetClicked(*this); });
  lastPageBox_ = window_->AddEditBox({377, 64, 95, 32}, "46");
  window_->AddLabel({296, 72, 60, 24}, Gbk("结束页码："));
  window_->AddLabel({16, 72, 60, 24}, Gbk("开始页码："));
  window_->AddLabel({16, 24, 60, 24}, Gbk("试卷地址："));
  firstPageBox_ = window_->AddEditBox({88, 64, 104, 32}, "1");
  addressBox_ = window_->AddEditBox({88, 16, 384, 32}, InitialArticleAddress());
  window_->AddButton({272, 128, 200, 44}, Gbk("下载"), [this] { OnDownloadClicked(*this); });
  progress_ = window_->AddProgress(kProgressPlace);
}

void MainWindow::Show() {
  window_->Show();
}

void MainWindow::RunUntilClosed() {
  window_->RunUntilClosed();
}

platform::ControlId MainWindow::BoxControl(PaperBox box) const {
  switch (box) {
    case PaperBox::kAddress:
      return addressBox_;
    case PaperBox::kFirstPage:
      return firstPageBox_;
    case PaperBox::kLastPage:
      return lastPageBox_;
  }
  return -1;
}

Text MainWindow::BoxText(PaperBox box) {
  return window_->ControlText(BoxControl(box));
}

void MainWindow::SetBoxText(PaperBox box, const Text& text) {
  window_->SetControlText(BoxControl(box), text);
}

void MainWindow::ShowPageProgress(int pageNumber, int firstPage, int lastPage) {
  // In 64 bits: the span of two 32-bit page numbers does not fit in 32.
  const long long done = static_cast<long long>(pageNumber) - firstPage + 1;
  const long long total =
      lastPage >= firstPage ? static_cast<long long>(lastPage) - firstPage + 1 : 1;
  const Text caption = ToText(pageNumber) + " / " + ToText(lastPage);
  window_->SetProgress(progress_, static_cast<double>(done) / static_cast<double>(total), caption);
}

void MainWindow::EndPageProgress() {
  window_->HideProgress(progress_);
}

void MainWindow::ProcessEvents() {
  platform::CheckEvents();
}

int MainWindow::ShowMessage(const Text& text, int flags, const Text& title) {
  return platform::ShowMessageBox(text, flags, title);
}

int RunMainWindow() {
  if (!platform::InitGui()) {
    std::fputs("paperdl: no display to open the window on\n", stderr);
    return 1;
  }
  static bool exitHandlerRegistered = false;
  if (!exitHandlerRegistered) exitHandlerRegistered = std::atexit(OnProgramExit) == 0;
  MainWindow window;
  window.Show();
  UserInterface* previous = InstallUserInterface(&window);
  window.RunUntilClosed();
  InstallUserInterface(previous);
  return 0;
}

}  // namespace paperdl
