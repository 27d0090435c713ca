// Fetching a 4 MB UTF-8 page from a loopback server: WinHttpVisit (request,
// read loop, response handling, charset step) against plain libcurl into memory
// followed by one iconv conversion to code page 936, the least any fetch and
// convert must do.
#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <httplib.h>
#include <iconv.h>

#include <chrono>
#include <string>
#include <thread>

#include "winhttp/winhttp_visit.h"

namespace paperdl {
namespace {

constexpr std::size_t kPageSize = 4 << 20;

const std::string& Utf8Page() {
  static const std::string page = [] {
    std::string p = "<html><head><meta charset=\"utf-8\"><title>试卷</title></head><body>\n";
    const std::string line = "<p class=\"q\">第12题 已知函数 f(x)=x^2+2x，求 f(3) 的值。</p>\n";
    while (p.size() < kPageSize) p += line;
    return p + "</body></html>\n";
  }();
  return page;
}

// One loopback server for the whole run.
class PageServer {
 public:
  PageServer() {
    server_.Get("/page", [](const httplib::Request&, httplib::Response& response) {
      response.set_content(Utf8Page(), "text/html");
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ~PageServer() {
    server_.stop();
    thread_.join();
  }
  std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/page"; }

 private:
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
};

PageServer& Server() {
  static PageServer server;
  return server;
}

void BM_WinHttpVisit(benchmark::State& state) {
  const Text url = Server().Url();
  for (auto _ : state) {
    Text page = WinHttpVisit(url);
    if (page.size() < kPageSize / 2) state.SkipWithError("page not converted");
    benchmark::DoNotOptimize(page);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Utf8Page().size()));
}
BENCHMARK(BM_WinHttpVisit)->Unit(benchmark::kMillisecond);

std::size_t Collect(char* data, std::size_t size, std::size_t count, void* out) {
  static_cast<std::string*>(out)->append(data, size * count);
  return size * count;
}

std::string ToCp936(const std::string& utf8) {
  iconv_t converter = iconv_open("CP936", "UTF-8");
  std::string out(utf8.size(), '\0');
  char* in = const_cast<char*>(utf8.data());
  char* to = out.data();
  std::size_t inLeft = utf8.size(), outLeft = out.size();
  iconv(converter, &in, &inLeft, &to, &outLeft);
  iconv_close(converter);
  out.resize(out.size() - outLeft);
  return out;
}

void BM_CurlThenIconv(benchmark::State& state) {
  const std::string url = Server().Url();
  for (auto _ : state) {
    CURL* easy = curl_easy_init();
    std::string body;
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_PROXY, "");
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, Collect);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &body);
    curl_easy_perform(easy);
    curl_easy_cleanup(easy);
    std::string page = ToCp936(body);
    if (page.size() < kPageSize / 2) state.SkipWithError("page not converted");
    benchmark::DoNotOptimize(page);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Utf8Page().size()));
}
BENCHMARK(BM_CurlThenIconv)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace paperdl

BENCHMARK_MAIN();
