// The real window on a private Xvfb display, driven by xdotool: its caption
// and size, a whole download from the initial boxes, 重置 then 下载, and closing.
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "tests/app/download_fixture.h"
#include "tests/app/x_session.h"

namespace paperdl::test {
namespace {

using std::chrono::seconds;

constexpr const char* kCaption = "苇川试卷下载器";

// Button centres in the client area (the layout's places).
constexpr int kDownloadX = 272 + 100, kDownloadY = 128 + 22;
constexpr int kResetX = 216 + 20, kResetY = 128 + 22;

// Screenshots are kept beside the test program, in the build folder.
std::string ArtifactPath(const std::string& name) {
  return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / name).string();
}

class WindowTest : public DownloadTest {
 protected:
  void SetUp() override {
    DownloadTest::SetUp();
    ASSERT_FALSE(x_.Display().empty()) << "Xvfb did not start";
    SpawnOptions options;
    options.environment = EnvironmentWith({"DISPLAY=" + x_.Display()});
    stderrPath_ = ArtifactPath("paperdl_window_stderr.txt");
    stderrFd_ = open(stderrPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    options.stderrFd = stderrFd_;
    program_ = ChildProcess(
        {PAPERDL_PROGRAM, "--window", "--site", site_.Host(), "--out", base_.string()}, options);
    ASSERT_TRUE(program_.Started());
    window_ = WaitForWindow(x_.Display(), "paperdl", kCaption, seconds(30));
    ASSERT_FALSE(window_.empty()) << "no main window on " << x_.Display()
                                  << "; seen: " << WindowNames(x_.Display(), "paperdl")
                                  << "; program status " << program_.Wait(seconds(0)) << ", "
                                  << ReadWholeFile(stderrPath_);
  }

  // Waits for the message box titled title, then closes it with Enter.
  void CloseMessageBox(const std::string& title) {
    const std::string box = WaitForWindow(x_.Display(), "paperdl", title, seconds(90));
    ASSERT_FALSE(box.empty()) << "no box \"" << title
                              << "\"; seen: " << WindowNames(x_.Display(), "paperdl");
    PressEnterIn(x_.Display(), box);
    EXPECT_TRUE(WaitUntilGone(x_.Display(), "paperdl", box, seconds(10)));
  }

  void TearDown() override {
    program_.Kill();
    if (stderrFd_ >= 0) close(stderrFd_);
    DownloadTest::TearDown();
  }

  void CloseWindowAndExpectStatusZero() {
    ASSERT_TRUE(SendCloseRequest(x_.Display(), window_));
    EXPECT_EQ(program_.Wait(seconds(10)), 0) << ReadWholeFile(stderrPath_);
  }

  XvfbServer x_;
  ChildProcess program_;
  std::string window_;
  std::string stderrPath_;
  int stderrFd_ = -1;
};

TEST_F(WindowTest, CaptionPlaceAndSize) {
  const std::string geometry = XdoTool(x_.Display(), {"getwindowgeometry", window_});
  EXPECT_NE(geometry.find("Position: 50,50"), std::string::npos) << geometry;
  EXPECT_NE(geometry.find("Geometry: 517x227"), std::string::npos) << geometry;
  EXPECT_TRUE(SaveScreenshot(x_.Display(), ArtifactPath("paperdl_window.png")));
  CloseWindowAndExpectStatusZero();
}

TEST_F(WindowTest, DownloadWithInitialBoxesSavesEveryPage) {
  ClickAt(x_.Display(), window_, kDownloadX, kDownloadY);
  CloseMessageBox("ok");
  ExpectPagesSaved(PaperFolder(), PageRange(1, 46));
  EXPECT_EQ(site_.RequestLines(), site_.ExpectedLines(PageRange(1, 46)));
  CloseWindowAndExpectStatusZero();
}

TEST_F(WindowTest, TypedPageNumbersAreRead) {
  // Into 编辑框2 and 编辑框3 at their places in the layout.
  for (const auto& [x, y, text] : {std::tuple{88 + 52, 64 + 16, "3"}, {377 + 47, 64 + 16, "4"}}) {
    ClickAt(x_.Display(), window_, x, y);
    XdoTool(x_.Display(), {"key", "ctrl+a"});
    XdoTool(x_.Display(), {"type", text});
  }
  ClickAt(x_.Display(), window_, kDownloadX, kDownloadY);
  CloseMessageBox("ok");
  ExpectPagesSaved(PaperFolder(), {3, 4});
  CloseWindowAndExpectStatusZero();
}

TEST_F(WindowTest, ResetThenDownloadFailsOnPageZeroAndWritesNothing) {
  ClickAt(x_.Display(), window_, kResetX, kResetY);
  ClickAt(x_.Display(), window_, kDownloadX, kDownloadY);
  const std::string box = WaitForWindow(x_.Display(), "paperdl", "0下载失败", seconds(30));
  ASSERT_FALSE(box.empty()) << "seen: " << WindowNames(x_.Display(), "paperdl");
  EXPECT_TRUE(SaveScreenshot(x_.Display(), ArtifactPath("paperdl_failure_box.png")));
  PressEnterIn(x_.Display(), box);
  EXPECT_TRUE(WaitUntilGone(x_.Display(), "paperdl", box, seconds(10)));
  CloseMessageBox("ok");
  EXPECT_TRUE(NamesIn(base_).empty());
  EXPECT_TRUE(site_.RequestLines().empty());
  CloseWindowAndExpectStatusZero();
}

}  // namespace
}  // namespace paperdl::test
