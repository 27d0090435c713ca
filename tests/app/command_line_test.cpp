// The paperdl command: arguments, exit statuses and the message lines, in
// process and through the real program.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <sstream>

#include "tests/app/download_fixture.h"
#include "tests/app/process.h"

namespace paperdl::test {
namespace {

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

Outcome RunCommand(const std::vector<std::string>& args, bool errIsTerminal = false) {
  std::ostringstream out, err;
  const int status = RunPaperdl(args, out, err, errIsTerminal);
  return {status, out.str(), err.str()};
}

struct UsageCase {
  const char* name;
  std::vector<std::string> args;
};

const UsageCase kUsageErrors[] = {
    {"no address", {"--first", "3"}},
    {"two addresses", {"http://a/", "http://b/"}},
    {"unknown option", {"--bogus", "http://a/"}},
    {"missing value", {"http://a/", "--last"}},
    {"letters in first", {"--first", "12abc", "http://a/"}},
    {"blank before number", {"--first", " 7", "http://a/"}},
    {"full-width digits", {"--last", "１２", "http://a/"}},
    {"beyond 32 bits", {"--last", "2147483648", "http://a/"}},
    {"empty number", {"--first=", "http://a/"}},
    {"site with scheme", {"--site", "http://example.com", "http://a/"}},
    {"site with path", {"--site", "example.com/x", "http://a/"}},
    {"empty out", {"--out", "", "http://a/"}},
    {"window with address", {"--window", "http://a/"}},
    {"window with pages", {"--window", "--first", "2"}},
};

TEST(CommandLine, UsageErrorsExitWithTwoAndShowTheUsage) {
  for (const UsageCase& c : kUsageErrors) {
    SCOPED_TRACE(c.name);
    const Outcome outcome = RunCommand(c.args);
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.out, "");
    EXPECT_TRUE(outcome.err.starts_with("paperdl: ")) << outcome.err;
    EXPECT_NE(outcome.err.find("usage: paperdl"), std::string::npos) << outcome.err;
  }
}

TEST(CommandLine, ParsesOptionsInAnyOrderWithEitherSpelling) {
  const CommandLine line = ParseCommandLine({"--last=-1", "http://h/Index/article/aid/1.html",
                                             "--site", "h:8080", "--first", "+5", "--out=/tmp/x"});
  EXPECT_EQ(line.mode, CommandLine::Mode::kDownload);
  EXPECT_EQ(line.url, "http://h/Index/article/aid/1.html");
  EXPECT_EQ(line.site, "h:8080");
  EXPECT_EQ(line.out, "/tmp/x");
  EXPECT_EQ(line.firstPage, "+5");
  EXPECT_EQ(line.lastPage, "-1");
  EXPECT_EQ(ParseCommandLine({}).mode, CommandLine::Mode::kWindow);
  EXPECT_EQ(ParseCommandLine({"--window", "--out", "/tmp"}).mode, CommandLine::Mode::kWindow);
  const CommandLine defaults = ParseCommandLine({"http://h/"});
  EXPECT_EQ(defaults.firstPage, "1");
  EXPECT_EQ(defaults.lastPage, "46");
  EXPECT_FALSE(defaults.site || defaults.out);
}

TEST(CommandLine, HelpAndVersion) {
  const Outcome help = RunCommand({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("usage: paperdl"), std::string::npos);
  EXPECT_EQ(help.err, "");
  const Outcome version = RunCommand({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out,
            std::string("paperdl ") + PAPERDL_VERSION + "\nsite: " + PAPER_SITE_HOST + "\n");
}

class CommandLineDownload : public DownloadTest {
 protected:
  std::vector<std::string> Args(const std::vector<std::string>& extra) {
    std::vector<std::string> args = {"--site", site_.Host(), "--out", base_.string() + "/"};
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back(site_.server.Url(kArticleTarget));
    return args;
  }
};

TEST_F(CommandLineDownload, EveryPageSavedExitsWithZero) {
  const Outcome outcome = RunCommand(Args({"--first", "2", "--last", "4"}));
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.err, "ok: ok\n");
  EXPECT_EQ(outcome.out, "");
  ExpectPagesSaved(PaperFolder(), {2, 3, 4});
}

TEST_F(CommandLineDownload, FailedPageExitsWithOneAfterTheMessageLines) {
  site_.SetPage(3, KeepAlive(HttpResponse(404, {}, "missing")));
  const Outcome outcome = RunCommand(Args({"--last", "5"}));
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err, "3下载失败: 跳出循环\nok: ok\n");
  ExpectPagesSaved(PaperFolder(), {1, 2});
}

TEST_F(CommandLineDownload, FailedArticleExitsWithOne) {
  site_.SetArticle(KeepAlive(HttpResponse(500, {}, "<title>x</title>")));
  const Outcome outcome = RunCommand(Args({}));
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err, "1下载失败: 跳出循环\nok: ok\n");
  EXPECT_TRUE(NamesIn(base_).empty());
}

TEST_F(CommandLineDownload, SiteOptionReplacesTheImageHost) {
  PaperSite imageSite;  // the article comes from site_, every image from here
  const Outcome outcome = RunCommand({"--site", imageSite.Host(), "--out", base_.string(), "--last",
                                      "2", site_.server.Url(kArticleTarget)});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(site_.RequestLines(), site_.ExpectedLines({}));
  EXPECT_EQ(imageSite.RequestLines(),
            (std::vector<std::string>{imageSite.ImageLine(1), imageSite.ImageLine(2)}));
}

TEST_F(CommandLineDownload, ProgressGoesToATerminalOnly) {
  const Outcome terminal = RunCommand(Args({"--last", "2"}), true);
  EXPECT_NE(terminal.err.find("\r1 / 2"), std::string::npos);
  EXPECT_NE(terminal.err.find("\r2 / 2"), std::string::npos);
  EXPECT_TRUE(terminal.err.ends_with("ok: ok\n"));
  EXPECT_EQ(RunCommand(Args({"--last", "2"})).err, "ok: ok\n");
}

// The real program: statuses as the shell sees them, the current folder as default.
TEST_F(CommandLineDownload, ProgramExitStatusesAndDefaultFolder) {
  SpawnOptions inBase;
  inBase.workingDirectory = base_.string();
  const std::string url = site_.server.Url(kArticleTarget);

  const ProcessResult saved =
      RunProcess({PAPERDL_PROGRAM, "--site", site_.Host(), "--last", "2", url}, inBase);
  EXPECT_EQ(saved.exitStatus, 0) << saved.err;
  EXPECT_EQ(saved.err, "ok: ok\n");
  ExpectPagesSaved(PaperFolder(), {1, 2});

  site_.SetPage(2, CloseAfter("HTTP/1.1 200 OK\r\nContent-Length: 900\r\n\r\nshort"));
  const ProcessResult failed = RunProcess(
      {PAPERDL_PROGRAM, "--site", site_.Host(), "--first", "1", "--last", "3", url}, inBase);
  EXPECT_EQ(failed.exitStatus, 1);
  EXPECT_EQ(failed.err, "2下载失败: 跳出循环\nok: ok\n");
  EXPECT_EQ(ReadWholeFile(PaperFolder() / "2.jpg"), PageBytes(2)) << "the earlier page 2 stays";

  const ProcessResult usage = RunProcess({PAPERDL_PROGRAM, "--first", "x", url}, inBase);
  EXPECT_EQ(usage.exitStatus, 2);
  EXPECT_TRUE(usage.err.starts_with("paperdl: --first takes a number")) << usage.err;
}

TEST(CommandLineProgram, NoArgumentsOpensTheWindowWhichNeedsADisplay) {
  SpawnOptions noDisplay;
  noDisplay.environment = EnvironmentWith({"DISPLAY="});
  const ProcessResult result = RunProcess({PAPERDL_PROGRAM}, noDisplay);
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.err, "paperdl: no display to open the window on\n");
}

}  // namespace
}  // namespace paperdl::test
