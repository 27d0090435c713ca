// WinInetVisit against the curl tool on the same loopback server: 46 page
// images of 300 KB, then one image of 64 MB. The server runs in a child
// process, so the peak RSS printed at the end is the client's alone.
#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <httplib.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "wininet/wininet_visit.h"

namespace {

constexpr int kPages = 46;
constexpr std::size_t kPageSize = 300 * 1024;
constexpr std::size_t kBigSize = 64u * 1024 * 1024;

int g_port = 0;
pid_t g_server = -1;
// Best times in seconds: ours, the curl tool's, and libcurl's in this process.
double g_best[6] = {1e9, 1e9, 1e9, 1e9, 1e9, 1e9};
enum Slot { kOursPages, kCurlPages, kLibcurlPages, kOursBig, kCurlBig, kLibcurlBig };

std::string Url(const std::string& path) {
  return "http://127.0.0.1:" + std::to_string(g_port) + path;
}

std::vector<std::string> PageUrls() {
  std::vector<std::string> urls;
  for (int i = 1; i <= kPages; ++i) urls.push_back(Url("/books/9/" + std::to_string(i) + ".jpg"));
  return urls;
}

// Serves /books/9/N.jpg (300 KB) and /big.jpg (64 MB) from one buffer.
[[noreturn]] void RunServer(int portPipe) {
  static const std::string data(kBigSize, 'j');
  httplib::Server server;
  server.set_keep_alive_max_count(10000);
  auto serve = [](std::size_t size) {
    return [size](const httplib::Request&, httplib::Response& response) {
      response.set_content_provider(
          size, "image/jpeg", [](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
            return sink.write(data.data() + offset, length);
          });
    };
  };
  server.Get(R"(/books/9/\d+\.jpg)", serve(kPageSize));
  server.Get("/big.jpg", serve(kBigSize));
  int port = server.bind_to_any_port("127.0.0.1");
  if (write(portPipe, &port, sizeof port) != sizeof port) _exit(1);
  close(portPipe);
  server.listen_after_bind();
  _exit(0);
}

void StartServer() {
  int fds[2];
  if (pipe(fds) != 0) std::exit(1);
  g_server = fork();
  if (g_server == 0) {
    close(fds[0]);
    RunServer(fds[1]);
  }
  close(fds[1]);
  if (read(fds[0], &g_port, sizeof g_port) != sizeof g_port) std::exit(1);
  close(fds[0]);
}

void Record(Slot slot, double seconds) {
  if (seconds < g_best[slot]) g_best[slot] = seconds;
}

template <typename Work>
void Timed(benchmark::State& state, Slot slot, Work work) {
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    work();
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(took.count());
    Record(slot, took.count());
  }
}

void RunCurl(const std::vector<std::string>& urls) {
  std::string command = "curl -s --noproxy '*'";
  for (const auto& url : urls) command += " -o /dev/null " + url;
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "curl failed\n");
}

// libcurl alone, one easy handle for all URLs, every body byte handed to a
// callback that keeps none: what receiving costs before anything is stored.
std::size_t DiscardBody(char*, std::size_t size, std::size_t count, void* total) {
  *static_cast<std::size_t*>(total) += size * count;
  return size * count;
}

void RunLibcurl(const std::vector<std::string>& urls) {
  CURL* easy = curl_easy_init();
  curl_easy_setopt(easy, CURLOPT_PROXY, "");
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, DiscardBody);
  std::size_t total = 0;
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &total);
  for (const auto& url : urls) {
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_perform(easy);
  }
  benchmark::DoNotOptimize(total);
  curl_easy_cleanup(easy);
}

void BM_WinInetPages(benchmark::State& state) {
  Timed(state, kOursPages, [] {
    for (const auto& url : PageUrls()) {
      paperdl::Bytes body = paperdl::WinInetVisit(url);
      if (body.size() != kPageSize) std::fprintf(stderr, "short page\n");
      benchmark::DoNotOptimize(body.data());
    }
  });
}

void BM_CurlPages(benchmark::State& state) {
  Timed(state, kCurlPages, [] { RunCurl(PageUrls()); });
}

void BM_LibcurlPages(benchmark::State& state) {
  Timed(state, kLibcurlPages, [] { RunLibcurl(PageUrls()); });
}

void BM_WinInetBigImage(benchmark::State& state) {
  Timed(state, kOursBig, [] {
    paperdl::Bytes body = paperdl::WinInetVisit(Url("/big.jpg"));
    if (body.size() != kBigSize) std::fprintf(stderr, "short image\n");
    benchmark::DoNotOptimize(body.data());
  });
}

void BM_CurlBigImage(benchmark::State& state) {
  Timed(state, kCurlBig, [] { RunCurl({Url("/big.jpg")}); });
}

void BM_LibcurlBigImage(benchmark::State& state) {
  Timed(state, kLibcurlBig, [] { RunLibcurl({Url("/big.jpg")}); });
}

BENCHMARK(BM_WinInetPages)->UseManualTime()->Iterations(8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CurlPages)->UseManualTime()->Iterations(8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibcurlPages)->UseManualTime()->Iterations(8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WinInetBigImage)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CurlBigImage)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibcurlBigImage)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

void PrintRow(const char* what, Slot ours, Slot tool, Slot library) {
  std::printf("%-19s %8.1f ms  %8.1f ms  %5.2fx  %8.1f ms  %5.2fx\n", what, g_best[ours] * 1e3,
              g_best[tool] * 1e3, g_best[ours] / g_best[tool], g_best[library] * 1e3,
              g_best[ours] / g_best[library]);
}

void PrintSummary() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  double peakMb = usage.ru_maxrss / 1024.0;
  std::printf("\nbest of runs        WinInetVisit  curl tool   ratio  libcurl     ratio\n");
  PrintRow("46 pages x 300 KB", kOursPages, kCurlPages, kLibcurlPages);
  PrintRow("1 image x 64 MB", kOursBig, kCurlBig, kLibcurlBig);
  std::printf(
      "(the curl tool's times include starting its process; libcurl's body is\n"
      " received in this process and discarded, ours is kept in one buffer)\n");
  std::printf("peak RSS of this process: %.1f MB (%.2fx the 64 MB image)\n", peakMb,
              peakMb * 1024 * 1024 / kBigSize);
}

}  // namespace

int main(int argc, char** argv) {
  StartServer();  // before any thread exists
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  PrintSummary();
  kill(g_server, SIGTERM);
  waitpid(g_server, nullptr, 0);
  return 0;
}
