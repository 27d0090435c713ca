#include "app/paths.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace paperdl {
namespace {

namespace fs = std::filesystem;

// A fresh folder per test; its path is ASCII, so it reads the same in code page 936.
class EnsureDirectoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "paperdl_paths_XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
  }
  void TearDown() override { fs::remove_all(root_); }

  Text Root() const { return root_.string(); }
  bool IsFolder(const std::string& utf8Relative) const {
    return fs::is_directory(root_ / std::string(utf8Relative));
  }

  fs::path root_;
};

struct EnsureCase {
  const char* name;
  Text relative;  // appended to the test folder's path
  bool expected;
  const char* mustExist;  // UTF-8, relative to the test folder; "" for nothing
  const char* mustNotExist;
};

const EnsureCase kEnsureCases[] = {
    {"backslash separator", "\\out", true, "out", ""},
    {"trailing backslash", "\\out\\", true, "out", ""},
    {"trailing slash", "/out/", true, "out", ""},
    {"mixed separators, parents first", "\\prog/Paper A", true, "prog/Paper A", ""},
    {"doubled separators", "//x\\\\y", true, "x/y", ""},
    {"trail byte 0x5C is part of the name", "/" + Gbk("乗表"), true, "乗表", ""},
    {"path ending in a trail byte 0x5C", "/" + Gbk("表乗"), true, "表乗", ""},
    {"trail byte 0x5C in a folder along the path", "/" + Gbk("乗") + "/a", true, "乗/a", ""},
    {"trail byte 0x7C is part of the name", "/" + Gbk("亅"), true, "亅", ""},
    {"colon refused, parents kept", "/a/b:c/d", false, "a", "a/b:c"},
    {"asterisk refused", "/a*", false, "", "a*"},
    {"question mark refused", "/a?", false, "", "a?"},
    {"double quote refused", "/a\"", false, "", "a\""},
    {"angle brackets refused", "/<a>", false, "", "<a>"},
    {"bar refused", "/a|b", false, "", "a|b"},
    {"control byte refused", "/a\tb", false, "", "a\tb"},
};

TEST_F(EnsureDirectoryTest, CreatesEveryMissingFolder) {
  for (const EnsureCase& c : kEnsureCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(EnsureDirectory(Root() + c.relative), c.expected);
    if (*c.mustExist) {
      EXPECT_TRUE(IsFolder(c.mustExist));
    }
    if (*c.mustNotExist) {
      EXPECT_FALSE(fs::exists(root_ / std::string(c.mustNotExist)));
    }
  }
}

TEST_F(EnsureDirectoryTest, ExistingFolderIsSuccess) {
  ASSERT_TRUE(EnsureDirectory(Root() + "\\out"));
  EXPECT_TRUE(EnsureDirectory(Root() + "\\out"));
  EXPECT_TRUE(EnsureDirectory(Root() + "/out/"));
  EXPECT_TRUE(EnsureDirectory(Root()));
}

TEST_F(EnsureDirectoryTest, PathThroughRegularFileFails) {
  std::ofstream(root_ / "file") << "x";
  EXPECT_FALSE(EnsureDirectory(Root() + "/file"));
  EXPECT_FALSE(EnsureDirectory(Root() + "/file/sub"));
  EXPECT_TRUE(fs::is_regular_file(root_ / "file"));
}

TEST_F(EnsureDirectoryTest, RelativePathFromWorkingFolder) {
  const fs::path before = fs::current_path();
  fs::current_path(root_);
  const bool made = EnsureDirectory("rel\\" + Gbk("试卷"));
  fs::current_path(before);
  EXPECT_TRUE(made);
  EXPECT_TRUE(IsFolder("rel/试卷"));
}

struct NameCase {
  const char* name;
  Text path;
  Text withExtension;
  Text withoutExtension;
};

const NameCase kNameCases[] = {
    {"image address", "http://paper.example.com/books/1234/7.jpg", "7.jpg", "7"},
    {"folder path ending in backslash", "C:\\dir\\", "", ""},
    {"folder path ending in slash", "out/", "", ""},
    {"only the last extension is cut", "a.tar.gz", "a.tar.gz", "a.tar"},
    {"no extension", "readme", "readme", "readme"},
    {"no separator", "photo.jpg", "photo.jpg", "photo"},
    {"dot in a folder name", "C:\\dir.d\\readme", "readme", "readme"},
    {"mixed separators", "C:\\prog/Paper A\\p.png", "p.png", "p"},
    {"trail byte 0x5C is no separator", "x\\" + Gbk("乗.jpg"), Gbk("乗.jpg"), Gbk("乗")},
    {"trail byte 0x5C at the end", Gbk("表乗"), Gbk("表乗"), Gbk("表乗")},
    {"name that is all extension", "dir/.hidden", ".hidden", ""},
    {"empty path", "", "", ""},
};

TEST(FileNameOfTest, LastComponentWithOrWithoutExtension) {
  for (const NameCase& c : kNameCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FileNameOf(c.path, true), c.withExtension);
    EXPECT_EQ(FileNameOf(c.path, false), c.withoutExtension);
    EXPECT_EQ(FileNameOf(c.path), c.withoutExtension);
  }
}

struct ExtensionCase {
  const char* name;
  Text path;
  Text expected;
};

const ExtensionCase kExtensionCases[] = {
    {"extension of a full path", "C:\\dir\\photo.jpg", ".jpg"},
    {"no extension", "photo", ""},
    {"dot only in a folder", "a.b\\c", ""},
    {"dot only in a folder, slash", "a.b/c", ""},
    {"last dot counts", "a.tar.gz", ".gz"},
    {"trailing dot", "name.", "."},
    {"double-byte name", Gbk("试卷.JPG"), ".JPG"},
};

TEST(ExtensionOfTest, FromLastDotOfLastComponent) {
  for (const ExtensionCase& c : kExtensionCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ExtensionOf(c.path), c.expected);
  }
}

}  // namespace
}  // namespace paperdl
