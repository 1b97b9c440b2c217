// End to end against the bundled sample sites: each search lists the catalogue's books
// cell by cell, and each download writes a book equal byte for byte to its golden file,
// with the status lines in order.
#include <gtest/gtest.h>

#include "download/source_downloads.hpp"
#include "sites/site_search.hpp"
#include "tests/support/golden_book.hpp"
#include "tests/support/recording_report.hpp"
#include "tests/support/temp_folder.hpp"
#include "text/files.hpp"
#include "tools/sample-sites/catalogue.hpp"
#include "tools/sample-sites/sample_sites.hpp"

namespace quillreap::download {

using namespace sites;
using namespace books;
namespace {

using sample_sites::SampleBook;
using test_support::golden_book;

const SampleBook& book_named(std::span<const SampleBook> books, const Text& name) {
  for (const SampleBook& book : books)
    if (book.name == name) return book;
  ADD_FAILURE() << "no sample book " << name;
  return books[0];
}

class SampleSites : public ::testing::Test {
 protected:
  SampleSites() : config_(sites_.config()) {}

  // The statuses a complete download shows: titles as the index cut gives them (source 1
  // closes a title at its first apostrophe).
  static std::vector<Text> statuses(int source, const SampleBook& book) {
    std::vector<Text> out = {"已查找到" + Text(book.name) + "的所有章节,请等待程序处理",
                             "程序正在解析" + Text(book.name) + "的所有章节,请耐心等待"};
    for (const auto& chapter : book.chapters) {
      const std::string_view title =
          source == 1 ? chapter.title.substr(0, chapter.title.find('\'')) : chapter.title;
      out.push_back("正在处理 《" + Text(title) + "》");
    }
    out.push_back("书籍:" + Text(book.name) + "的所有章节已生成TXT文本在程序目录下");
    return out;
  }
  // Searches with the book's name and returns the row that lists it.
  int search_row(int source, const Text& name) {
    controls_.list_clear();
    if (source == 1)
      search_source1(name, controls_, config_);
    else
      search_source2(name, controls_, config_);
    for (int row = 0; row < controls_.row_count(); ++row)
      if (controls_.list_get_cell(row, 1) == name) return row;
    ADD_FAILURE() << "no row for " << name;
    return 0;
  }
  Text read_book(const Text& name) {
    const auto bytes = text::read_file(dir_.text() + "/" + name + ".txt");
    return bytes ? Text(bytes->begin(), bytes->end()) : Text("<no file>");
  }

  sample_sites::SampleSites sites_;
  SiteConfig config_;
  test_support::TempFolder dir_;
  test_support::RecordingReport<download::Report> controls_;
};

TEST_F(SampleSites, Source1SearchListsEveryMatchingBook) {
  EXPECT_EQ(search_source1("", controls_, config_), "搜索完成!");
  const auto books = sample_sites::source1_books();
  ASSERT_EQ(controls_.row_count(), static_cast<int>(books.size()));
  for (int row = 0; row < controls_.row_count(); ++row) {
    const SampleBook& book = books[row];
    const test_support::RecordingReport<download::Report>::Row cells = controls_.rows()[row];
    EXPECT_EQ(cells[0], "http://" + sites_.source1_host() + "/" + Text(book.id) + "/");
    EXPECT_EQ(cells[1], book.name);
    EXPECT_EQ(cells[2], book.intro.empty() ? Text("暂无简介") : Text(book.intro));
    EXPECT_EQ(cells[3], book.author);
    EXPECT_EQ(cells[4], "");
  }
  EXPECT_EQ(controls_.selected_row(), 0);
  EXPECT_EQ(controls_.status_history(), (std::vector<Text>{"正在源站①搜索中."}));

  // The matched letters come wrapped in <em> (or <EM>); the names come out whole.
  controls_.list_clear();
  search_source1("西游", controls_, config_);
  ASSERT_EQ(controls_.row_count(), 2);
  EXPECT_EQ(controls_.list_get_cell(0, 1), "西游记");
  EXPECT_EQ(controls_.list_get_cell(1, 1), "西游补");
}

TEST_F(SampleSites, Source2SearchListsEveryMatchingBook) {
  EXPECT_EQ(search_source2("", controls_, config_), "搜索完成!");
  const auto books = sample_sites::source2_books();
  ASSERT_EQ(controls_.row_count(), static_cast<int>(books.size()));
  for (int row = 0; row < controls_.row_count(); ++row) {
    const SampleBook& book = books[row];
    const test_support::RecordingReport<download::Report>::Row cells = controls_.rows()[row];
    EXPECT_EQ(cells[0], "http://" + sites_.source2_host() + "/Book/" + Text(book.id) + ".aspx");
    EXPECT_EQ(cells[1], book.name);
    EXPECT_EQ(cells[2], book.intro.empty() ? Text("暂无简介") : Text(book.intro));
    EXPECT_EQ(cells[3], book.author);
    EXPECT_EQ(cells[4], "");
  }
  EXPECT_EQ(controls_.selected_row(), 0);
  controls_.list_clear();
  search_source2("三国", controls_, config_);
  EXPECT_EQ(controls_.row_count(), 1);
}

TEST_F(SampleSites, DownloadsMatchTheirGoldenFiles) {
  const struct {
    int source;
    const char* name;
    const char* golden;
  } cases[] = {
      {1, "西游记", "source1_xiyouji"},       {1, "水浒传", "source1_shuihuzhuan"},
      {1, "三国演义", "source1_sanguoyanyi"}, {2, "西游记", "source2_xiyouji"},
      {2, "三国演义", "source2_sanguoyanyi"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.golden);
    const int row = search_row(c.source, c.name);
    const Text address = controls_.list_get_cell(row, 0);
    const Text name = controls_.list_get_cell(row, 1);
    const auto statuses_before = controls_.status_history().size();
    // Each book in a directory of its own: both sources hold books of the same names.
    test_support::TempFolder dir;
    const BookOutcome outcome =
        c.source == 1 ? download_source1(address, name, controls_, config_, dir.text())
                      : download_source2(address, name, controls_, config_, dir.text());
    EXPECT_EQ(outcome, BookOutcome::kComplete);
    const auto bytes = text::read_file(dir.text() + "/" + name + ".txt");
    EXPECT_EQ(bytes ? Text(bytes->begin(), bytes->end()) : Text("<no file>"),
              golden_book(c.golden));
    const auto books =
        c.source == 1 ? sample_sites::source1_books() : sample_sites::source2_books();
    const auto history = controls_.status_history();
    EXPECT_EQ(std::vector<Text>(history.begin() + statuses_before, history.end()),
              statuses(c.source, book_named(books, name)));
  }
}

}  // namespace
}  // namespace quillreap::download
