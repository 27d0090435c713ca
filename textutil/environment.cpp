// The program's folder, file writing and the code-page edges of Text.
#include <array>
#include <string_view>

#include "platform/codepage.h"
#include "platform/files.h"
#include "textutil/text.h"

namespace paperdl {

Text Gbk(std::string_view utf8) {
  return platform::Utf8ToCp936(utf8);
}

std::string Utf8(const Text& text) {
  return platform::Cp936ToUtf8(text);
}

Text RunDirectory() {
  const Text path = platform::ProgramFilePath();
  const auto slash = path.rfind('/');
  return slash == Text::npos ? Text{} : path.substr(0, slash);
}

bool WriteBytesToFile(const Text& path, std::initializer_list<const Bytes*> data) {
  if (path.empty()) return false;
  std::vector<std::string_view> pieces;
  pieces.reserve(data.size());
  for (const Bytes* piece : data) {
    if (piece && !piece->empty())
      pieces.emplace_back(reinterpret_cast<const char*>(piece->data()), piece->size());
  }
  return platform::ReplaceFileContents(path, pieces);
}

}  // namespace paperdl
