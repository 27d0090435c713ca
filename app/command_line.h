// The paperdl command: the window, or the same download without one.
//   paperdl [--site HOST[:PORT]] [--out DIR] [--first N] [--last N] URL
//   paperdl --window [--site HOST[:PORT]] [--out DIR]
//   paperdl --help | --version
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace paperdl {

struct CommandLine {
  enum class Mode { kWindow, kDownload, kHelp, kVersion, kUsageError };
  Mode mode = Mode::kWindow;
  std::optional<std::string> site;  // UTF-8, as given
  std::optional<std::string> out;
  std::string firstPage = "1";
  std::string lastPage = "46";
  std::string url;
  std::string error;  // what is wrong, for kUsageError
};

// args are the arguments after the program name, UTF-8.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// Runs what args ask for; returns the exit status: 0 every page saved (or the
// window closed), 1 the run ended on a failed page, 2 a usage error.
// errIsTerminal turns on the page progress on err.
int RunPaperdl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               bool errIsTerminal);

}  // namespace paperdl
