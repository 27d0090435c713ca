// Running the command: the download without a window, through a console
// stand-in whose boxes hold the arguments and whose message boxes are lines.
#include <map>
#include <ostream>

#include "app/command_line.h"
#include "app/download.h"
#include "app/main_window.h"
#include "app/site.h"
#include "platform/codepage.h"

namespace paperdl {
namespace {

constexpr const char* kUsage =
    "usage: paperdl                      open the window\n"
    "       paperdl [--site HOST[:PORT]] [--out DIR] [--first N] [--last N] URL\n"
    "       paperdl --window [--site HOST[:PORT]] [--out DIR]\n"
    "       paperdl --help | --version\n";

constexpr const char* kHelp =
    "Saves the page images of one online test paper: the article page at URL gives\n"
    "the title and book identifier; pages N.jpg go into DIR/<title>/.\n"
    "  --site HOST[:PORT]  the paper site, for the images and the window's addresses\n"
    "  --out DIR           where the paper's folder is made (default: current folder;\n"
    "                      with --window: the program's own folder)\n"
    "  --first N, --last N the page numbers (default 1 and 46)\n"
    "Exit status: 0 every page saved, 1 the run ended on a failed page, 2 usage error.\n";

class ConsoleWindow : public PaperWindow {
 public:
  ConsoleWindow(std::ostream& err, bool showProgress) : err_(err), showProgress_(showProgress) {}

  Text BoxText(PaperBox box) override { return boxes_[box]; }
  void SetBoxText(PaperBox box, const Text& text) override { boxes_[box] = text; }

  void ShowPageProgress(int pageNumber, int, int lastPage) override {
    if (!showProgress_) return;
    err_ << "\r" << pageNumber << " / " << lastPage << "\x1b[K" << std::flush;
    progressShown_ = true;
  }

  void EndPageProgress() override {
    if (progressShown_) err_ << "\r\x1b[K" << std::flush;
    progressShown_ = false;
  }

  void ProcessEvents() override {}

  // A message box becomes the line "title: text".
  int ShowMessage(const Text& text, int, const Text& title) override {
    err_ << Utf8(title) << ": " << Utf8(text) << "\n" << std::flush;
    return kOk;
  }

 private:
  std::ostream& err_;
  bool showProgress_;
  bool progressShown_ = false;
  std::map<PaperBox, Text> boxes_;
};

// The folder as code page 936, without a trailing separator ("/" stays).
Text BaseFolder(const std::string& utf8Folder) {
  Text folder = platform::Utf8ToCp936(utf8Folder);
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

void ApplySiteAndFolder(const CommandLine& line, const Text& defaultFolder) {
  if (line.site) SetPaperSiteHost(platform::Utf8ToCp936(*line.site));
  SetOutputBaseDirectory(line.out ? BaseFolder(*line.out) : defaultFolder);
}

int RunDownload(const CommandLine& line, std::ostream& err, bool errIsTerminal) {
  ApplySiteAndFolder(line, ".");
  ConsoleWindow window(err, errIsTerminal);
  window.SetBoxText(PaperBox::kAddress, platform::Utf8ToCp936(line.url));
  window.SetBoxText(PaperBox::kFirstPage, line.firstPage);
  window.SetBoxText(PaperBox::kLastPage, line.lastPage);
  UserInterface* previous = InstallUserInterface(&window);
  const DownloadOutcome outcome = OnDownloadClicked(window);
  InstallUserInterface(previous);
  return outcome == DownloadOutcome::kEveryPageSaved ? 0 : 1;
}

}  // namespace

int RunPaperdl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               bool errIsTerminal) {
  const CommandLine line = ParseCommandLine(args);
  switch (line.mode) {
    case CommandLine::Mode::kUsageError:
      err << "paperdl: " << line.error << "\n" << kUsage;
      return 2;
    case CommandLine::Mode::kHelp:
      out << kUsage << "\n" << kHelp;
      return 0;
    case CommandLine::Mode::kVersion:
      out << "paperdl " << PAPERDL_VERSION << "\nsite: " << PAPER_SITE_HOST << "\n";
      return 0;
    case CommandLine::Mode::kWindow:
      ApplySiteAndFolder(line, {});
      return RunMainWindow();
    case CommandLine::Mode::kDownload:
      return RunDownload(line, err, errIsTerminal);
  }
  return 2;
}

}  // namespace paperdl
