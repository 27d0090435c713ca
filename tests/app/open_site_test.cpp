// 打开网址 hands the home page of the site to xdg-open and returns at once,
// whether an opener is there or not.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/download.h"
#include "app/site.h"
#include "tests/app/download_fixture.h"

namespace paperdl::test {
namespace {

class OpenSiteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/paperdl-open-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    const char* path = std::getenv("PATH");
    savedPath_ = path ? path : "";
    setenv("PATH", folder_.c_str(), 1);  // only our fake opener can be found
    SetPaperSiteHost("127.0.0.1:1234");
  }
  void TearDown() override {
    setenv("PATH", savedPath_.c_str(), 1);
    SetPaperSiteHost(PAPER_SITE_HOST);
    std::filesystem::remove_all(folder_);
  }

  std::filesystem::path folder_;
  std::string savedPath_;
};

TEST_F(OpenSiteTest, StartsTheOpenerWithTheHomePageAndDoesNotWaitForIt) {
  const auto fifo = folder_ / "release";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  // The opener records its arguments, then blocks until the test releases it.
  const std::string args = (folder_ / "args").string();
  const std::string script[] = {
      "#!/bin/sh",
      "printf '%s|' \"$@\" > " + args + ".tmp",
      "/bin/mv " + args + ".tmp " + args,
      "read x < " + fifo.string(),
  };
  std::string text;
  for (const std::string& line : script) text += line + "\n";
  WriteWholeFile(folder_ / "xdg-open", text);
  std::filesystem::permissions(folder_ / "xdg-open", std::filesystem::perms::owner_all);

  // Should the handler wait for the opener, a watchdog releases it after a while.
  std::atomic<bool> returned = false;
  std::atomic<bool> watchdogFired = false;
  std::thread watchdog([&] {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!returned && std::chrono::steady_clock::now() < limit)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (returned) return;
    watchdogFired = true;
    std::ofstream(fifo) << "go\n";
  });
  OnOpenSiteClicked();
  returned = true;
  watchdog.join();
  EXPECT_FALSE(watchdogFired) << "the handler waited for the opener";

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!std::filesystem::exists(folder_ / "args") && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(ReadWholeFile(folder_ / "args"), "http://127.0.0.1:1234/|");
  if (!watchdogFired) std::ofstream(fifo) << "go\n";  // lets the opener end
}

TEST_F(OpenSiteTest, MissingOpenerIsSilent) {
  OnOpenSiteClicked();
  EXPECT_TRUE(NamesIn(folder_).empty());
}

}  // namespace
}  // namespace paperdl::test
