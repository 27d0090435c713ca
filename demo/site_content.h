// What the demo paper site serves: one article page, a home page and page images.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace paperdl::demo {

using SharedBody = std::shared_ptr<const std::string>;

struct SiteContent {
  std::string homePage;             // GBK HTML
  std::string articlePage;          // GBK HTML holding the title and the "/books/<id>/" reference
  std::string bookId;               // cut from the article page the way the downloader cuts it
  std::map<int, SharedBody> pages;  // page number -> JPEG bytes
};

// Reads index.html, article.html and pages/<n>.jpg from the site folder.
// Returns nothing (and says why in *error) when a file is missing or unreadable.
std::optional<SiteContent> LoadSite(const std::string& root, std::string* error);

// Replaces the pages by `count` generated JPEG-framed bodies of `bytes` bytes each,
// all sharing one buffer, for timing downloads of a known size.
void UseGeneratedPages(SiteContent* site, int count, std::size_t bytes);

// The bytes after the first `start` up to the next `end`; empty when either is missing.
std::string TextBetweenMarkers(const std::string& text, const std::string& start,
                               const std::string& end);

}  // namespace paperdl::demo
