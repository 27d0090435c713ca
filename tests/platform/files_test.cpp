// Writing files: code-page-936 names on a UTF-8 file system, atomic replacement.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "textutil/text.h"

namespace paperdl {
namespace {

namespace fs = std::filesystem;

class WriteBytesToFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/paperdl-files-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(dir_);
  }
  static std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  // Everything in the folder, so a left-over temporary file shows.
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
  Text Path(const std::string& utf8Name) const { return Gbk(dir_.string() + "/" + utf8Name); }

  fs::path dir_;
};

TEST_F(WriteBytesToFileTest, WritesUnderAUtf8Name) {
  const Bytes data{0xFF, 0xD8, 0x00, 0x01};
  ASSERT_TRUE(WriteBytesToFile(Path("第1页.jpg"), data));
  EXPECT_EQ(Read(dir_ / "第1页.jpg"), std::string("\xFF\xD8\x00\x01", 4));
  EXPECT_EQ(Entries(), std::vector<std::string>{"第1页.jpg"});
}

TEST_F(WriteBytesToFileTest, BackslashSeparatesButTrail5CDoesNot) {
  fs::create_directory(dir_ / "sub");
  ASSERT_TRUE(WriteBytesToFile(Gbk(dir_.string()) + "\\sub\\a.jpg", Bytes{'x'}));
  EXPECT_EQ(Read(dir_ / "sub" / "a.jpg"), "x");
  // 0x95 0x5C is one character (昞), not a folder "\x95" and a file.
  ASSERT_TRUE(WriteBytesToFile(Gbk(dir_.string()) + "/\x95\x5C.jpg", Bytes{'y'}));
  EXPECT_EQ(Read(dir_ / "昞.jpg"), "y");
}

TEST_F(WriteBytesToFileTest, EmptyDataMakesAnEmptyFile) {
  ASSERT_TRUE(WriteBytesToFile(Path("empty.jpg"), Bytes{}));
  EXPECT_TRUE(fs::exists(dir_ / "empty.jpg"));
  EXPECT_EQ(fs::file_size(dir_ / "empty.jpg"), 0u);
}

TEST_F(WriteBytesToFileTest, ReplacesAnExistingFileAndJoinsPieces) {
  std::ofstream(dir_ / "p.jpg") << "old contents that are longer";
  const Bytes a{'n', 'e'}, empty, b{'w'};
  ASSERT_TRUE(WriteBytesToFile(Path("p.jpg"), {&a, &empty, &b}));
  EXPECT_EQ(Read(dir_ / "p.jpg"), "new");
}

TEST_F(WriteBytesToFileTest, FailuresLeaveNothingBehind) {
  std::ofstream(dir_ / "keep.jpg") << "earlier page";
  fs::create_directory(dir_ / "folder.jpg");
  EXPECT_FALSE(WriteBytesToFile("", Bytes{'x'})) << "empty path";
  EXPECT_FALSE(WriteBytesToFile(Path("missing/1.jpg"), Bytes{'x'})) << "missing folder";
  EXPECT_FALSE(WriteBytesToFile(Path("folder.jpg"), Bytes{'x'})) << "a folder is in the way";
  if (geteuid() != 0) {  // root writes anywhere
    fs::permissions(dir_, fs::perms::owner_write, fs::perm_options::remove);
    EXPECT_FALSE(WriteBytesToFile(Path("keep.jpg"), Bytes{'x'})) << "no permission";
    fs::permissions(dir_, fs::perms::owner_write, fs::perm_options::add);
  }
  EXPECT_EQ(Read(dir_ / "keep.jpg"), "earlier page");
  EXPECT_EQ(Entries(), (std::vector<std::string>{"folder.jpg", "keep.jpg"}));
}

// A disk that fills up part-way: a child process under a file-size limit.
TEST_F(WriteBytesToFileTest, FullDiskKeepsTheEarlierFile) {
  std::ofstream(dir_ / "page.jpg") << "earlier page";
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    const bool ok = WriteBytesToFile(Path("page.jpg"), Bytes(64 * 1024, 0xAB));
    _exit(ok ? 0 : 3);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 3) << "the write must report failure";
  EXPECT_EQ(Read(dir_ / "page.jpg"), "earlier page");
  EXPECT_EQ(Entries(), std::vector<std::string>{"page.jpg"}) << "no temporary file left";
}

TEST(RunDirectory, IsTheFolderOfTheTestProgram) {
  const Text dir = RunDirectory();
  ASSERT_FALSE(dir.empty());
  EXPECT_NE(dir.back(), '/');
  EXPECT_TRUE(fs::exists(fs::path(Utf8(dir)) / "platform_tests"));
}

}  // namespace
}  // namespace paperdl
