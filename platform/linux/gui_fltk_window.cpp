// The top-level window over FLTK: controls at fixed places, click callbacks,
// whole-text reads and writes (code page 936 outside, UTF-8 inside).
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Progress.H>

#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/gui.h"

namespace platform {
namespace {

// Captions are sized for the 12-pixel font the layout was drawn with.
constexpr Fl_Fontsize kLabelSize = 12;
constexpr Fl_Fontsize kProgressSize = 10;

// Closing the window ends the program; Escape, unlike FLTK's default, does not.
void OnWindowCallback(Fl_Widget* widget, void*) {
  if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
  widget->hide();
}

void OnButtonCallback(Fl_Widget*, void* data) {
  const ClickHandler& handler = *static_cast<const ClickHandler*>(data);
  if (handler) handler();
}

}  // namespace

struct GuiWindow::Impl {
  std::unique_ptr<Fl_Double_Window> window;
  std::vector<Fl_Widget*> controls;  // owned by window; the index is the ControlId
  std::vector<std::unique_ptr<ClickHandler>> handlers;
  std::string xClass;
  int outerWidth = 0;
  int outerHeight = 0;

  ControlId Add(Fl_Widget* widget) {
    window->add(widget);
    controls.push_back(widget);
    return static_cast<ControlId>(controls.size()) - 1;
  }

  Fl_Widget* Find(ControlId id) const {
    if (id < 0 || id >= static_cast<ControlId>(controls.size())) return nullptr;
    return controls[static_cast<size_t>(id)];
  }
};

GuiWindow::GuiWindow(std::string_view title, int left, int top, int outerWidth, int outerHeight,
                     std::string_view xClass)
    : impl_(std::make_unique<Impl>()) {
  impl_->outerWidth = outerWidth;
  impl_->outerHeight = outerHeight;
  impl_->xClass = std::string(xClass);
  impl_->window = std::make_unique<Fl_Double_Window>(left, top, outerWidth, outerHeight);
  impl_->window->end();
  impl_->window->copy_label(Cp936ToUtf8(title).c_str());
  impl_->window->xclass(impl_->xClass.c_str());
  impl_->window->callback(OnWindowCallback);
}

GuiWindow::~GuiWindow() = default;

ControlId GuiWindow::AddLabel(ControlPlace place, std::string_view text) {
  auto* box = new Fl_Box(place.left, place.top, place.width, place.height);
  box->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
  box->labelsize(kLabelSize);
  box->copy_label(Cp936ToUtf8(text).c_str());
  return impl_->Add(box);
}

ControlId GuiWindow::AddEditBox(ControlPlace place, std::string_view text) {
  auto* input = new Fl_Input(place.left, place.top, place.width, place.height);
  input->value(Cp936ToUtf8(text).c_str());
  return impl_->Add(input);
}

ControlId GuiWindow::AddButton(ControlPlace place, std::string_view text, ClickHandler onClick) {
  auto* button = new Fl_Button(place.left, place.top, place.width, place.height);
  button->copy_label(Cp936ToUtf8(text).c_str());
  impl_->handlers.push_back(std::make_unique<ClickHandler>(std::move(onClick)));
  button->callback(OnButtonCallback, impl_->handlers.back().get());
  return impl_->Add(button);
}

ControlId GuiWindow::AddProgress(ControlPlace place) {
  auto* progress = new Fl_Progress(place.left, place.top, place.width, place.height);
  progress->minimum(0);
  progress->maximum(1);
  progress->labelsize(kProgressSize);
  progress->selection_color(fl_rgb_color(120, 170, 235));
  progress->labelcolor(FL_BLACK);
  progress->hide();
  return impl_->Add(progress);
}

std::string GuiWindow::ControlText(ControlId id) const {
  Fl_Widget* widget = impl_->Find(id);
  if (!widget) return {};
  if (auto* input = dynamic_cast<Fl_Input*>(widget)) return Utf8ToCp936(input->value());
  return widget->label() ? Utf8ToCp936(widget->label()) : std::string();
}

void GuiWindow::SetControlText(ControlId id, std::string_view text) {
  Fl_Widget* widget = impl_->Find(id);
  if (!widget) return;
  if (auto* input = dynamic_cast<Fl_Input*>(widget)) {
    input->value(Cp936ToUtf8(text).c_str());
  } else {
    widget->copy_label(Cp936ToUtf8(text).c_str());
    impl_->window->redraw();  // the old caption may reach outside the new one
  }
}

void GuiWindow::SetProgress(ControlId id, double fraction, std::string_view caption) {
  auto* progress = dynamic_cast<Fl_Progress*>(impl_->Find(id));
  if (!progress) return;
  progress->value(static_cast<float>(fraction < 0 ? 0 : fraction > 1 ? 1 : fraction));
  progress->copy_label(Cp936ToUtf8(caption).c_str());
  progress->show();
  progress->redraw();
  Fl::flush();  // draws without reading events: clicks wait in the queue
}

void GuiWindow::HideProgress(ControlId id) {
  auto* progress = dynamic_cast<Fl_Progress*>(impl_->Find(id));
  if (!progress) return;
  progress->hide();
  impl_->window->redraw();
  Fl::flush();
}

void GuiWindow::Show() {
  Fl_Double_Window& window = *impl_->window;
  window.show();
  // The frame is known only once the window is mapped; without a window manager
  // there is none and the client area keeps the outer size.
  for (int i = 0; i < 40 && window.shown() && !window.visible(); ++i) Fl::wait(0.05);
  const int frameWidth = window.decorated_w() - window.w();
  const int frameHeight = window.decorated_h() - window.h();
  if (frameWidth > 0 || frameHeight > 0) {
    window.size(impl_->outerWidth - frameWidth, impl_->outerHeight - frameHeight);
  }
}

void GuiWindow::RunUntilClosed() {
  while (impl_->window->shown()) Fl::wait();
}

}  // namespace platform
