// Message boxes on a private Xvfb display: the buttons each flag set offers
// and the result of Enter (the middle button) and Escape, pressed by xdotool.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <thread>

#include "platform/gui.h"
#include "tests/app/x_session.h"

namespace platform {
namespace {

using paperdl::test::PressKeyIn;
using paperdl::test::WaitForWindow;
using paperdl::test::XvfbServer;

class MessageBoxTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    x_ = new XvfbServer();
    if (x_->Display().empty()) return;
    setenv("DISPLAY", x_->Display().c_str(), 1);
    guiReady_ = InitGui();
  }
  static void TearDownTestSuite() {
    if (guiReady_) EndGui();
    delete x_;
    x_ = nullptr;
  }

  // Shows the box while another thread waits for it and presses key in it.
  int AnswerWith(int flags, const std::string& title, const std::string& key) {
    std::thread driver([&] {
      const std::string box = WaitForWindow(x_->Display(), ".", title, std::chrono::seconds(30));
      if (!box.empty()) PressKeyIn(x_->Display(), box, key);
    });
    const int result = ShowMessageBox("text", flags, title);
    driver.join();
    return result;
  }

  static XvfbServer* x_;
  static bool guiReady_;
};

XvfbServer* MessageBoxTest::x_ = nullptr;
bool MessageBoxTest::guiReady_ = false;

struct Case {
  const char* name;
  int flags;
  int onEnter;
  int onEscape;
};

// 0 OK, 1 Cancel, 2 Abort, 3 Retry, 4 Ignore, 5 Yes, 6 No. Escape closes the
// box: Cancel where there is one, otherwise the most cautious answer.
const Case kCases[] = {
    {"OK", 0, 0, 0},
    {"OK Cancel", 1, 0, 1},
    {"Abort Retry Ignore", 2, 3, 2},
    {"Yes No Cancel", 3, 6, 1},
    {"Yes No", 4, 5, 6},
    {"Retry Cancel", 5, 3, 1},
    {"icon and default-button bits keep the set", 0x24 | 0x100 | 0x2000, 5, 6},
};

TEST_F(MessageBoxTest, ButtonSetsAndResults) {
  ASSERT_TRUE(guiReady_) << "no X server";
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(AnswerWith(c.flags, std::string(c.name) + " enter", "Return"), c.onEnter);
    EXPECT_EQ(AnswerWith(c.flags, std::string(c.name) + " escape", "Escape"), c.onEscape);
  }
}

}  // namespace
}  // namespace platform
