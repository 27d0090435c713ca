// A loopback paper site for the workflow tests: the article page and one
// distinct image per page number, with any reply replaceable per page.
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/script_server.h"
#include "textutil/text.h"

namespace paperdl::test {

// The article as the initial address names it; the fragment goes on the wire too.
inline constexpr const char* kArticleTarget = "/Index/article/aid/3927.html#p=1";

// An article page naming the paper (title in code page 936) and its book.
inline std::string ArticleBody(const std::string& title, const std::string& bookId) {
  return "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">"
         "<title>" +
         title +
         "</title></head><body><div class=\"book\">"
         "<img src=\"/books/" +
         bookId + "/1.jpg\"></div></body></html>";
}

// The bytes of one page image: a JPEG frame around the number, zero and high
// bytes included, a different length for every page.
inline std::string PageBytes(int pageNumber) {
  std::string bytes = "\xFF\xD8\xFF\xE0";
  bytes += "page " + std::to_string(pageNumber);
  bytes.push_back('\0');
  for (int i = 0; i < 300 + (pageNumber & 0xFF); ++i) bytes.push_back(static_cast<char>(i * 7));
  bytes += "\xFF\xD9";
  return bytes;
}

class PaperSite {
 public:
  explicit PaperSite(std::string title = Gbk("期末试卷"), std::string bookId = "1234")
      : bookId_(std::move(bookId)) {
    article_ =
        KeepAlive(HttpResponse(200, {"Content-Type: text/html"}, ArticleBody(title, bookId_)));
    server.Handle([this](const RecordedRequest& request) { return Answer(request); });
  }

  void SetArticle(Reply reply) {
    std::lock_guard lock(mutex_);
    article_ = std::move(reply);
  }
  void SetPage(int pageNumber, Reply reply) {
    std::lock_guard lock(mutex_);
    pages_[pageNumber] = std::move(reply);
  }

  // "127.0.0.1:PORT", for the site host.
  std::string Host() const { return "127.0.0.1:" + std::to_string(server.Port()); }

  std::vector<std::string> RequestLines() const {
    std::vector<std::string> lines;
    for (const RecordedRequest& request : server.Requests()) lines.push_back(request.requestLine);
    return lines;
  }

  // The request lines of a run over pages: the article, then each image.
  std::vector<std::string> ExpectedLines(const std::vector<int>& pageNumbers) const {
    std::vector<std::string> lines = {std::string("GET ") + kArticleTarget + " HTTP/1.1"};
    for (int n : pageNumbers) lines.push_back(ImageLine(n));
    return lines;
  }
  std::string ImageLine(int pageNumber) const {
    return "GET /books/" + bookId_ + "/" + std::to_string(pageNumber) + ".jpg HTTP/1.1";
  }

  ScriptServer server;

 private:
  Reply Answer(const RecordedRequest& request) {
    std::lock_guard lock(mutex_);
    if (request.target.substr(0, request.target.find('#')) == "/Index/article/aid/3927.html")
      return article_;
    const std::string prefix = "/books/" + bookId_ + "/";
    if (request.target.starts_with(prefix) && request.target.ends_with(".jpg")) {
      const std::string number =
          request.target.substr(prefix.size(), request.target.size() - prefix.size() - 4);
      const int pageNumber = std::stoi(number);
      if (auto it = pages_.find(pageNumber); it != pages_.end()) return it->second;
      return KeepAlive(HttpResponse(200, {"Content-Type: image/jpeg"}, PageBytes(pageNumber)));
    }
    return KeepAlive(HttpResponse(404, {"Content-Type: text/html"}, "<h1>Not Found</h1>"));
  }

  std::string bookId_;
  std::mutex mutex_;
  Reply article_;
  std::map<int, Reply> pages_;
};

}  // namespace paperdl::test
