// The download workflow through the in-memory window against a loopback site.
#include <gtest/gtest.h>

#include "app/download.h"
#include "tests/app/download_fixture.h"

namespace paperdl::test {
namespace {

TEST_F(DownloadTest, InitialBoxesSaveAll46PagesInOrder) {
  MemoryWindow window;
  EXPECT_EQ(OnDownloadClicked(window), DownloadOutcome::kEveryPageSaved);

  ExpectPagesSaved(PaperFolder(), PageRange(1, 46));
  EXPECT_EQ(site_.RequestLines(), site_.ExpectedLines(PageRange(1, 46)));
  for (const RecordedRequest& request : site_.server.Requests())
    EXPECT_EQ(request.Header("Host"), site_.Host()) << request.requestLine;
  EXPECT_EQ(window.messages, OkOnly());
  EXPECT_EQ(Utf8(g_paperTitle), "期末试卷");
  EXPECT_EQ(g_bookId, "1234");
}

struct PageBoxCase {
  const char* name;
  const char* firstBox;  // UTF-8
  const char* lastBox;
  std::vector<int> pages;
};

const PageBoxCase kPageBoxCases[] = {
    {"first above last runs the body once", "5", "3", {5}},
    {"first equal to last", "4", "4", {4}},
    {"digits then letters", "12abc", "13", {12, 13}},
    {"leading blank", " 7", "8", {7, 8}},
    {"negative first page", "-2", "0", {-2, -1, 0}},
    {"full-width digits", "１２", "１３", {12, 13}},
    {"empty boxes read as 0", "", "", {0}},
    {"non-numeric reads as 0", "abc", "x", {0}},
};

TEST_F(DownloadTest, PageBoxesAreReadWithToInt) {
  for (const PageBoxCase& c : kPageBoxCases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(PaperFolder());
    const size_t requestsBefore = site_.server.Requests().size();
    MemoryWindow window;
    window.SetBoxText(PaperBox::kFirstPage, Gbk(c.firstBox));
    window.SetBoxText(PaperBox::kLastPage, Gbk(c.lastBox));

    EXPECT_EQ(OnDownloadClicked(window), DownloadOutcome::kEveryPageSaved);
    ExpectPagesSaved(PaperFolder(), c.pages);
    const std::vector<std::string> lines = site_.RequestLines();
    EXPECT_EQ(std::vector<std::string>(lines.begin() + requestsBefore, lines.end()),
              site_.ExpectedLines(c.pages));
    EXPECT_EQ(window.messages, OkOnly());
  }
}

TEST_F(DownloadTest, ExistingFolderIsReusedAndPagesOverwritten) {
  std::filesystem::create_directory(PaperFolder());
  WriteWholeFile(PaperFolder() / "2.jpg", "an older page 2");
  WriteWholeFile(PaperFolder() / "notes.txt", "kept");
  MemoryWindow window;
  window.SetBoxText(PaperBox::kLastPage, "3");

  EXPECT_EQ(OnDownloadClicked(window), DownloadOutcome::kEveryPageSaved);
  EXPECT_EQ(NamesIn(PaperFolder()),
            (std::vector<std::string>{"1.jpg", "2.jpg", "3.jpg", "notes.txt"}));
  EXPECT_EQ(ReadWholeFile(PaperFolder() / "2.jpg"), PageBytes(2));
  EXPECT_EQ(ReadWholeFile(PaperFolder() / "notes.txt"), "kept");
}

TEST_F(DownloadTest, FailedThirdWriteKeepsEarlierPagesAndEndsTheLoop) {
  // A folder where 3.jpg belongs: the file cannot replace it.
  std::filesystem::create_directories(PaperFolder() / "3.jpg");
  MemoryWindow window;

  EXPECT_EQ(OnDownloadClicked(window), DownloadOutcome::kFailedPage);
  EXPECT_EQ(NamesIn(PaperFolder()), (std::vector<std::string>{"1.jpg", "2.jpg", "3.jpg"}));
  EXPECT_EQ(ReadWholeFile(PaperFolder() / "2.jpg"), PageBytes(2));
  EXPECT_TRUE(NamesIn(PaperFolder() / "3.jpg").empty()) << "no half-written file is left";
  EXPECT_EQ(site_.RequestLines(), site_.ExpectedLines({1, 2, 3}));
  EXPECT_EQ(window.messages, FailedThenOk(3));
}

TEST_F(DownloadTest, ResetDuringArticleRequestLeavesPagesZeroToZero) {
  MemoryWindow window;
  window.pendingClicks.push_back([&] { OnResetClicked(window); });

  EXPECT_EQ(OnDownloadClicked(window), DownloadOutcome::kEveryPageSaved);
  EXPECT_GT(window.processEventsCalls, 0);
  EXPECT_EQ(window.BoxText(PaperBox::kAddress), "");
  ExpectPagesSaved(PaperFolder(), {0});
  EXPECT_EQ(site_.RequestLines(), site_.ExpectedLines({0}));
  EXPECT_EQ(window.messages, OkOnly());
}

TEST_F(DownloadTest, DownloadClickedDuringArticleRequestRunsNestedToTheEnd) {
  MemoryWindow window;
  window.SetBoxText(PaperBox::kLastPage, "2");
  window.pendingClicks.push_back([&] { OnDownloadClicked(window); });

  EXPECT_EQ(OnDownloadClicked(window), DownloadOutcome::kEveryPageSaved);
  std::vector<std::string> expected = site_.ExpectedLines({});
  for (const std::string& line : site_.ExpectedLines({1, 2})) expected.push_back(line);
  for (int n : {1, 2}) expected.push_back(site_.ImageLine(n));
  EXPECT_EQ(site_.RequestLines(), expected);
  EXPECT_EQ(window.messages,
            (std::vector<MemoryWindow::Message>{{"ok", "ok", 0}, {"ok", "ok", 0}}));
}

TEST_F(DownloadTest, ImageLoopShowsProgressAndLeavesClicksQueued) {
  MemoryWindow window;
  window.SetBoxText(PaperBox::kLastPage, "3");
  // A reset clicked while page 1 is fetched must wait until the run is over.
  window.onProgress = [&] {
    if (window.pendingClicks.empty())
      window.pendingClicks.push_back([&] { OnResetClicked(window); });
  };

  EXPECT_EQ(OnDownloadClicked(window), DownloadOutcome::kEveryPageSaved);
  EXPECT_EQ(window.progress, (std::vector<std::string>{"1 / 3", "2 / 3", "3 / 3"}));
  EXPECT_EQ(window.progressEnds, 1);
  EXPECT_EQ(window.pendingClicks.size(), 1u);
  EXPECT_EQ(window.BoxText(PaperBox::kLastPage), "3");
}

TEST_F(DownloadTest, ResetEmptiesTheBoxesAndKeepsThePaper) {
  MemoryWindow window;
  window.SetBoxText(PaperBox::kLastPage, "1");
  OnDownloadClicked(window);
  OnResetClicked(window);
  for (PaperBox box : {PaperBox::kAddress, PaperBox::kFirstPage, PaperBox::kLastPage})
    EXPECT_EQ(window.BoxText(box), "");
  EXPECT_EQ(g_bookId, "1234");
  OnProgramExit();
  EXPECT_EQ(g_paperTitle, "");
  EXPECT_EQ(g_bookId, "");
}

}  // namespace
}  // namespace paperdl::test
