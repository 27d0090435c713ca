#include "textutil/events.h"

#include <cstdio>

namespace paperdl {
namespace {
UserInterface* installedInterface = nullptr;
}

UserInterface* InstallUserInterface(UserInterface* ui) {
  UserInterface* previous = installedInterface;
  installedInterface = ui;
  return previous;
}

void ProcessEvents() {
  if (installedInterface) installedInterface->ProcessEvents();
}

int ShowMessage(const Text& text, int flags, const Text& title) {
  if (installedInterface) return installedInterface->ShowMessage(text, flags, title);
  const std::string line = Utf8(title) + ": " + Utf8(text) + "\n";
  std::fputs(line.c_str(), stderr);
  return kOk;
}

}  // namespace paperdl
