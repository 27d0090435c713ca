// A download test: a loopback paper site as the site host and a fresh base
// folder, both put back afterwards; helpers to look at what was written.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/site.h"
#include "tests/app/memory_window.h"
#include "tests/app/paper_site.h"

namespace paperdl::test {

inline std::vector<int> PageRange(int first, int last) {
  std::vector<int> pages;
  for (int n = first; n <= last; ++n) pages.push_back(n);
  return pages;
}

inline std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

inline void WriteWholeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// The names in a folder, sorted; empty when there is no such folder.
inline std::vector<std::string> NamesIn(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

inline std::vector<std::string> JpegNames(const std::vector<int>& pages) {
  std::vector<std::string> names;
  for (int n : pages) names.push_back(std::to_string(n) + ".jpg");
  std::sort(names.begin(), names.end());
  return names;
}

class DownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/paperdl-download-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    base_ = pattern;
    SetPaperSiteHost(site_.Host());
    SetOutputBaseDirectory(base_.string());
  }

  void TearDown() override {
    SetPaperSiteHost(PAPER_SITE_HOST);
    SetOutputBaseDirectory({});
    site_.server.Stop();
    std::error_code error;
    std::filesystem::remove_all(base_, error);
  }

  // The folder the default title names, as it appears on disk (UTF-8).
  std::filesystem::path PaperFolder() const { return base_ / "期末试卷"; }

  // Every page of pages is in folder with its exact bytes, and nothing else is.
  void ExpectPagesSaved(const std::filesystem::path& folder, const std::vector<int>& pages) {
    EXPECT_EQ(NamesIn(folder), JpegNames(pages));
    for (int n : pages) {
      // Compared as a whole: a dump of two images would say nothing more.
      EXPECT_TRUE(ReadWholeFile(folder / (std::to_string(n) + ".jpg")) == PageBytes(n))
          << "page " << n << " differs from what the site sent";
    }
  }

  std::vector<MemoryWindow::Message> OkOnly() const { return {{"ok", "ok", 0}}; }
  std::vector<MemoryWindow::Message> FailedThenOk(int pageNumber) const {
    return {{std::to_string(pageNumber) + "下载失败", "跳出循环", 0}, {"ok", "ok", 0}};
  }

  PaperSite site_;
  std::filesystem::path base_;
};

}  // namespace paperdl::test
