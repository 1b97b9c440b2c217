// Files under GBK names and the program's directory. Each test works in a fresh temporary
// folder; Chinese names are checked through the file system's own (Unicode) view.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/temp_folder.hpp"
#include "text/files.hpp"

namespace quillreap::text {
namespace {

namespace fs = std::filesystem;

class FilesTest : public ::testing::Test {
 protected:
  // The GBK path of a file in the folder (the folder's own path is ASCII).
  Text path(std::string_view name) const {
    return concat(dir_.string(), char_of(path_separator()), name);
  }

  const test_support::TempFolder folder_{"text"};
  const fs::path dir_ = folder_.path();
};

TEST_F(FilesTest, WriteFileReplacesTheWholeContent) {
  const Text file = path("book.txt");
  const Bytes first = to_bytes("a long first content");
  const Bytes empty;
  const Bytes second = to_bytes("中文");
  const Bytes third = to_bytes("\r\nend");
  ASSERT_TRUE(write_file(file, first));
  ASSERT_TRUE(write_file(file, {&second, &empty, &third}));
  EXPECT_EQ(read_file(file), to_bytes("中文\r\nend"));
  ASSERT_TRUE(write_file(file, {&empty}));
  EXPECT_EQ(read_file(file), Bytes{});
  EXPECT_EQ(fs::file_size(dir_ / "book.txt"), 0u);
}

TEST_F(FilesTest, FailuresReadAsFalse) {
  const Bytes content = to_bytes("x");
  EXPECT_FALSE(write_file("", content));
  EXPECT_FALSE(write_file(path("missing") + char_of(path_separator()) + "a.txt", content));
  EXPECT_FALSE(write_file(dir_.string(), content));  // a folder, not a file
  EXPECT_FALSE(read_file(path("absent.txt")).has_value());
  EXPECT_FALSE(read_file("").has_value());
  EXPECT_FALSE(remove_file(path("absent.txt")));
  EXPECT_FALSE(replace_file(path("absent.txt"), path("other.txt")));
}

TEST_F(FilesTest, ChineseNamesReachTheFileSystemAsUnicode) {
  const Bytes content = to_bytes("第一章\r\n");
  ASSERT_TRUE(write_file(path("江湖夜雨.txt"), content));
  EXPECT_TRUE(fs::exists(dir_ / u8"江湖夜雨.txt"));
  EXPECT_EQ(read_file(path("江湖夜雨.txt")), content);
  // A name whose trail byte is a backslash stays one name.
  ASSERT_TRUE(write_file(path("乗.txt"), content));
  EXPECT_TRUE(fs::exists(dir_ / u8"乗.txt"));
}

TEST_F(FilesTest, ReplaceAndRemove) {
  ASSERT_TRUE(write_file(path("新.tmp"), to_bytes("new")));
  ASSERT_TRUE(write_file(path("书.txt"), to_bytes("old")));
  EXPECT_TRUE(replace_file(path("新.tmp"), path("书.txt")));
  EXPECT_EQ(read_file(path("书.txt")), to_bytes("new"));
  EXPECT_FALSE(fs::exists(dir_ / u8"新.tmp"));
  EXPECT_TRUE(remove_file(path("书.txt")));
  EXPECT_FALSE(fs::exists(dir_ / u8"书.txt"));
}

TEST_F(FilesTest, AppendAddsAtTheEndAndCreatesTheFile) {
  const Text file = path("章节.store");
  ASSERT_TRUE(append_file(file, to_bytes("一")));
  ASSERT_TRUE(append_file(file, Bytes{}));
  ASSERT_TRUE(append_file(file, to_bytes("\r\n二")));
  EXPECT_TRUE(fs::exists(dir_ / u8"章节.store"));
  EXPECT_EQ(read_file(file), to_bytes("一\r\n二"));
  EXPECT_FALSE(append_file("", to_bytes("x")));
  EXPECT_FALSE(append_file(dir_.string(), to_bytes("x")));  // a folder, not a file
  EXPECT_FALSE(append_file(path("missing") + char_of(path_separator()) + "a", to_bytes("x")));
}

TEST_F(FilesTest, AnAppenderHeldOpenAddsAtTheEndBesideOtherReadersAndWriters) {
  const Text file = path("章节.store");
  ASSERT_TRUE(write_file(file, to_bytes("头")));
  {
    FileAppender appender(file);
    ASSERT_TRUE(appender.is_open());
    EXPECT_TRUE(appender.append(to_bytes("一")));
    // Another writer in between: the held file still appends behind it, not over it.
    EXPECT_TRUE(append_file(file, to_bytes("二")));
    EXPECT_TRUE(appender.append(Bytes{}));
    EXPECT_TRUE(appender.append(to_bytes("三")));
    // Read while the appender holds the file, as the chapter store does.
    const FileReader reader(file);
    Bytes read;
    ASSERT_TRUE(reader.read_at(0, to_bytes("头一二三").size(), read));
    EXPECT_EQ(read, to_bytes("头一二三"));
    EXPECT_TRUE(appender.close());
    EXPECT_FALSE(appender.append(to_bytes("四")));
  }
  EXPECT_EQ(read_file(file), to_bytes("头一二三"));
  FileAppender created(path("新.store"));  // a missing file is created
  EXPECT_TRUE(created.append(to_bytes("x")));
  EXPECT_TRUE(created.close());
  EXPECT_EQ(read_file(path("新.store")), to_bytes("x"));

  for (const Text& unusable :
       {Text(), dir_.string(), path("missing") + char_of(path_separator()) + "a"}) {
    FileAppender appender(unusable);
    EXPECT_FALSE(appender.is_open()) << unusable;
    EXPECT_FALSE(appender.append(to_bytes("x"))) << unusable;
    EXPECT_FALSE(appender.close()) << unusable;
  }
}

TEST_F(FilesTest, MakeDirectoryCreatesOrFindsAFolder) {
  EXPECT_TRUE(make_directory(path("书库"), true));
  EXPECT_TRUE(fs::is_directory(dir_ / u8"书库"));
  EXPECT_TRUE(make_directory(path("书库")));  // already there
  ASSERT_TRUE(write_file(path("书库") + char_of(path_separator()) + "a.txt", to_bytes("x")));
  // A file in the way, a missing parent and no name are failures.
  ASSERT_TRUE(write_file(path("file"), to_bytes("x")));
  EXPECT_FALSE(make_directory(path("file")));
  EXPECT_FALSE(make_directory(path("missing") + char_of(path_separator()) + "b"));
  EXPECT_FALSE(make_directory(""));
}

// A folder and a name joined the platform's way: '\\' on Windows, '/' elsewhere, and never
// a second separator; a GBK character ending in the byte 0x5C is no separator.
TEST(JoinPath, JoinsWithThePlatformsSeparatorOnce) {
  const struct {
    const char* directory;
    const char* linux_path;
    const char* windows_path;
  } cases[] = {
      {"out", "out/西游记.txt", "out\\西游记.txt"},
      {"Z:\\books", "Z:\\books/西游记.txt", "Z:\\books\\西游记.txt"},
      {"Z:\\books\\", "Z:\\books\\/西游记.txt", "Z:\\books\\西游记.txt"},
      {"out/", "out/西游记.txt", "out/西游记.txt"},
      {"\x95\x5C", "\x95\x5C/西游记.txt", "\x95\x5C\\西游记.txt"},
  };
  for (const auto& each : cases) {
    EXPECT_EQ(join_path(each.directory, "西游记.txt"),
              path_separator() == '/' ? each.linux_path : each.windows_path)
        << each.directory;
  }
}

TEST(AppDirectory, IsTheFolderOfThisProgram) {
  const Text dir = app_directory();
  ASSERT_FALSE(dir.empty());
  EXPECT_NE(dir.back(), path_separator());
  const Text self = concat(dir, char_of(path_separator()),
                           path_separator() == '\\' ? "text_tests.exe" : "text_tests");
  EXPECT_TRUE(read_file(self).has_value()) << self;
}

}  // namespace
}  // namespace quillreap::text
