// Reading the arguments; every mistake becomes a usage error with its reason.
#include <charconv>
#include <string_view>

#include "app/command_line.h"

namespace paperdl {
namespace {

using Mode = CommandLine::Mode;

CommandLine WithMode(Mode mode) {
  CommandLine line;
  line.mode = mode;
  return line;
}

CommandLine UsageError(std::string reason) {
  CommandLine line = WithMode(Mode::kUsageError);
  line.error = std::move(reason);
  return line;
}

// A page number as a 32-bit signed decimal number, optional sign included.
bool IsPageNumber(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty() || text.front() == '+') return false;
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

// A host with an optional port: no scheme, no path, no blanks.
bool IsSiteHost(std::string_view host) {
  if (host.empty()) return false;
  for (char c : host) {
    if (c == '/' || c == '\\' || c == '?' || c == '#' || c == '@' ||
        static_cast<unsigned char>(c) <= 0x20)
      return false;
  }
  return true;
}

// Splits "--name=value" into its parts; other arguments have no inline value.
std::string_view OptionName(std::string_view arg, std::optional<std::string>* inlineValue) {
  const auto equals = arg.find('=');
  if (!arg.starts_with("--") || equals == std::string_view::npos) return arg;
  *inlineValue = std::string(arg.substr(equals + 1));
  return arg.substr(0, equals);
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  if (args.empty()) return line;
  line.mode = Mode::kDownload;
  bool windowAsked = false;
  bool pagesGiven = false;
  std::optional<std::string> url;
  for (size_t i = 0; i < args.size(); ++i) {
    std::optional<std::string> value;
    const std::string_view name = OptionName(args[i], &value);
    if (name == "--help" || name == "-h") return WithMode(Mode::kHelp);
    if (name == "--version") return WithMode(Mode::kVersion);
    if (name == "--window") {
      windowAsked = true;
      continue;
    }
    const bool takesValue =
        name == "--site" || name == "--out" || name == "--first" || name == "--last";
    if (!takesValue) {
      if (name.starts_with("-") && name != "-") return UsageError("unknown option " + args[i]);
      if (url) return UsageError("more than one address: " + args[i]);
      url = args[i];
      continue;
    }
    if (!value) {
      if (i + 1 >= args.size()) return UsageError(std::string(name) + " needs a value");
      value = args[++i];
    }
    if (name == "--site") {
      if (!IsSiteHost(*value)) return UsageError("--site takes HOST[:PORT], not " + *value);
      line.site = *value;
    } else if (name == "--out") {
      if (value->empty()) return UsageError("--out needs a folder");
      line.out = *value;
    } else {
      if (!IsPageNumber(*value))
        return UsageError(std::string(name) + " takes a number, not " + *value);
      (name == "--first" ? line.firstPage : line.lastPage) = *value;
      pagesGiven = true;
    }
  }
  if (windowAsked) {
    if (url || pagesGiven) return UsageError("--window takes no address or page numbers");
    line.mode = Mode::kWindow;
    return line;
  }
  if (!url) return UsageError("no paper address given");
  line.url = *url;
  return line;
}

}  // namespace paperdl
