#include "site_content.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace paperdl::demo {
namespace {

namespace fs = std::filesystem;

std::optional<std::string> ReadWholeFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return bytes.str();
}

// "12.jpg" -> 12; anything else (not digits, leading zero, other extension) -> nothing.
std::optional<int> PageNumberOf(const std::string& fileName) {
  const std::string extension = ".jpg";
  if (fileName.size() <= extension.size() || fileName.size() > extension.size() + 6) return {};
  if (fileName.compare(fileName.size() - extension.size(), extension.size(), extension) != 0) {
    return {};
  }
  const std::string digits = fileName.substr(0, fileName.size() - extension.size());
  if (digits[0] == '0') return {};
  int number = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return {};
    number = number * 10 + (c - '0');
  }
  return number;
}

bool LoadPages(const fs::path& folder, SiteContent* site, std::string* error) {
  std::error_code failure;
  for (const auto& entry : fs::directory_iterator(folder, failure)) {
    const auto number = PageNumberOf(entry.path().filename().string());
    if (!number || !entry.is_regular_file()) continue;
    auto bytes = ReadWholeFile(entry.path());
    if (!bytes) {
      *error = "cannot read " + entry.path().string();
      return false;
    }
    site->pages[*number] = std::make_shared<const std::string>(std::move(*bytes));
  }
  if (failure) {
    *error = "cannot list " + folder.string() + ": " + failure.message();
    return false;
  }
  if (site->pages.empty()) {
    *error = "no page images in " + folder.string();
    return false;
  }
  return true;
}

}  // namespace

std::string TextBetweenMarkers(const std::string& text, const std::string& start,
                               const std::string& end) {
  const auto from = text.find(start);
  if (from == std::string::npos) return {};
  const auto begin = from + start.size();
  const auto to = text.find(end, begin);
  if (to == std::string::npos) return {};
  return text.substr(begin, to - begin);
}

std::optional<SiteContent> LoadSite(const std::string& root, std::string* error) {
  const fs::path folder(root);
  SiteContent site;
  for (auto [name, target] :
       {std::pair{"index.html", &site.homePage}, std::pair{"article.html", &site.articlePage}}) {
    auto bytes = ReadWholeFile(folder / name);
    if (!bytes) {
      *error = "cannot read " + (folder / name).string();
      return std::nullopt;
    }
    *target = std::move(*bytes);
  }
  site.bookId = TextBetweenMarkers(site.articlePage, "/books/", "/");
  if (site.bookId.empty()) {
    *error = "article.html has no \"/books/<id>/\" reference";
    return std::nullopt;
  }
  if (!LoadPages(folder / "pages", &site, error)) return std::nullopt;
  return site;
}

void UseGeneratedPages(SiteContent* site, int count, std::size_t bytes) {
  // Start and end markers of a JPEG around a repeating filler, so a viewer
  // recognises the type and a byte-for-byte comparison catches any slip.
  static constexpr unsigned char kStart[] = {0xFF, 0xD8, 0xFF, 0xE0};
  static constexpr unsigned char kEnd[] = {0xFF, 0xD9};
  std::string body(bytes, '\0');
  for (std::size_t i = 0; i < bytes; ++i) body[i] = static_cast<char>('a' + i % 23);
  for (std::size_t i = 0; i < sizeof kStart && i < bytes; ++i)
    body[i] = static_cast<char>(kStart[i]);
  for (std::size_t i = 0; i < sizeof kEnd && sizeof kStart + i < bytes; ++i) {
    body[bytes - sizeof kEnd + i] = static_cast<char>(kEnd[i]);
  }
  const auto shared = std::make_shared<const std::string>(std::move(body));
  site->pages.clear();
  for (int n = 1; n <= count; ++n) site->pages[n] = shared;
}

}  // namespace paperdl::demo
