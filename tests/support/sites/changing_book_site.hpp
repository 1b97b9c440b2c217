// A source 1 book on a loopback site that changes between downloads: chapters added at the
// end, titles changed, chapters that answer 404 until served, and a count of the chapter
// pages asked for. For tests of what a download fetches again and what it takes from the
// chapter store. Pages come from the sample site's own builders.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "sites/site_config.hpp"
#include "tests/support/sites/test_site_config.hpp"
#include "tools/loopback/http_server.hpp"
#include "tools/sample-sites/served_sites.hpp"
#include "tools/sample-sites/site_paths.hpp"
#include "tools/sample-sites/source1_pages.hpp"

namespace quillreap::sites {

class ChangingBookSite {
 public:
  static constexpr char kBookId[] = "7_7";
  static constexpr char kBookName[] = "变化之书";

  // Chapters 1..chapters, titled "第n章 标题n".
  explicit ChangingBookSite(int chapters = 3)
      : server_([this](const loopback::Request& request) { return answer(request); }) {
    add_chapters(chapters);
  }

  std::string host() const { return server_.host(); }
  // The site as source 1; the other hosts lead nowhere.
  SiteConfig config() const { return test_site_config("127.0.0.1:1", host(), "127.0.0.1:3"); }
  Text book_address() const { return "http://" + host() + "/" + kBookId + "/"; }
  Text chapter_address(int n) const { return book_address() + std::to_string(n) + ".html"; }

  // Changes take effect with the next request.
  void add_chapters(int count) {
    std::lock_guard lock(mutex_);
    for (int i = 0; i < count; ++i) {
      const std::string n = std::to_string(chapters_.size() + 1);
      // Long enough not to be taken for a placeholder the site has yet to fill in.
      chapters_.push_back({"第" + n + "章 标题" + n,
                           "　　这是第" + n + "章的正文。它只有一段，却已写得足够长，" +
                               "不会被当成网站还没填上内容的占位章节。",
                           false});
    }
  }
  void set_title(int n, const Text& title) {
    std::lock_guard lock(mutex_);
    chapters_.at(static_cast<std::size_t>(n - 1)).title = title;
  }
  void set_text(int n, const Text& text) {
    std::lock_guard lock(mutex_);
    chapters_.at(static_cast<std::size_t>(n - 1)).text = text;
  }
  // A withheld chapter is listed in the index but its page answers 404.
  void withhold(int n, bool withheld = true) {
    std::lock_guard lock(mutex_);
    chapters_.at(static_cast<std::size_t>(n - 1)).withheld = withheld;
  }

  // Chapter n and every later one stall: the connection stays open and nothing is sent,
  // so a download waits there until it is stopped. 0 serves every chapter again.
  void stall_from(int n) {
    std::lock_guard lock(mutex_);
    stall_from_ = n;
  }

  int chapter_count() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(chapters_.size());
  }
  Text title(int n) const {
    std::lock_guard lock(mutex_);
    return chapters_.at(static_cast<std::size_t>(n - 1)).title;
  }
  // Chapter pages asked for since the start or the last reset_counts(), 404s included.
  int chapter_requests() const {
    std::lock_guard lock(mutex_);
    int total = 0;
    for (const auto& [n, count] : requests_) total += count;
    return total;
  }
  int requests_for(int n) const {
    std::lock_guard lock(mutex_);
    const auto found = requests_.find(n);
    return found == requests_.end() ? 0 : found->second;
  }
  void reset_counts() {
    std::lock_guard lock(mutex_);
    requests_.clear();
  }

  // The book file a download from scratch writes now: every chapter under its heading,
  // a withheld one with no text. The texts hold nothing the source 1 cleaning changes.
  Text expected_book() const {
    std::lock_guard lock(mutex_);
    Text book = Text(kBookName) + "\r\n\r\n";
    for (const Chapter& chapter : chapters_) {
      book += "\r\n\r\n" + chapter.title + "\r\n\r\n";
      if (!chapter.withheld) book += chapter.text;
    }
    return book;
  }

 private:
  struct Chapter {
    Text title;
    Text text;
    bool withheld;
  };

  // Runs on the server's thread.
  loopback::Response answer(const loopback::Request& request) {
    const std::vector<std::string> pieces = sample_sites::path_pieces(request.target);
    if (pieces.size() != 2 || pieces[0] != kBookId) return sample_sites::not_found();
    std::lock_guard lock(mutex_);
    if (pieces[1].empty())
      return sample_sites::gbk_page(
          sample_sites::source1_book_page(kBookId, kBookName, "佚名", "会变的书", false));
    if (pieces[1] == "index.html") {
      std::vector<sample_sites::IndexEntry> entries;
      // Appended piece by piece: GCC 12 misreads "/" + std::string(...) under MinGW as an
      // overlapping copy (-Wrestrict).
      for (std::size_t i = 0; i < chapters_.size(); ++i) {
        std::string link = "/";
        link.append(kBookId).append("/").append(std::to_string(i + 1)).append(".html");
        entries.push_back({link, chapters_[i].title});
      }
      return sample_sites::gbk_page(sample_sites::source1_index_page(kBookName, entries));
    }
    const int n = sample_sites::chapter_number(pieces[1]);
    if (n < 1 || n > static_cast<int>(chapters_.size())) return sample_sites::not_found();
    ++requests_[n];
    const Chapter& chapter = chapters_[static_cast<std::size_t>(n - 1)];
    if (chapter.withheld) return sample_sites::not_found();
    if (stall_from_ > 0 && n >= stall_from_) {
      loopback::Response stall;
      stall.action = loopback::Response::Action::kStall;
      return stall;
    }
    return sample_sites::gbk_page(
        sample_sites::source1_chapter_page(kBookId, chapter.title, chapter.text));
  }

  mutable std::mutex mutex_;
  std::vector<Chapter> chapters_;
  std::map<int, int> requests_;  // chapter number -> pages asked for
  int stall_from_ = 0;
  loopback::HttpServer server_;  // last: stopped before what it serves goes
};

}  // namespace quillreap::sites
