// paperdl-demo-site: serves the sample paper on 127.0.0.1, on a free port it
// prints as "127.0.0.1:PORT" on the first line of standard output, until
// SIGINT or SIGTERM.
#include <httplib.h>
#include <pthread.h>
#include <signal.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>

#include "site_content.h"
#include "site_server.h"

namespace {

constexpr const char* kUsage =
    "usage: paperdl-demo-site [--root DIR] [--port N] [--pages N --page-bytes N] [--quiet]\n"
    "  --root DIR      folder with index.html, article.html and pages/<n>.jpg\n"
    "                  (default: the site folder of the source tree)\n"
    "  --port N        port on 127.0.0.1 (default: a free one, printed on stdout)\n"
    "  --pages N       serve N generated pages instead of the sample images\n"
    "  --page-bytes N  size of each generated page (default 307200)\n"
    "  --quiet         print nothing but the address line\n";

struct Options {
  std::string root = PAPERDL_DEMO_SITE_DIR;
  int port = 0;
  int generatedPages = 0;
  long long pageBytes = 300 * 1024;
  bool quiet = false;
};

bool ParseNumber(std::string_view text, long long min, long long max, long long* value) {
  long long parsed = 0;
  const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (failure != std::errc() || end != text.data() + text.size()) return false;
  if (parsed < min || parsed > max) return false;
  *value = parsed;
  return true;
}

// Returns false on a usage error.
bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view name = argv[i];
    if (name == "--quiet") {
      options->quiet = true;
      continue;
    }
    if (i + 1 >= argc) return false;
    const std::string_view value = argv[++i];
    long long number = 0;
    if (name == "--root") {
      options->root = std::string(value);
    } else if (name == "--port" && ParseNumber(value, 1, 65535, &number)) {
      options->port = static_cast<int>(number);
    } else if (name == "--pages" && ParseNumber(value, 1, 100000, &number)) {
      options->generatedPages = static_cast<int>(number);
    } else if (name == "--page-bytes" && ParseNumber(value, 8, 1LL << 32, &number)) {
      options->pageBytes = number;
    } else {
      return false;
    }
  }
  return true;
}

int Bind(httplib::Server* server, int port) {
  if (port == 0) return server->bind_to_any_port("127.0.0.1");
  return server->bind_to_port("127.0.0.1", port) ? port : -1;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (!ParseOptions(argc, argv, &options)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::string error;
  auto site = paperdl::demo::LoadSite(options.root, &error);
  if (!site) {
    std::fprintf(stderr, "paperdl-demo-site: %s\n", error.c_str());
    return 1;
  }
  if (options.generatedPages > 0) {
    paperdl::demo::UseGeneratedPages(&*site, options.generatedPages,
                                     static_cast<std::size_t>(options.pageBytes));
  }

  // Block the stop signals before any thread starts, so only sigwait below sees them.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  httplib::Server server;
  server.set_keep_alive_max_count(100000);  // a browser-like site keeps connections open
  paperdl::demo::AddSiteRoutes(&server, *site, !options.quiet);
  const int port = Bind(&server, options.port);
  if (port < 0) {
    std::fprintf(stderr, "paperdl-demo-site: cannot listen on 127.0.0.1:%d\n", options.port);
    return 1;
  }
  std::printf("127.0.0.1:%d\n", port);
  std::fflush(stdout);
  if (!options.quiet) {
    std::fprintf(stderr, "demo site: http://127.0.0.1:%d%s#p=1 (%zu pages, book %s)\n", port,
                 paperdl::demo::kArticlePath, site->pages.size(), site->bookId.c_str());
  }

  bool listenFailed = false;
  std::thread listener([&] {
    if (!server.listen_after_bind() && server.is_running()) listenFailed = true;
    kill(getpid(), SIGTERM);  // wakes the sigwait below when the listener ends on its own
  });
  int received = 0;
  sigwait(&stopSignals, &received);
  server.stop();
  listener.join();
  return listenFailed ? 1 : 0;
}
