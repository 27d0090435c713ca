// An in-memory stand-in for MainWindow: boxes in a map, message boxes and
// progress recorded, and "clicks" queued for the next ProcessEvents.
#pragma once

#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "app/download.h"
#include "app/site.h"

namespace paperdl::test {

class MemoryWindow : public PaperWindow {
 public:
  // A shown message box, its texts in UTF-8 so failures read well.
  struct Message {
    std::string title;
    std::string text;
    int flags;
    bool operator==(const Message&) const = default;
    friend void PrintTo(const Message& m, std::ostream* os) {
      *os << "{" << m.title << " | " << m.text << " | " << m.flags << "}";
    }
  };

  // The boxes as the window starts: the initial address, "1" and "46".
  MemoryWindow() {
    boxes_[PaperBox::kAddress] = InitialArticleAddress();
    boxes_[PaperBox::kFirstPage] = "1";
    boxes_[PaperBox::kLastPage] = "46";
    previous_ = InstallUserInterface(this);
  }
  ~MemoryWindow() override { InstallUserInterface(previous_); }

  Text BoxText(PaperBox box) override { return boxes_[box]; }
  void SetBoxText(PaperBox box, const Text& text) override { boxes_[box] = text; }

  void ShowPageProgress(int pageNumber, int, int lastPage) override {
    progress.push_back(std::to_string(pageNumber) + " / " + std::to_string(lastPage));
    if (onProgress) onProgress();
  }
  void EndPageProgress() override { ++progressEnds; }

  // Runs the clicks queued so far; clicks queued while they run wait for the next call.
  void ProcessEvents() override {
    ++processEventsCalls;
    std::vector<std::function<void()>> events;
    events.swap(pendingClicks);
    for (auto& event : events) event();
  }

  int ShowMessage(const Text& text, int flags, const Text& title) override {
    messages.push_back({Utf8(title), Utf8(text), flags});
    return kOk;
  }

  std::vector<std::function<void()>> pendingClicks;
  std::vector<Message> messages;
  std::vector<std::string> progress;
  std::function<void()> onProgress;
  int progressEnds = 0;
  int processEventsCalls = 0;

 private:
  std::map<PaperBox, Text> boxes_;
  UserInterface* previous_ = nullptr;
};

}  // namespace paperdl::test
