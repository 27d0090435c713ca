// Toolkit set-up, modal message boxes and the event pump over FLTK.
#include <FL/Fl.H>
#include <FL/fl_ask.H>
#include <FL/x.H>

#include <cstdlib>
#include <string>

#include "platform/codepage.h"
#include "platform/gui.h"

namespace platform {
namespace {

// FLTK 1.3 has no glyph fallback: the default "sans" draws every Chinese
// character as a box, so the standard face is mapped to a CJK font.
constexpr const char* kCjkFontName = " WenQuanYi Zen Hei";

enum ButtonSet { kOkOnly, kOkCancel, kAbortRetryIgnore, kYesNoCancel, kYesNo, kRetryCancel };

// FLTK lays buttons out right to left: b0 on the right (Escape when present),
// b1 in the middle (Enter), b2 on the left, so each set reads as on Windows.
struct ButtonLayout {
  const char* labels[3];  // UTF-8, nullptr for no button
  int results[3];
  int closeResult;  // the window closed without a button
};

ButtonLayout LayoutFor(int flags) {
  switch (flags & 0xF) {
    case kOkCancel:
      return {{"取消", "确定", nullptr}, {1, 0, 0}, 1};
    case kAbortRetryIgnore:
      return {{"忽略", "重试", "中止"}, {4, 3, 2}, 2};
    case kYesNoCancel:
      return {{"取消", "否", "是"}, {1, 6, 5}, 1};
    case kYesNo:
      return {{"否", "是", nullptr}, {6, 5, 0}, 6};
    case kRetryCancel:
      return {{"取消", "重试", nullptr}, {1, 3, 0}, 1};
    default:
      return {{nullptr, "确定", nullptr}, {0, 0, 0}, 0};
  }
}

}  // namespace

bool InitGui() {
  const char* display = std::getenv("DISPLAY");
  if (!display || !*display) return false;
  Display* connection = XOpenDisplay(nullptr);
  if (!connection) return false;
  fl_open_display(connection);
  Fl::set_font(FL_HELVETICA, kCjkFontName);
  fl_message_font(FL_HELVETICA, FL_NORMAL_SIZE);
  return true;
}

void EndGui() {
  if (fl_display) fl_close_display();
}

int ShowMessageBox(std::string_view text, int flags, std::string_view title) {
  const ButtonLayout layout = LayoutFor(flags);
  const std::string utf8Title = Cp936ToUtf8(title);
  const std::string utf8Text = Cp936ToUtf8(text);
  fl_message_title(utf8Title.c_str());
  // A box with one button informs; the others ask.
  fl_message_icon()->label(layout.labels[0] ? "?" : "i");
  const int pressed =
      fl_choice_n("%s", layout.labels[0], layout.labels[1], layout.labels[2], utf8Text.c_str());
  if (pressed < 0 || pressed > 2) return layout.closeResult;
  return layout.results[pressed];
}

void CheckEvents() {
  Fl::check();
}

}  // namespace platform

#if defined(__SANITIZE_ADDRESS__)
// Fontconfig keeps its font caches for the life of the process, and FLTK's Xft
// fonts hold on to them, so they are never freed: not leaks of ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
#endif
