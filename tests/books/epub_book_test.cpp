// The EPUB book: its text rules, identifier and times, what it leaves behind when not
// finished, its bytes against the golden book (which both builds must give), and whole
// books checked by epubcheck and read back against their TXT where the build host has
// Java and Python.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "books/epub_book.hpp"
#include "books/epub_text.hpp"
#include "tests/support/books/zip_reading.hpp"
#include "tests/support/temp_folder.hpp"
#include "text/codepage.hpp"
#include "text/files.hpp"

namespace quillreap::books {
namespace {

using Paragraphs = std::vector<std::string>;
using Runs = std::vector<Paragraphs>;

// The paragraphs of each file the lines are cut into at files' ends, their markup taken
// off again; every line must be whole "<p>...</p>\n".
Runs paragraphs_of(const ParagraphLines& lines, const std::vector<std::size_t>& files) {
  Runs runs;
  std::size_t start = 0, line = 0;
  for (const std::size_t file_end : files) {
    runs.emplace_back();
    for (; line < lines.ends.size() && lines.ends[line] <= file_end; ++line) {
      const std::string_view markup(lines.markup.data() + start, lines.ends[line] - start);
      EXPECT_TRUE(markup.starts_with("<p>") && markup.ends_with("</p>\n")) << markup;
      runs.back().emplace_back(markup.substr(3, markup.size() - 8));
      start = lines.ends[line];
    }
  }
  EXPECT_EQ(start, lines.markup.size());
  return runs;
}

std::string file_bytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(EpubText, MakesParagraphsOfTheNonEmptyLines) {
  const struct {
    std::string gbk;
    Paragraphs paragraphs;
  } cases[] = {
      {"", {}},
      {"\xA1\xA1\xA1\xA1\xC4\xE3\xBA\xC3\r\n\r\n  b\r\n", {"\xE4\xBD\xA0\xE5\xA5\xBD", "b"}},
      {"a\nb\rc\r\n", {"a", "b", "c"}},                // every line break
      {"  \r\n\xA1\xA1\r\n\t\r\n", {"\t"}},            // blank once trimmed
      {"x & y < z > w", {"x &amp; y &lt; z &gt; w"}},  // markup escaped
      {"a\x01\x08\x0B\x0C\x1F"
       "b\tc",
       {"ab\tc"}},               // forbidden controls dropped
      {"\x01\x02\r\nd", {"d"}},  // a line of controls only
      {"\x80\xFF"
       "a\x81",
       {"\xE2\x82\xAC?a?"}},                   // euro sign; no characters
      {"\x81\x20z", {"? z"}},                  // a lead before a space
      {"a  b\xA1\xA1", {"a  b\xE3\x80\x80"}},  // inner and trailing kept
  };
  for (const auto& c : cases) {
    const ParagraphLines lines = xml_paragraphs(c.gbk);
    EXPECT_EQ(paragraphs_of(lines, {lines.markup.size()}), Runs{c.paragraphs}) << c.gbk;
  }
}

TEST(EpubText, SplitsAtParagraphsWithinTheBudget) {
  // "<p></p>\n" adds 8 bytes to each paragraph.
  const struct {
    Paragraphs paragraphs;
    std::size_t budget;
    Runs runs;
  } cases[] = {
      {{}, 100, {{}}},
      {{"aa", "bb"}, 20, {{"aa", "bb"}}},  // exactly full
      {{"aa", "bb", "c"}, 20, {{"aa", "bb"}, {"c"}}},
      {{std::string(50, 'x'), "y"}, 20, {{std::string(50, 'x')}, {"y"}}},  // too long alone
      {{"a", std::string(50, 'x'), "y"}, 20, {{"a"}, {std::string(50, 'x')}, {"y"}}},
  };
  for (const auto& c : cases) {
    ParagraphLines lines;
    for (const std::string& paragraph : c.paragraphs) {
      lines.markup += "<p>" + paragraph + "</p>\n";
      lines.ends.push_back(lines.markup.size());
    }
    EXPECT_EQ(paragraphs_of(lines, split_paragraphs(lines, c.budget)), c.runs);
  }
}

TEST(EpubText, NamesTheBookByItsAddress) {
  // Python's uuid.uuid5(uuid.NAMESPACE_URL, address).
  const struct {
    std::string address, uuid;
  } cases[] = {
      {"http://127.0.0.1:8080/book/1.html", "fe252b82-abc1-5e3e-8f23-3439f6db149f"},
      {"https://www.example.com/", "3d3ed9d2-aa3d-5fa6-90e8-ed662e90f559"},
      {"", "1b4db7eb-4057-5ddf-91e0-36dec72071f5"},
  };
  for (const auto& c : cases) EXPECT_EQ(url_uuid(c.address), c.uuid) << c.address;
}

TEST(EpubText, WritesUtcTimes) {
  const struct {
    std::int64_t seconds;
    std::string text;
  } cases[] = {
      {0, "1970-01-01T00:00:00Z"},
      {951782400, "2000-02-29T00:00:00Z"},
      {1709251199, "2024-02-29T23:59:59Z"},
      {1798761599, "2026-12-31T23:59:59Z"},
      {253402300799, "9999-12-31T23:59:59Z"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(w3c_time(std::chrono::sys_seconds{std::chrono::seconds{c.seconds}}), c.text)
        << c.seconds;
}

// A book's chapters as a download hands them on, and the TXT it writes of them.
struct Chapter {
  std::string title;
  std::optional<std::string> text;  // nullopt: could not be had
};

const EpubDetails kDetails{"http://127.0.0.1/book/7.html", "\xB2\xE2\xCA\xD4\xCA\xE9",  // 测试书
                           "\xD7\xF7\xD5\xDF",                                          // 作者
                           "\xBC\xF2\xBD\xE9 & <intro>"};                               // 简介
constexpr std::int64_t kTime = 1700000000;

std::string write_book(const std::string& directory, const std::vector<Chapter>& chapters,
                       const EpubDetails& details = kDetails) {
  EpubBook book(directory, details, kTime);
  std::string txt = details.book_name + "\r\n\r\n";
  for (const Chapter& chapter : chapters) {
    txt += "\r\n\r\n" + chapter.title + "\r\n\r\n";
    if (chapter.text) {
      book.chapter(chapter.title, &*chapter.text);
      txt += *chapter.text;
    } else {
      book.chapter(chapter.title, nullptr);
    }
  }
  EXPECT_TRUE(book.finish());
  EXPECT_TRUE(text::write_file(directory + "/" + details.book_name + ".txt", text::to_bytes(txt)));
  return book.path();
}

std::vector<Chapter> small_book() {
  return {{"\xB5\xDA\xD2\xBB\xD5\xC2", std::string("\xA1\xA1\xA1\xA1\xC4\xE3\xBA\xC3\r\n\r\n")},
          {"\xB5\xDA\xB6\xFE\xD5\xC2", std::nullopt},
          {"", std::string("a & b\r\n")}};
}

TEST(EpubBook, LeavesNothingWhenNotFinishedAndKeepsAnEarlierBook) {
  test_support::TempFolder directory;
  const std::string earlier = directory.text() + "/\xB2\xE2\xCA\xD4\xCA\xE9.epub";
  ASSERT_TRUE(text::write_file(earlier, text::to_bytes("earlier")));
  {
    EpubBook book(directory.text(), kDetails, kTime);
    const Text text = "text";
    book.chapter("t", &text);
  }
  EXPECT_EQ(directory.entry_count(), 1);
  EXPECT_EQ(text::read_file(earlier), text::to_bytes("earlier"));
}

TEST(EpubBook, NamesOnlyTheAuthorAndIntroductionTheSiteKnows) {
  const struct {
    std::string author, introduction;
    bool creator, description;
  } cases[] = {
      {"\xD7\xF7\xD5\xDF", "\xBC\xF2\xBD\xE9", true, true},
      {"", "   ", false, false},
      {"  ", "", false, false},
  };
  for (const auto& c : cases) {
    test_support::TempFolder directory;
    const std::string path =
        write_book(directory.text(), small_book(), {"http://x/", "b", c.author, c.introduction});
    const std::optional<text::Bytes> epub = text::read_file(path);
    ASSERT_TRUE(epub);
    const std::optional<std::string> opf =
        test_support::zip_entry(std::string(epub->begin(), epub->end()), "EPUB/package.opf");
    ASSERT_TRUE(opf);
    EXPECT_EQ(opf->find("<dc:creator>") != std::string::npos, c.creator) << c.author;
    EXPECT_EQ(opf->find("<dc:description>") != std::string::npos, c.description) << c.introduction;
  }
}

TEST(EpubBook, ReportsAFailedWrite) {
  test_support::TempFolder directory;
  EpubBook book(directory.text() + "/missing", kDetails, kTime);
  book.chapter("t", nullptr);
  EXPECT_FALSE(book.finish());
  EXPECT_EQ(book.lost_chapters(), 1);
}

TEST(EpubBook, GivesTheGoldenBytesOnEveryPlatform) {
  // The golden book was written by the Linux build; the Windows build must match it, so a
  // book downloaded on either platform is the same file.
  test_support::TempFolder directory;
  const std::string path = write_book(directory.text(), small_book());
  const std::string golden = file_bytes(QUILLREAP_FIXTURES_DIR "/sources/epub/golden.epub");
  ASSERT_FALSE(golden.empty());
  const std::optional<text::Bytes> written = text::read_file(path);
  ASSERT_TRUE(written);
  if (*written != text::to_bytes(golden)) {
    // Kept in the test's working directory, to compare, or to take as the new golden book
    // after an intended change.
    text::write_file("golden-written.epub", *written);
    ADD_FAILURE() << "differs from the golden book; written to golden-written.epub";
  }
}

#ifndef _WIN32
// epubcheck needs Java and the reading back Python: the build host has both.
// Paths are GBK texts; the file system holds their UTF-8 form.
int check_epub(const std::string& epub, const std::string& txt) {
  const std::string command = "python3 " QUILLREAP_TESTS_DIR "/books/check_epub.py '" +
                              text::ansi_to_utf8(epub) + "' '" + text::ansi_to_utf8(txt) + "'";
  return std::system(command.c_str());
}

TEST(EpubBook, PassesEpubcheckAndReadsAsItsTxt) {
  std::string long_chapter;  // 300 KB of text: the chapter goes on in a second file
  for (int i = 0; long_chapter.size() < 300 * 1024; ++i)
    long_chapter +=
        "\xA1\xA1\xA1\xA1" + std::to_string(i) + std::string(60, '\xB0') + "\r\n";  // 30 x \xB0\xB0
  const struct {
    const char* name;
    std::vector<Chapter> chapters;
    EpubDetails details;
  } cases[] = {
      {"small book", small_book(), kDetails},
      {"lost chapters",
       {{"a", std::nullopt}, {"b", std::string("text\r\n")}, {"c", std::nullopt}},
       {"http://x/", "lost", "", "\xD4\xDD\xCE\xDE\xBC\xF2\xBD\xE9"}},  // 暂无简介
      {"hostile text",
       {{"1 & <2> \x01", std::string("&amp; <p> \x02\x1F\x7F\r\n\x80\x81\xFF\xFE\x40\r\n")},
        {"long", long_chapter},
        {"after", std::string("end")}},
       {"http://x/?a=1&b=<2>", "a&b<c>", "x\x01y", "<b>\x0B"}},
  };
  for (const auto& c : cases) {
    test_support::TempFolder directory;
    const std::string epub = write_book(directory.text(), c.chapters, c.details);
    EXPECT_EQ(check_epub(epub, directory.text() + "/" + c.details.book_name + ".txt"), 0) << c.name;
  }
}
#endif

}  // namespace
}  // namespace quillreap::books
