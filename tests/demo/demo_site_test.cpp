// The demo site serves the sample paper as the paper site does, byte for byte.
#include <gtest/gtest.h>
#include <iconv.h>

#include "site_process.h"

namespace paperdl::demo_test {
namespace {

const std::string kSite = PAPERDL_DEMO_SITE_DIR;
const std::string kBook = "/books/8f3a2c61/";
const std::string kNotFound =
    "<html><head><title>404 Not Found</title></head><body>404 Not Found</body></html>\n";

std::string Between(const std::string& text, const std::string& start, const std::string& end) {
  const auto from = text.find(start);
  if (from == std::string::npos) return {};
  const auto to = text.find(end, from + start.size());
  if (to == std::string::npos) return {};
  return text.substr(from + start.size(), to - from - start.size());
}

std::string GbkToUtf8(std::string gbk) {
  iconv_t convert = iconv_open("UTF-8", "GBK");
  std::string out(gbk.size() * 2, '\0');
  char* in = gbk.data();
  char* to = out.data();
  size_t inLeft = gbk.size();
  size_t outLeft = out.size();
  const bool ok = iconv(convert, &in, &inLeft, &to, &outLeft) != static_cast<size_t>(-1);
  iconv_close(convert);
  return ok ? out.substr(0, out.size() - outLeft) : "(not GBK)";
}

class DemoSiteTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_GT(site_.port(), 0) << "the site printed no port"; }
  SiteProcess site_;
};

TEST_F(DemoSiteTest, RepliesWithExactBytes) {
  struct Case {
    const char* name;
    std::string target;
    std::string statusLine;
    std::string type;
    std::string body;
  };
  const std::string html = "text/html; charset=gbk";
  const Case cases[] = {
      {"home page", "/", "HTTP/1.1 200 OK", html, ReadFileBytes(kSite + "/index.html")},
      {"article page", "/Index/article/aid/3927.html", "HTTP/1.1 200 OK", html,
       ReadFileBytes(kSite + "/article.html")},
      {"first page image", kBook + "1.jpg", "HTTP/1.1 200 OK", "image/jpeg",
       ReadFileBytes(kSite + "/pages/1.jpg")},
      {"last page image", kBook + "12.jpg", "HTTP/1.1 200 OK", "image/jpeg",
       ReadFileBytes(kSite + "/pages/12.jpg")},
      {"page beyond the last", kBook + "13.jpg", "HTTP/1.1 404 Not Found", "text/html", kNotFound},
      {"page zero", kBook + "0.jpg", "HTTP/1.1 404 Not Found", "text/html", kNotFound},
      {"negative page", kBook + "-1.jpg", "HTTP/1.1 404 Not Found", "text/html", kNotFound},
      {"leading zero", kBook + "07.jpg", "HTTP/1.1 404 Not Found", "text/html", kNotFound},
      {"other book", "/books/00000000/1.jpg", "HTTP/1.1 404 Not Found", "text/html", kNotFound},
      {"other article", "/Index/article/aid/1.html", "HTTP/1.1 404 Not Found", "text/html",
       kNotFound},
      {"climbing out of the book", kBook + "../../index.html", "HTTP/1.1 404 Not Found",
       "text/html", kNotFound},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_FALSE(c.body.empty());
    EXPECT_EQ(Get(site_.port(), c.target), ExpectedReply(c.statusLine, c.type, c.body));
  }
}

TEST_F(DemoSiteTest, ArticlePageNamesAChineseTitleInGbkAndTheBook) {
  const std::string reply = Get(site_.port(), "/Index/article/aid/3927.html");
  const std::string page = reply.substr(reply.find("\r\n\r\n") + 4);
  EXPECT_EQ(GbkToUtf8(Between(page, "<title>", "</")), "苇川市2026届高三第一次模拟考试数学试卷");
  EXPECT_EQ(Between(page, "/books/", "/"), "8f3a2c61");
}

TEST_F(DemoSiteTest, EveryPageIsAJpeg) {
  for (int n = 1; n <= 12; ++n) {
    SCOPED_TRACE(n);
    const std::string reply = Get(site_.port(), kBook + std::to_string(n) + ".jpg");
    const std::string body = reply.substr(reply.find("\r\n\r\n") + 4);
    ASSERT_GT(body.size(), 10000u);
    EXPECT_EQ(body.substr(0, 3), "\xFF\xD8\xFF");
    EXPECT_EQ(body.substr(body.size() - 2), "\xFF\xD9");
  }
}

TEST_F(DemoSiteTest, KeepsTheConnectionOpenBetweenRequests) {
  Connection connection(site_.port());
  const std::string host = "Host: 127.0.0.1\r\n";
  ASSERT_TRUE(connection.Send("GET " + kBook + "2.jpg HTTP/1.1\r\n" + host + "\r\n"));
  const std::string first = connection.ReadReply();
  const std::string firstBody = ReadFileBytes(kSite + "/pages/2.jpg");
  EXPECT_EQ(first, "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(firstBody.size()) +
                       "\r\nContent-Type: image/jpeg\r\nKeep-Alive: timeout=5, max=100000\r\n\r\n" +
                       firstBody);
  ASSERT_TRUE(
      connection.Send("GET " + kBook + "3.jpg HTTP/1.1\r\n" + host + "Connection: close\r\n\r\n"));
  EXPECT_EQ(connection.ReadToEnd(),
            ExpectedReply("HTTP/1.1 200 OK", "image/jpeg", ReadFileBytes(kSite + "/pages/3.jpg")));
}

TEST(DemoSiteGeneratedPages, ServesTheAskedNumberOfPagesOfTheAskedSize) {
  SiteProcess site({"--pages", "3", "--page-bytes", "1000"});
  ASSERT_GT(site.port(), 0);
  // A JPEG start marker, a filler of 'a' to 'w' repeated, a JPEG end marker.
  std::string body;
  for (int i = 0; i < 1000; ++i) body += static_cast<char>('a' + i % 23);
  body.replace(0, 4, "\xFF\xD8\xFF\xE0");
  body.replace(998, 2, "\xFF\xD9");
  EXPECT_EQ(Get(site.port(), kBook + "3.jpg"),
            ExpectedReply("HTTP/1.1 200 OK", "image/jpeg", body));
  EXPECT_EQ(Get(site.port(), kBook + "4.jpg"),
            ExpectedReply("HTTP/1.1 404 Not Found", "text/html", kNotFound));
}

TEST(DemoSiteStop, EndsCleanlyOnStopSignals) {
  for (int signal : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(signal);
    SiteProcess site;
    ASSERT_GT(site.port(), 0);
    ASSERT_FALSE(Get(site.port(), "/").empty());
    EXPECT_EQ(site.Stop(signal), 0);
  }
}

TEST(DemoSiteOptions, RejectsUnknownOptionsAndMissingSites) {
  struct Case {
    const char* name;
    std::vector<std::string> args;
  };
  const Case cases[] = {
      {"unknown option", {"--bogus", "1"}},
      {"port out of range", {"--port", "70000"}},
      {"site folder without the paper", {"--root", "/nonexistent"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SiteProcess site(c.args);
    EXPECT_EQ(site.port(), 0) << "no port is printed";
    EXPECT_NE(site.Stop(SIGTERM), 0);
  }
}

}  // namespace
}  // namespace paperdl::demo_test
