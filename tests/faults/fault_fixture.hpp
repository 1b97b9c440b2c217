// One fault site for a whole test program, and a download or search through the
// controller on the headless controls, with an earlier book of the same name waiting in a
// book directory nested two levels inside a fresh root, so that a file written outside it
// shows up.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/controller.hpp"
#include "books/book_file.hpp"
#include "books/status_texts.hpp"
#include "download/status_texts.hpp"
#include "http/timeouts.hpp"
#include "sites/status_texts.hpp"

#include "tests/support/app/spy_controls.hpp"
#include "tests/support/app/spy_shell.hpp"
#include "tests/support/temp_folder.hpp"
#include "text/files.hpp"
#include "tools/sample-sites/faults.hpp"

namespace quillreap::faults {

using sample_sites::FaultSites;
using text::Text;

// What a download left behind.
struct Download {
  Text status;
  std::vector<Text> statuses;
  std::string book_buffer;  // the log box
  std::string file;         // the book file's bytes ("" when there is none)
  bool file_exists = false;
  std::vector<std::string>
      stray;  // every entry under the root but the directory chain and the book
  bool busy = true;
};

class FaultTest : public ::testing::Test {
 public:
  static constexpr char kEarlierBook[] = "an earlier book\r\n\xB5\xDA\xD2\xBB\xD5\xC2\r\n";

 protected:
  static void SetUpTestSuite() { site_ = std::make_unique<FaultSites>(); }
  static void TearDownTestSuite() { site_.reset(); }

  FaultTest() { std::filesystem::create_directories(books_); }

  static FaultSites& site() { return *site_; }
  // The fault site's settings. A stalled page ends by the receive time-out; a short one
  // keeps the suite quick.
  static sites::SiteConfig fault_config() {
    sites::SiteConfig config = site().config();
    config.timeouts = {.connect = http::kDefaultTimeouts.connect,
                       .send = std::chrono::milliseconds(1500),
                       .receive = std::chrono::milliseconds(1500)};
    return config;
  }
  Text books_text() const { return books_.generic_string(); }
  Text book_path(const Text& name) const {
    return books_text() + "/" + books::safe_book_file_name(name) + ".txt";
  }
  void write_earlier_book(const Text& name) const {
    const std::string earlier = kEarlierBook;
    ASSERT_TRUE(text::write_file(book_path(name), text::Bytes(earlier.begin(), earlier.end())));
  }

  // Downloads address under name by clicking 生成TXT on a row, after an earlier book of that
  // name was written (unless earlier is false: the directory is then left as it is); the
  // configuration is the fault site's unless given.
  Download download(const std::string& address, const Text& name,
                    const sites::SiteConfig* config = nullptr, bool earlier = true) {
    if (earlier) {
      // Each download starts from a book directory holding only the earlier book.
      std::filesystem::remove_all(books_);
      std::filesystem::create_directories(books_);
      write_earlier_book(name);
    }
    test_support::SpyControls controls;
    test_support::SpyShell shell(&controls.dispatcher());
    app::Controller controller(controls, shell, config ? *config : fault_config(), books_text());
    const int row = controls.list_append_row();
    controls.list_set_cell(row, 0, address);
    controls.list_set_cell(row, 1, name);
    controls.list_select_row(row);
    controller.on_generate();
    Download result;
    EXPECT_TRUE(shell.wait_workers(std::chrono::minutes(10))) << "the download did not end";
    result.status = controls.status();
    result.statuses = controls.status_history();
    result.book_buffer = controls.book_buffer();
    result.busy = controls.busy();
    const auto bytes = text::read_file(book_path(name));
    result.file_exists = bytes.has_value();
    if (bytes) result.file.assign(bytes->begin(), bytes->end());
    result.stray = stray_entries(result.file_exists);
    return result;
  }

  // Entries under the root other than one/, one/two/, the book directory, the chapter
  // store in it and, when it exists, the book file as its only other entry.
  std::vector<std::string> stray_entries(bool book_exists) const {
    std::vector<std::string> stray;
    const std::filesystem::path store = books_ / ".quillreap";
    const std::filesystem::path& root = root_.path();
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
      const std::filesystem::path& path = entry.path();
      if (path == root / "one" || path == root / "one" / "two" || path == books_) continue;
      if (path == store || path.parent_path() == store) continue;
      if (book_exists && path.parent_path() == books_ && books_count() == 1) continue;
      stray.push_back(path.generic_string());
    }
    return stray;
  }
  int books_count() const { return test_support::entries_besides_store(books_); }

 public:
  // The book a download writes when chapter 2 is lost, or with both chapters.
  static std::string expected_book(const Text& name, bool with_chapter2) {
    std::string book = name + "\r\n\r\n";
    book += "\r\n\r\n" + sample_sites::fault_chapter_title(1) + "\r\n\r\n" +
            sample_sites::fault_chapter_text(1);
    book += "\r\n\r\n" + sample_sites::fault_chapter_title(2) + "\r\n\r\n";
    if (with_chapter2) book += sample_sites::fault_chapter_text(2);
    return book;
  }

 protected:
  static inline std::unique_ptr<FaultSites> site_;
  test_support::TempFolder root_{"faults"};
  std::filesystem::path books_ = root_.path() / "one" / "two" / "books";
};

}  // namespace quillreap::faults
