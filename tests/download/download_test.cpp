// Both downloads against small loopback sites: the book's bytes and the status lines in
// order, the markers that ignore case and those that don't, and the mended failures (no
// file without an index, lost chapters kept in place and counted, unsafe names).
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>

#include "download/chapter_store.hpp"
#include "download/source_downloads.hpp"
#include "download/status_texts.hpp"
#include "sites/builtin_sites.hpp"
#include "tests/support/page_server.hpp"
#include "tests/support/recording_report.hpp"
#include "tests/support/sites/test_site_config.hpp"
#include "tests/support/temp_folder.hpp"
#include "text/files.hpp"

namespace quillreap::download {

using namespace sites;
using namespace books;
using test_support::PageServer;
namespace {

using Statuses = std::vector<Text>;

Text heading(const Text& title) {
  return "\r\n\r\n" + title + "\r\n\r\n";
}

class Downloads : public ::testing::Test {
 protected:
  Downloads()
      : config_(test_site_config("127.0.0.1:1", site_.host(), site_.host())),
        root_("http://" + site_.host()) {
    // These tests read the requests in the order they reach the site: one page at a time.
    // Several in flight give the same book (tests/download/pages_in_flight_test.cpp).
    config_.connections = 1;
  }

  Text book_path(const Text& stem) const { return dir_.text() + "/" + stem + ".txt"; }
  Text read_book(const Text& stem) const {
    const auto bytes = text::read_file(book_path(stem));
    return bytes ? Text(bytes->begin(), bytes->end()) : Text("<no file>");
  }
  BookOutcome download1(const Text& name) {
    return download_source1(root_ + "/book/7/", name, controls_, config_, dir_.text());
  }
  BookOutcome download2(const Text& name) {
    return download_source2(root_ + "/Book/12.aspx", name, controls_, config_, dir_.text());
  }

  // Source 1: book page, index and chapter pages.
  void source1_book(const Text& extra = "") {
    site_.page("/book/7/", "<p>" + extra +
                               "<span><a href=\"/read/7/1.html\">开始阅读</a></span><span><a "
                               "href=\"/index/7/\" class=\"m\">查看目录</a></span></p>");
  }
  static Text source1_entry(const Text& link, const Text& title) {
    return "<li><a href='" + link + "'>" + title + "<span></span></a></li>\r\n";
  }
  static Text source1_chapter(const Text& body) {
    return "<div class=\"t\">x</div><div id=\"nr1\">" + body + "</div><div>tail</div>";
  }
  // Source 2: book page, index and chapter pages.
  void source2_book() {
    site_.page("/Book/12.aspx",
               "<div class=\"b1\"><a href=\"/Book/12/Index.html\" id=\"idx\">目录</a></div>");
  }
  static Text source2_entry(const Text& link, const Text& title) {
    return "<li><strong ><a href=\"" + link + "\" title=\"" + title + "\">" + title +
           "</a></strong ></li>\r\n";
  }
  static Text source2_chapter(const Text& body) {
    return "<div id=\"contentbox\"><br />" + body + "<br /><br /></div>";
  }

  PageServer site_;
  SiteConfig config_;
  Text root_;
  test_support::TempFolder dir_;
  test_support::RecordingReport<download::Report> controls_;
};

TEST_F(Downloads, Source2BuildsTheBookInIndexOrder) {
  source2_book();
  site_.page("/Book/12/",
             "<ul>" + source2_entry("1.html", "第一回") +
                 // The entry markers ignore case.
                 "<LI><STRONG ><A href=\"2.html\" title=\"b\">第二回</a></STRONG ></LI>" +
                 source2_entry("1.html", "第一回") + "</ul>");
  site_.page("/Book/12/1.html",
             source2_chapter("甲&nbsp;乙<br>丙<br />丁" + sites::source2_ad_sentences(config_)[0]));
  site_.page("/Book/12/2.html", source2_chapter(""));  // markers there, text empty
  EXPECT_EQ(download2("西游记"), BookOutcome::kComplete);

  const Text first = "甲 乙\r\n丙<br />丁";
  const Text book =
      "西游记\r\n\r\n" + heading("第一回") + first + heading("第二回") + heading("第一回") + first;
  EXPECT_EQ(read_book("西游记"), book);
  EXPECT_EQ(controls_.book_buffer(), book);
  // One fetch per chapter, in index order; a chapter listed twice is fetched twice.
  EXPECT_EQ(site_.targets(),
            (std::vector<std::string>{"/Book/12.aspx", "/Book/12/", "/Book/12/1.html",
                                      "/Book/12/2.html", "/Book/12/1.html"}));
  EXPECT_EQ(controls_.status_history(),
            (Statuses{"已查找到西游记的所有章节,请等待程序处理",
                      "程序正在解析西游记的所有章节,请耐心等待", "正在处理 《第一回》",
                      "正在处理 《第二回》", "正在处理 《第一回》",
                      "书籍:西游记的所有章节已生成TXT文本在程序目录下"}));
}

TEST_F(Downloads, Source2ChaptersThatCannotBeHadKeepTheirPlace) {
  source2_book();
  site_.page("/Book/12/",
             source2_entry("1.html", "一") + source2_entry("2.html", "二") +
                 source2_entry("3.html", "三") +
                 // Empty after trimming: a chapter with no title whose address is the index.
                 "<li><strong ><a   </strong ></li>" + source2_entry("5.html", "五"));
  site_.page("/Book/12/1.html", source2_chapter("正文一"));
  site_.not_found("/Book/12/2.html");
  site_.page("/Book/12/3.html", "<div id=\"CONTENTBOX\"><br />大写<br /><br /></div>");
  site_.page("/Book/12/5.html", source2_chapter("正文五"));
  EXPECT_EQ(download2("书"), BookOutcome::kWrittenWithGaps);
  EXPECT_EQ(read_book("书"), "书\r\n\r\n" + heading("一") + "正文一" + heading("二") +
                                 heading("三") + heading("") + heading("五") + "正文五");
  EXPECT_EQ(site_.targets()[5], "/Book/12/");
  EXPECT_EQ(controls_.status_history()[5], "正在处理 《》");
  EXPECT_EQ(controls_.status(), "书籍:书的所有章节已生成TXT文本在程序目录下(有3章获取失败)");
}

TEST_F(Downloads, Source1BuildsTheBookInIndexOrder) {
  source1_book();
  site_.page("/index/7/", source1_entry("/read/7/1.html", "第一回") +
                              // Entry markers ignore case; the title stops at its own apostrophe.
                              "<LI><A HREF='/read/7/2.html'>孔明'借箭<SPAN></SPAN></A></LI>" +
                              source1_entry("/read/7/3.html", "第三回"));
  site_.page("/read/7/1.html", source1_chapter("甲&nbsp;乙<br /><br />丙<BR /><br /><br />丁<br>"));
  site_.page("/read/7/2.html", source1_chapter("二"));
  site_.page("/read/7/3.html", source1_chapter("三\r\n\r\n\r\n\r\n三"));
  EXPECT_EQ(download1("三国演义"), BookOutcome::kComplete);
  const Text book = "三国演义\r\n\r\n" + heading("第一回") + "甲 乙\r\n丙\r\n\r\n丁<br>" +
                    heading("孔明") + "二" + heading("第三回") + "三\r\n\r\n三";
  EXPECT_EQ(read_book("三国演义"), book);
  // Chapter links are paths on the host, not under the index.
  EXPECT_EQ(site_.targets(), (std::vector<std::string>{"/book/7/", "/index/7/", "/read/7/1.html",
                                                       "/read/7/2.html", "/read/7/3.html"}));
  EXPECT_EQ(controls_.status_history(),
            (Statuses{"已查找到三国演义的所有章节,请等待程序处理",
                      "程序正在解析三国演义的所有章节,请耐心等待", "正在处理 《第一回》",
                      "正在处理 《孔明》", "正在处理 《第三回》",
                      "书籍:三国演义的所有章节已生成TXT文本在程序目录下"}));
}

TEST_F(Downloads, Source1WarningBookIsRefusedUntouched) {
  source1_book("<b>Warning</b>: book damaged");
  controls_.append_log("earlier book");
  EXPECT_EQ(download1("坏书"), BookOutcome::kNotWritten);
  EXPECT_EQ(controls_.status_history(), (Statuses{"该书籍有错误!请更换书籍"}));
  EXPECT_EQ(controls_.book_buffer(), "earlier book");
  EXPECT_EQ(site_.targets().size(), 1u);
  EXPECT_EQ(dir_.entry_count(), 0);

  // The word is matched with its exact case only.
  source1_book("<b>warning</b>");
  site_.page("/index/7/", source1_entry("/read/7/1.html", "一"));
  site_.page("/read/7/1.html", source1_chapter("正文"));
  EXPECT_EQ(download1("坏书"), BookOutcome::kComplete);
  EXPECT_EQ(read_book("坏书"), "坏书\r\n\r\n" + heading("一") + "正文");
}

TEST_F(Downloads, Source1ChaptersThatCannotBeHadKeepTheirPlace) {
  source1_book();
  site_.page("/", "<html>front page</html>");
  site_.page("/index/7/", source1_entry("/read/7/1.html", "一") +
                              source1_entry("/read/7/2.html", "二") +
                              "<li><a href= <span></span></a></li>" +  // empty entry
                              source1_entry("/read/7/4.html", "四"));
  site_.page("/read/7/1.html", source1_chapter("正文一"));
  loopback::Response closed;
  closed.action = loopback::Response::Action::kClose;
  site_.respond("/read/7/2.html", closed);
  site_.page("/read/7/4.html", "<div id=\"nr1\">no closing marker");
  EXPECT_EQ(download1("书"), BookOutcome::kWrittenWithGaps);
  EXPECT_EQ(read_book("书"),
            "书\r\n\r\n" + heading("一") + "正文一" + heading("二") + heading("") + heading("四"));
  // The empty entry's address is the host alone: the front page, cut as a chapter.
  const auto targets = site_.targets();
  EXPECT_NE(std::find(targets.begin(), targets.end(), "/"), targets.end());
  EXPECT_EQ(controls_.status(), "书籍:书的所有章节已生成TXT文本在程序目录下(有3章获取失败)");
}

// An error page or a cut-off page is lost even when the bytes that did arrive hold the
// chapter markers and text: the book must not take a server's error page for a chapter.
TEST_F(Downloads, FailedChapterFetchesAreLostWhateverTheirBodyHolds) {
  const auto failing = [](int status, const Text& body) {
    loopback::Response response;
    response.status = status;
    response.reason = status == 404 ? "Not Found" : "Internal Server Error";
    response.body = body;
    return response;
  };
  // The head announces more bytes than follow; the server then closes the connection.
  const auto cut_off = [](const Text& body) {
    loopback::Response response;
    response.raw = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size() + 100) +
                   "\r\nConnection: close\r\n\r\n" + body;
    return response;
  };
  const Text lost_line = "书籍:书的所有章节已生成TXT文本在程序目录下(有3章获取失败)";
  const Text book =
      "书\r\n\r\n" + heading("一") + "正文一" + heading("二") + heading("三") + heading("四");

  source1_book();
  site_.page("/index/7/",
             source1_entry("/read/7/1.html", "一") + source1_entry("/read/7/2.html", "二") +
                 source1_entry("/read/7/3.html", "三") + source1_entry("/read/7/4.html", "四"));
  site_.page("/read/7/1.html", source1_chapter("正文一"));
  site_.respond("/read/7/2.html", failing(404, source1_chapter("错页二")));
  site_.respond("/read/7/3.html", failing(500, source1_chapter("错页三")));
  site_.respond("/read/7/4.html", cut_off(source1_chapter("半页四")));
  EXPECT_EQ(download1("书"), BookOutcome::kWrittenWithGaps);
  EXPECT_EQ(read_book("书"), book);
  EXPECT_EQ(controls_.status(), lost_line);

  source2_book();
  site_.page("/Book/12/", source2_entry("1.html", "一") + source2_entry("2.html", "二") +
                              source2_entry("3.html", "三") + source2_entry("4.html", "四"));
  site_.page("/Book/12/1.html", source2_chapter("正文一"));
  site_.respond("/Book/12/2.html", failing(404, source2_chapter("错页二")));
  site_.respond("/Book/12/3.html", failing(500, source2_chapter("错页三")));
  site_.respond("/Book/12/4.html", cut_off(source2_chapter("半页四")));
  EXPECT_EQ(download2("书"), BookOutcome::kWrittenWithGaps);
  EXPECT_EQ(read_book("书"), book);
  EXPECT_EQ(controls_.status(), lost_line);
}

// Source 2's closing marker begins with the "<br />" that ends its opening one; that
// shared "<br />" cannot serve both, so a page holding only one of them has lost its text.
// A page cut that throws is a fault of the program's, not a chapter the site kept back: it
// reaches the worker, which reports "下载出错:", whichever thread cut the page; no book.
TEST_F(Downloads, AThrowingPageCutEndsTheDownloadWithItsFault) {
  source1_book();
  site_.page("/index/7/",
             source1_entry("/read/7/1.html", "一") + source1_entry("/read/7/2.html", "二"));
  site_.page("/read/7/1.html", source1_chapter("甲"));
  site_.page("/read/7/2.html", source1_chapter("乙"));
  sites::Site site = sites::builtin_site(sites::kSource1Id, config_);
  sites::CutStep throwing;
  throwing.run = [](const sites::CutStep&, Text chapter, const sites::CutPlace&) -> Text {
    if (chapter.find("乙") != Text::npos) throw std::runtime_error("cut failed");
    return chapter;
  };
  site.chapter.cleaning.push_back(throwing);
  const SourcePages pages(site);
  for (const int connections : {1, 4}) {
    config_.connections = connections;
    try {
      download_book(root_ + "/book/7/", "书", controls_, config_, dir_.text(), pages);
      ADD_FAILURE() << "no fault with " << connections << " connections";
    } catch (const std::runtime_error& error) {
      EXPECT_STREQ(error.what(), "cut failed");
    }
    EXPECT_EQ(read_book("书"), "<no file>");
  }
}

TEST_F(Downloads, Source2ClosingMarkerCountsOnlyBehindTheOpeningOne) {
  source2_book();
  site_.page("/Book/12/", source2_entry("1.html", "一") + source2_entry("2.html", "二"));
  site_.page("/Book/12/1.html", "<div id=\"contentbox\"><br /><br /></div>");
  site_.page("/Book/12/2.html", source2_chapter(""));  // both markers whole: empty, not lost
  EXPECT_EQ(download2("书"), BookOutcome::kWrittenWithGaps);
  EXPECT_EQ(read_book("书"), "书\r\n\r\n" + heading("一") + heading("二"));
  EXPECT_EQ(controls_.status(), "书籍:书的所有章节已生成TXT文本在程序目录下(有1章获取失败)");
}

TEST_F(Downloads, NoIndexMeansNoFile) {
  const Text earlier = "earlier book";
  ASSERT_TRUE(text::write_file(book_path("书"), text::to_bytes(earlier)));
  const Text no_index = "未能获取书的章节目录,未生成TXT文本";

  // Dead book page: nothing else is fetched.
  EXPECT_EQ(download1("书"), BookOutcome::kNotWritten);
  EXPECT_EQ(download2("书"), BookOutcome::kNotWritten);
  EXPECT_EQ(controls_.status_history(), (Statuses{no_index, no_index}));
  EXPECT_EQ(site_.targets().size(), 2u);

  // Dead index page.
  source1_book();
  source2_book();
  site_.not_found("/index/7/");
  site_.not_found("/Book/12/");
  EXPECT_EQ(download1("书"), BookOutcome::kNotWritten);
  EXPECT_EQ(controls_.status(), no_index);
  EXPECT_EQ(download2("书"), BookOutcome::kNotWritten);
  EXPECT_EQ(controls_.status(), no_index);

  // An index with no chapter entry.
  site_.page("/index/7/", "<ul></ul>");
  site_.page("/Book/12/", "<ul></ul>");
  EXPECT_EQ(download1("书"), BookOutcome::kNotWritten);
  EXPECT_EQ(controls_.status(), no_index);
  EXPECT_EQ(download2("书"), BookOutcome::kNotWritten);
  EXPECT_EQ(controls_.status_history().back(), no_index);
  EXPECT_EQ(controls_.status_history().end()[-2], "程序正在解析书的所有章节,请耐心等待");

  // A book page without the index link falls back to the front page, which has none.
  site_.page("/Book/12.aspx", "<html>moved</html>");
  site_.page("/", "<html>front page</html>");
  EXPECT_EQ(download2("书"), BookOutcome::kNotWritten);
  EXPECT_EQ(site_.targets().back(), "/");

  EXPECT_EQ(read_book("书"), earlier);
  EXPECT_EQ(dir_.entry_count(), 1);
}

TEST_F(Downloads, BookNamesFromThePageStayInsideTheDirectory) {
  source2_book();
  site_.page("/Book/12/", source2_entry("1.html", "一"));
  site_.page("/Book/12/1.html", source2_chapter("正文"));
  for (const Text name : {"../越界/书", "..\\越界", "淺東", "CON", "nul.txt", ".."}) {
    EXPECT_EQ(download2(name), BookOutcome::kComplete) << name;
    EXPECT_EQ(read_book(safe_book_file_name(name)), name + "\r\n\r\n" + heading("一") + "正文");
    EXPECT_EQ(controls_.status(), "书籍:" + name + "的所有章节已生成TXT文本在程序目录下");
  }
  EXPECT_EQ(read_book(".._越界_书"), "../越界/书\r\n\r\n" + heading("一") + "正文");
  EXPECT_EQ(read_book("淺東"), "淺東\r\n\r\n" + heading("一") + "正文");
  EXPECT_EQ(read_book("_CON"), "CON\r\n\r\n" + heading("一") + "正文");
  EXPECT_EQ(dir_.entry_count(), 6);
}

TEST_F(Downloads, FailedWriteIsReported) {
  source1_book();
  site_.page("/index/7/", source1_entry("/read/7/1.html", "一"));
  site_.page("/read/7/1.html", source1_chapter("正文"));
  // Tests may run as root: a directory where the book goes makes the write fail.
  ASSERT_TRUE(std::filesystem::create_directory(dir_.path() / "book.txt"));
  EXPECT_EQ(download1("book"), BookOutcome::kNotWritten);
  EXPECT_EQ(controls_.status(), "书籍:book的TXT文本保存失败");
  EXPECT_EQ(dir_.entry_count(), 1);
}

// Reports into another report, and runs a step once the download has counted what its
// store holds, before it reads any of it.
class StepAfterStoreCount : public Report {
 public:
  StepAfterStoreCount(Report& inner, std::function<void()> step)
      : inner_(inner), step_(std::move(step)) {}
  void set_status(std::string_view text) override {
    const Text from_store = from_store_line(0).substr(0, 8);  // 本地已存
    if (step_ && text.starts_with(from_store)) std::exchange(step_, {})();
    inner_.set_status(text);
  }
  void append_log(std::string_view text) override { inner_.append_log(text); }
  void log_clear() override { inner_.log_clear(); }
  Text log_text() override { return inner_.log_text(); }
  int list_append_row() override { return inner_.list_append_row(); }
  void list_set_cell(int row, int column, std::string_view text) override {
    inner_.list_set_cell(row, column, text);
  }
  void list_select_row(int row) override { inner_.list_select_row(row); }

 private:
  Report& inner_;
  std::function<void()> step_;
};

TEST_F(Downloads, KeptChaptersTheStoreLosesDuringTheDownloadAreFetchedAfterAll) {
  source2_book();
  site_.page("/Book/12/", source2_entry("1.html", "一") + source2_entry("2.html", "二"));
  // Texts long enough to be kept: a placeholder would not be.
  const Text filler(80, 'x');
  site_.page("/Book/12/1.html", source2_chapter("正文一" + filler));
  site_.page("/Book/12/2.html", source2_chapter("正文二" + filler));
  ASSERT_EQ(download2("书"), BookOutcome::kComplete);
  const Text book = read_book("书");

  // Another program starts the store again between this download's count and its reads.
  StepAfterStoreCount report(controls_, [&] {
    const ChapterStore fresh(dir_.text(), root_ + "/Book/12.aspx", ChapterStore::Mode::kFresh);
  });
  EXPECT_EQ(download_source2(root_ + "/Book/12.aspx", "书", report, config_, dir_.text()),
            BookOutcome::kComplete);
  EXPECT_EQ(read_book("书"), book);
  EXPECT_EQ(site_.targets().size(), 8u);  // both chapters fetched again
  ChapterStore store(dir_.text(), root_ + "/Book/12.aspx");
  EXPECT_EQ(store.read(root_ + "/Book/12/2.html", "二"), "正文二" + filler);
}

}  // namespace
}  // namespace quillreap::download
