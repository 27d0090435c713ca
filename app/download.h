// The paper download: the article page for title and book identifier, then one
// image per page into the folder the title names.
#pragma once

#include "textutil/events.h"
#include "textutil/text.h"

namespace paperdl {

// The three edit boxes of the window: 编辑框1, 编辑框2 and 编辑框3.
enum class PaperBox { kAddress, kFirstPage, kLastPage };

// What the workflow needs of a window: its boxes, a progress display, and (as a
// UserInterface, installed while it runs) message boxes and the event pump.
class PaperWindow : public UserInterface {
 public:
  // The whole content of a box; an empty box reads as empty text.
  virtual Text BoxText(PaperBox box) = 0;
  virtual void SetBoxText(PaperBox box, const Text& text) = 0;
  // The image loop is fetching pageNumber of firstPage..lastPage. Shown without
  // handling input: clicks made meanwhile wait until the run ends.
  virtual void ShowPageProgress(int pageNumber, int firstPage, int lastPage) = 0;
  virtual void EndPageProgress() = 0;
};

// The last paper's title and book identifier, replaced by every download.
extern Text g_paperTitle;
extern Text g_bookId;

// Fetches the article page in the address box and cuts g_paperTitle and
// g_bookId out of it. True when the article request got a 2xx status.
bool LoadPaperInfo(PaperWindow& window);

enum class DownloadOutcome { kEveryPageSaved, kFailedPage };

// The 下载 button: the whole download, ending with the "ok" box.
DownloadOutcome OnDownloadClicked(PaperWindow& window);
// The 重置 button: empties the three boxes.
void OnResetClicked(PaperWindow& window);
// The 打开网址 button: the site's home page in the default browser.
void OnOpenSiteClicked();
// Registered as exit handler: releases the program-wide values.
void OnProgramExit();

}  // namespace paperdl
