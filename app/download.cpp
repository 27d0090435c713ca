#include "app/download.h"

#include "app/page_checks.h"
#include "app/paths.h"
#include "app/site.h"
#include "platform/shell.h"
#include "textutil/markers.h"
#include "winhttp/winhttp_visit.h"
#include "wininet/wininet_visit.h"

namespace paperdl {

Text g_paperTitle;
Text g_bookId;

namespace {

void ShowPageFailure(int pageNumber) {
  ShowMessage(Gbk("跳出循环"), 0, ToText(pageNumber) + Gbk("下载失败"));
}

// One page: fetched, checked and written. False when it did not arrive whole or
// could not be written; an existing file of that page then stays as it was.
bool SavePage(const Text& folder, int pageNumber) {
  const Text imageAddress = ImageAddressPrefix() + g_bookId + "/" + ToText(pageNumber) + ".jpg";
  const Text filePath = folder + "/" + FileNameOf(imageAddress, true);
  Text responseHeaders;
  const Bytes data = WinInetVisit(imageAddress, 0, {}, nullptr, nullptr, {}, &responseHeaders);
  return PageArrivedWhole(data, responseHeaders) && WriteBytesToFile(filePath, data);
}

// The page loop: its body runs once before the first comparison with lastPage,
// and the comparison comes before the increment, so lastPage INT_MAX ends it.
bool SavePages(PaperWindow& window, const Text& title, int firstPage, int lastPage) {
  const Text folder = OutputBaseDirectory() + "/" + title;
  EnsureDirectory(folder);
  for (int pageNumber = firstPage;; ++pageNumber) {
    window.ShowPageProgress(pageNumber, firstPage, lastPage);
    if (!SavePage(folder, pageNumber)) {
      window.EndPageProgress();
      ShowPageFailure(pageNumber);
      return false;
    }
    if (pageNumber >= lastPage) break;
  }
  window.EndPageProgress();
  return true;
}

}  // namespace

bool LoadPaperInfo(PaperWindow& window) {
  const Text address = window.BoxText(PaperBox::kAddress);
  Text statusText;
  const Text page = WinHttpVisit(address, 0, {}, nullptr, nullptr, {}, nullptr, false, {}, {}, {},
                                 {}, {}, 0, nullptr, &statusText);
  g_paperTitle = TextBetween(page, "<title>", "</");
  g_bookId = TextBetween(page, "/books/", "/");
  return IsSuccessStatus(statusText);
}

DownloadOutcome OnDownloadClicked(PaperWindow& window) {
  const bool articleArrived = LoadPaperInfo(window);
  const int firstPage = ToInt(window.BoxText(PaperBox::kFirstPage));
  const int lastPage = ToInt(window.BoxText(PaperBox::kLastPage));
  const Text title = g_paperTitle;
  bool saved = false;
  if (articleArrived && IsSingleFolderName(title)) {
    saved = SavePages(window, title, firstPage, lastPage);
  } else {
    // No article, or a title that is no single folder name: nothing is made or written.
    ShowPageFailure(firstPage);
  }
  ShowMessage("ok", 0, "ok");
  return saved ? DownloadOutcome::kEveryPageSaved : DownloadOutcome::kFailedPage;
}

void OnResetClicked(PaperWindow& window) {
  window.SetBoxText(PaperBox::kAddress, {});
  window.SetBoxText(PaperBox::kFirstPage, {});
  window.SetBoxText(PaperBox::kLastPage, {});
}

void OnOpenSiteClicked() {
  // Whether a browser opened is not looked at.
  platform::OpenWithDefaultHandler(HomePageAddress());
}

void OnProgramExit() {
  g_paperTitle.clear();
  g_paperTitle.shrink_to_fit();
  g_bookId.clear();
  g_bookId.shrink_to_fit();
}

}  // namespace paperdl
