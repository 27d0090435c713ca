#include "site_server.h"

#include <httplib.h>

#include <cstdio>
#include <string>

namespace paperdl::demo {
namespace {

constexpr const char* kHtmlType = "text/html; charset=gbk";

// "7.jpg" -> 7 when the page exists; the route's pattern has already checked the digits.
const SharedBody* FindPage(const SiteContent& site, const std::string& number) {
  if (number.empty() || number.size() > 9 || number[0] == '0') return nullptr;
  const auto found = site.pages.find(std::stoi(number));
  return found == site.pages.end() ? nullptr : &found->second;
}

// Streams the shared buffer instead of copying it into every response.
void ServeBody(httplib::Response* res, const SharedBody& body, const char* type) {
  res->set_content_provider(body->size(), type,
                            [body](size_t offset, size_t length, httplib::DataSink& sink) {
                              return sink.write(body->data() + offset, length);
                            });
}

}  // namespace

void AddSiteRoutes(httplib::Server* server, const SiteContent& site, bool logRequests) {
  server->Get("/", [&site](const httplib::Request&, httplib::Response& res) {
    res.set_content(site.homePage, kHtmlType);
  });
  server->Get(kArticlePath, [&site](const httplib::Request&, httplib::Response& res) {
    res.set_content(site.articlePage, kHtmlType);
  });
  server->Get(R"(/books/([^/]+)/(\d+)\.jpg)",
              [&site](const httplib::Request& req, httplib::Response& res) {
                const SharedBody* page = nullptr;
                if (req.matches[1] == site.bookId) page = FindPage(site, req.matches[2]);
                if (page) {
                  ServeBody(&res, *page, "image/jpeg");
                } else {
                  res.status = 404;
                }
              });
  // Called for every status of 400 and above, matched route or not.
  server->set_error_handler([](const httplib::Request&, httplib::Response& res) {
    if (res.status == 404) {
      res.set_content(kNotFoundBody, "text/html");
    } else {
      res.set_content(std::to_string(res.status) + "\n", "text/plain");
    }
  });
  if (logRequests) {
    server->set_logger([](const httplib::Request& req, const httplib::Response& res) {
      std::fprintf(stderr, "demo site: %s %s -> %d\n", req.method.c_str(), req.path.c_str(),
                   res.status);
    });
  }
}

}  // namespace paperdl::demo
