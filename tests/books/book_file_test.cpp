// Saving the book buffer: the bytes land unchanged under the safe name, a failed write
// never damages an earlier book and is reported, and the completion line counts gaps.
#include <gtest/gtest.h>

#include <filesystem>

#include "books/book_file.hpp"
#include "tests/support/recording_report.hpp"
#include "tests/support/temp_folder.hpp"
#include "text/files.hpp"

namespace quillreap::books {
namespace {

class SaveBook : public ::testing::Test {
 protected:
  Text path_of(const Text& stem) const { return dir_.text() + "/" + stem + ".txt"; }
  Text read(const Text& path) const {
    const auto bytes = text::read_file(path);
    return bytes ? Text(bytes->begin(), bytes->end()) : Text("<missing>");
  }
  void write(const Text& path, const Text& content) const {
    ASSERT_TRUE(text::write_file(path, text::to_bytes(content)));
  }

  test_support::RecordingReport<books::BookLog> controls_;
  test_support::TempFolder dir_;
};

TEST_F(SaveBook, WritesTheBufferByteForByteAndAnnouncesIt) {
  const Text book = Text("三体\r\n\r\n\r\n\r\n第一章\r\n\r\n正文") + '\x80' + "\xFF";
  controls_.append_log(book);
  EXPECT_EQ(save_book(controls_, "三体", dir_.text()), BookOutcome::kComplete);
  EXPECT_EQ(read(path_of("三体")), book);
  EXPECT_EQ(controls_.status(), "书籍:三体的所有章节已生成TXT文本在程序目录下");
  EXPECT_EQ(dir_.entry_count(), 1);
}

TEST_F(SaveBook, ReplacesAnEarlierBookCompletely) {
  write(path_of("书"), Text(5000, 'x'));
  controls_.append_log("书\r\n\r\n");
  EXPECT_EQ(save_book(controls_, "书", dir_.text()), BookOutcome::kComplete);
  EXPECT_EQ(read(path_of("书")), "书\r\n\r\n");
}

TEST_F(SaveBook, EmptyNameGivesDotTxt) {
  controls_.append_log("\r\n\r\n");
  EXPECT_EQ(save_book(controls_, "", dir_.text()), BookOutcome::kComplete);
  EXPECT_EQ(read(dir_.text() + "/.txt"), "\r\n\r\n");
  EXPECT_EQ(controls_.status(), "书籍:的所有章节已生成TXT文本在程序目录下");
}

TEST_F(SaveBook, UnsafeNamesStayInsideTheDirectory) {
  const std::filesystem::path outside = dir_.path() / "outside";
  std::filesystem::create_directories(outside / "inside");
  const Text inside = dir_.text() + "/outside/inside";
  for (const Text name : {"../evil", "..\\evil", "a/b", "CON", "淺東", "x:y", ".."}) {
    controls_.log_clear();
    controls_.append_log(name);
    EXPECT_EQ(save_book(controls_, name, inside), BookOutcome::kComplete) << name;
    EXPECT_EQ(read(inside + "/" + safe_book_file_name(name) + ".txt"), name);
    // The status line keeps the name as the list showed it.
    EXPECT_EQ(controls_.status(), "书籍:" + name + "的所有章节已生成TXT文本在程序目录下");
  }
  int outside_files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(outside))
    outside_files += entry.is_regular_file();
  EXPECT_EQ(outside_files, 0);
  EXPECT_EQ(dir_.entry_count(), 1);
}

TEST_F(SaveBook, CountsLostChaptersInTheCompletionLine) {
  controls_.append_log("书\r\n\r\n");
  EXPECT_EQ(save_book(controls_, "书", dir_.text(), 3), BookOutcome::kWrittenWithGaps);
  EXPECT_EQ(controls_.status(), "书籍:书的所有章节已生成TXT文本在程序目录下(有3章获取失败)");
  EXPECT_EQ(read(path_of("书")), "书\r\n\r\n");
}

TEST_F(SaveBook, FailedWriteIsReportedAndLeavesNoFileBehind) {
  // Tests may run as root, so the write is made to fail by a directory standing where
  // the book file goes.
  // (ASCII names here: std::filesystem would take Chinese bytes differently from the
  // program on Linux.)
  std::filesystem::create_directory(dir_.path() / "book.txt");
  controls_.append_log("书\r\n\r\n");
  EXPECT_EQ(save_book(controls_, "book", dir_.text()), BookOutcome::kNotWritten);
  EXPECT_EQ(controls_.status(), "书籍:book的TXT文本保存失败");
  EXPECT_TRUE(std::filesystem::is_directory(dir_.path() / "book.txt"));
  EXPECT_EQ(dir_.entry_count(), 1);  // the temporary file is gone again
}

TEST_F(SaveBook, FailedWriteKeepsAnEarlierBook) {
  write(path_of("book"), "旧书");
  // The temporary file cannot be created: the new book never reaches the old one.
  std::filesystem::create_directory(dir_.path() / "book.txt.part");
  controls_.append_log("新书");
  EXPECT_EQ(save_book(controls_, "book", dir_.text(), 2), BookOutcome::kNotWritten);
  EXPECT_EQ(read(path_of("book")), "旧书");
  EXPECT_EQ(controls_.status(), "书籍:book的TXT文本保存失败");
}

TEST_F(SaveBook, MissingDirectoryIsAFailedWrite) {
  controls_.append_log("x");
  EXPECT_EQ(save_book(controls_, "书", dir_.text() + "/no/such/dir"), BookOutcome::kNotWritten);
  EXPECT_EQ(controls_.status(), "书籍:书的TXT文本保存失败");
}

}  // namespace
}  // namespace quillreap::books
