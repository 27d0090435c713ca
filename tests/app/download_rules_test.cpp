// Where the download refuses to save what did not arrive or does not fit:
// broken pages, a failed article request, titles that are no single folder,
// and the largest last page.
#include <gtest/gtest.h>

#include <climits>

#include "app/download.h"
#include "tests/app/download_fixture.h"

namespace paperdl::test {
namespace {

struct BrokenPageCase {
  const char* name;
  Reply reply;
};

const BrokenPageCase kBrokenPages[] = {
    {"empty body", KeepAlive(HttpResponse(200, {"Content-Type: image/jpeg"}, ""))},
    {"not found page", KeepAlive(HttpResponse(404, {"Content-Type: text/html"}, "<h1>gone</h1>"))},
    {"server error", KeepAlive(HttpResponse(500, {}, "oops"))},
    {"body shorter than Content-Length",
     CloseAfter("HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n" + PageBytes(3).substr(0, 100))},
    {"reset in the body",
     ResetAfter("HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n" + PageBytes(3).substr(0, 100))},
    {"closed before any byte", CloseAfter("")},
};

TEST_F(DownloadTest, PageThatDidNotArriveWholeIsNotSaved) {
  for (const BrokenPageCase& c : kBrokenPages) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(PaperFolder());
    std::filesystem::create_directory(PaperFolder());
    WriteWholeFile(PaperFolder() / "3.jpg", "the page 3 saved before");
    site_.SetPage(3, c.reply);
    MemoryWindow window;
    window.SetBoxText(PaperBox::kLastPage, "5");

    EXPECT_EQ(OnDownloadClicked(window), DownloadOutcome::kFailedPage);
    EXPECT_EQ(NamesIn(PaperFolder()), (std::vector<std::string>{"1.jpg", "2.jpg", "3.jpg"}));
    EXPECT_EQ(ReadWholeFile(PaperFolder() / "3.jpg"), "the page 3 saved before");
    EXPECT_EQ(window.messages, FailedThenOk(3));
  }
}

TEST_F(DownloadTest, FailedArticleRequestMakesNoFolder) {
  const Reply failures[] = {
      // A title in the error page must not name a folder.
      KeepAlive(HttpResponse(404, {}, ArticleBody("Not Found", "1234"))),
      KeepAlive(HttpResponse(503, {}, ArticleBody("busy", "1234"))),
      CloseAfter(""),
  };
  for (const Reply& reply : failures) {
    SCOPED_TRACE(reply.bytes.substr(0, 20));
    site_.SetArticle(reply);
    const size_t requestsBefore = site_.server.Requests().size();
    MemoryWindow window;
    window.SetBoxText(PaperBox::kFirstPage, "7");

    EXPECT_EQ(OnDownloadClicked(window), DownloadOutcome::kFailedPage);
    EXPECT_TRUE(NamesIn(base_).empty());
    EXPECT_EQ(window.messages, FailedThenOk(7));
    const std::vector<std::string> lines = site_.RequestLines();
    EXPECT_EQ(lines.size(), requestsBefore + 1) << "no image is requested";
  }
}

TEST_F(DownloadTest, UnreachableSiteAndEmptyAddressFailOnTheFirstPage) {
  for (const char* address : {"", "http://127.0.0.1:1/Index/article/aid/3927.html"}) {
    SCOPED_TRACE(address);
    MemoryWindow window;
    window.SetBoxText(PaperBox::kAddress, address);
    window.SetBoxText(PaperBox::kFirstPage, "");
    EXPECT_EQ(OnDownloadClicked(window), DownloadOutcome::kFailedPage);
    EXPECT_EQ(window.messages, FailedThenOk(0));
    EXPECT_TRUE(NamesIn(base_).empty());
  }
}

struct TitleCase {
  const char* name;
  std::string title;  // code page 936
};

const TitleCase kBadTitles[] = {
    {"slash", "a/b"},
    {"backslash", "a\\b"},
    {"leading slash", "/etc"},
    {"parent", ".."},
    {"current", "."},
    {"colon", "a:b"},
    {"star", "a*b"},
    {"question mark", "a?b"},
    {"double quote", "a\"b"},
    {"less than", "a<b"},
    {"greater than", "a>b"},
    {"bar", "a|b"},
    {"line break", "Paper\nA"},
    {"tab", "Paper\tA"},
    {"backslash after a Chinese character", Gbk("试卷") + "\\x"},
};

TEST_F(DownloadTest, TitleThatIsNoSingleFolderNameWritesNothing) {
  for (const TitleCase& c : kBadTitles) {
    SCOPED_TRACE(c.name);
    site_.SetArticle(KeepAlive(HttpResponse(200, {}, ArticleBody(c.title, "1234"))));
    const size_t requestsBefore = site_.server.Requests().size();
    MemoryWindow window;
    window.SetBoxText(PaperBox::kLastPage, "2");

    EXPECT_EQ(OnDownloadClicked(window), DownloadOutcome::kFailedPage);
    EXPECT_TRUE(NamesIn(base_).empty());
    EXPECT_EQ(window.messages, FailedThenOk(1));
    EXPECT_EQ(site_.RequestLines().size(), requestsBefore + 1);
  }
}

TEST_F(DownloadTest, TrailBytesThatLookLikeSeparatorsStayInTheFolderName) {
  // 乗 is 0x81 0x5C and 亅 ends in 0x7C: neither a backslash nor a bar.
  const Text title = Gbk("乗亅 Paper A");
  site_.SetArticle(KeepAlive(HttpResponse(200, {}, ArticleBody(title, "1234"))));
  MemoryWindow window;
  window.SetBoxText(PaperBox::kLastPage, "2");

  EXPECT_EQ(OnDownloadClicked(window), DownloadOutcome::kEveryPageSaved);
  EXPECT_EQ(NamesIn(base_), std::vector<std::string>{"乗亅 Paper A"});
  ExpectPagesSaved(base_ / "乗亅 Paper A", {1, 2});
}

TEST_F(DownloadTest, EmptyTitleSavesIntoTheBaseFolder) {
  site_.SetArticle(KeepAlive(HttpResponse(200, {}, "<html>/books/1234/ no title here</html>")));
  MemoryWindow window;
  window.SetBoxText(PaperBox::kLastPage, "2");

  EXPECT_EQ(OnDownloadClicked(window), DownloadOutcome::kEveryPageSaved);
  ExpectPagesSaved(base_, {1, 2});
  EXPECT_EQ(window.messages, OkOnly());
}

TEST_F(DownloadTest, LargestLastPageEndsAfterThatPage) {
  const std::vector<int> runs[] = {{INT_MAX - 1, INT_MAX}, {INT_MAX}};
  for (const std::vector<int>& pages : runs) {
    SCOPED_TRACE(pages.front());
    std::filesystem::remove_all(PaperFolder());
    const size_t requestsBefore = site_.server.Requests().size();
    MemoryWindow window;
    window.SetBoxText(PaperBox::kFirstPage, ToText(pages.front()));
    window.SetBoxText(PaperBox::kLastPage, "2147483647");

    EXPECT_EQ(OnDownloadClicked(window), DownloadOutcome::kEveryPageSaved);
    ExpectPagesSaved(PaperFolder(), pages);
    const std::vector<std::string> lines = site_.RequestLines();
    EXPECT_EQ(std::vector<std::string>(lines.begin() + requestsBefore, lines.end()),
              site_.ExpectedLines(pages));
  }
}

}  // namespace
}  // namespace paperdl::test
