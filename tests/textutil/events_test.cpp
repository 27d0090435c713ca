// ProcessEvents and ShowMessage reach whichever user interface is installed.
#include "textutil/events.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace paperdl {
namespace {

class RecordingInterface : public UserInterface {
 public:
  explicit RecordingInterface(int answer) : answer_(answer) {}
  void ProcessEvents() override { ++pumps; }
  int ShowMessage(const Text& text, int flags, const Text& title) override {
    boxes.push_back(Utf8(title) + "|" + Utf8(text) + "|" + std::to_string(flags));
    return answer_;
  }
  int pumps = 0;
  std::vector<std::string> boxes;

 private:
  int answer_;
};

TEST(Events, CallsGoToTheInstalledInterfaceUntilItIsReplaced) {
  RecordingInterface first(kYes), second(kCancel);
  UserInterface* before = InstallUserInterface(&first);
  ProcessEvents();
  EXPECT_EQ(ShowMessage(Gbk("跳出循环"), 4, Gbk("7下载失败")), kYes);
  EXPECT_EQ(ShowMessage("text", 0), kYes);

  EXPECT_EQ(InstallUserInterface(&second), &first);
  ProcessEvents();
  ProcessEvents();
  EXPECT_EQ(ShowMessage("x", 1, "y"), kCancel);
  EXPECT_EQ(InstallUserInterface(before), &second);

  EXPECT_EQ(first.pumps, 1);
  EXPECT_EQ(first.boxes, (std::vector<std::string>{"7下载失败|跳出循环|4", "信息：|text|0"}));
  EXPECT_EQ(second.pumps, 2);
  EXPECT_EQ(second.boxes, std::vector<std::string>{"y|x|1"});
}

TEST(Events, WithoutAnInterfaceTheBoxIsALineOnStandardError) {
  UserInterface* before = InstallUserInterface(nullptr);
  ProcessEvents();  // nothing to pump, nothing happens
  testing::internal::CaptureStderr();
  const int result = ShowMessage(Gbk("跳出循环"), 1, Gbk("3下载失败"));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "3下载失败: 跳出循环\n");
  EXPECT_EQ(result, kOk);
  InstallUserInterface(before);
}

}  // namespace
}  // namespace paperdl
