// The shelf's three menu items on the controller, over a shelf of three books from the
// sample sites: the serial 连载1 grown by a chapter since its download, 水浒传 from sites
// that have gone, and 西游记 with nothing new, its book file marked to show whether it
// was written again.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "download/chapter_store.hpp"
#include "tests/app/controller_fixture.hpp"
#include "tests/support/sites/changing_book_site.hpp"
#include "tools/sample-sites/sample_sites.hpp"

namespace quillreap::app {
namespace {

class ShelfTest : public ControllerTest {
 protected:
  ShelfTest() {
    config_ = sites_.config();
    config_.tries = 1;  // the gone sites' book fails at once
  }

  // Searches with controller and downloads the first hit, as the window does.
  void download_first_hit(Controller& controller, int source, const std::string& word) {
    controls_.set_search_word(word);
    controls_.set_source_choice(source);
    controller.on_search();
    controller.on_generate();
    ASSERT_TRUE(shell_.wait_workers(std::chrono::seconds(120)));
  }

  sample_sites::SampleSites sites_{sites::SiteConfig::defaults(), {}, {}, {}, {1, 4}};
};

TEST_F(ShelfTest, MenuItemsListCheckAndUpdateTheShelf) {
  // The shelf is read on a worker, as every shelf item's work is.
  controller().run_command(Command::kShowShelf);
  ASSERT_TRUE(shell_.wait_workers(std::chrono::seconds(120)));
  EXPECT_EQ(controls_.status(), "书架是空的");
  EXPECT_EQ(controls_.row_count(), 0);

  {
    sample_sites::SampleSites gone;
    Controller elsewhere(controls_, shell_, gone.config(), directory_.text());
    download_first_hit(elsewhere, 0, "水浒");
  }
  download_first_hit(controller(), 1, "连载");
  sites_.grow_serials(1);
  download_first_hit(controller(), 0, "西游");
  ASSERT_TRUE(text::write_file(directory_.text() + "/西游记.txt", text::Bytes{'o', 'l', 'd'}));

  const Text check1 = "正在检查《连载1》", check2 = "正在检查《水浒传》",
             check3 = "正在检查《西游记》";
  struct Case {
    Command command;
    std::vector<Text> cells;  // 连载1, 水浒传, 西游记
    std::vector<Text> steps;  // the status lines naming a book, in turn
    Text last_line;
  };
  const Case cases[] = {
      {Command::kShowShelf, {"共4章", "共3章", "共3章"}, {}, "书架上有3本书"},
      {Command::kCheckShelf,
       {"新1章", "检查失败", "最新"},
       {check1, check2, check3},
       "检查完成:1本书有新章节,1本检查失败"},
      {Command::kUpdateShelf,
       {"已完成", "检查失败", "最新"},
       {check1, "书籍:连载1的所有章节已生成TXT文本在程序目录下", check2, check3},
       "书架更新完成:1本书有新章节,共1章,1本检查失败"},
      {Command::kShowShelf, {"共5章", "共3章", "共3章"}, {}, "书架上有3本书"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.command));
    const std::size_t before = controls_.status_history().size();
    controller().run_command(c.command);
    ASSERT_TRUE(shell_.wait_workers(std::chrono::seconds(120)));
    std::vector<Text> cells, names;
    for (const Row& row : controls_.rows()) {
      names.push_back(row[1]);
      cells.push_back(row[4]);
    }
    EXPECT_EQ(names, (std::vector<Text>{"连载1", "水浒传", "西游记"}));
    EXPECT_EQ(cells, c.cells);
    const std::vector<Text> lines = controls_.status_history();
    EXPECT_EQ(lines.back(), c.last_line);
    std::vector<Text> steps;
    std::copy_if(
        lines.begin() + static_cast<std::ptrdiff_t>(before), lines.end(), std::back_inserter(steps),
        [](const Text& line) { return line.starts_with("正在检查") || line.starts_with("书籍:"); });
    EXPECT_EQ(steps, c.steps);
    EXPECT_FALSE(controls_.busy());
  }
  EXPECT_EQ(book("西游记.txt"), "old");
  EXPECT_EQ(controls_.thread_violations(), 0);
}

// 我的书架 reads the stores on a worker: the window answers while a large shelf is read,
// and the list fills once it is.
TEST_F(ShelfTest, TheShelfIsReadOnAWorker) {
  constexpr int kBooks = 500;
  std::filesystem::create_directories(directory_.path() / download::kChapterStoreFolder);
  for (int i = 0; i < kBooks; ++i) {
    const Text address = "http://127.0.0.1:1/" + std::to_string(i) + "/";
    download::BookRecord record;
    record.name = "书" + std::to_string(1000 + i);
    record.chapters = i;
    text::Bytes store = download::encode_store_header(address);
    const text::Bytes book = download::encode_book_record(record);
    store.insert(store.end(), book.begin(), book.end());
    ASSERT_TRUE(text::write_file(download::chapter_store_path(directory_.text(), address), store));
  }
  controller().run_command(Command::kShowShelf);
  // Back at once, the list still empty and the controls grey: the worker reads.
  EXPECT_EQ(controls_.row_count(), 0);
  EXPECT_TRUE(controls_.busy());
  ASSERT_TRUE(shell_.wait_workers(std::chrono::seconds(120)));
  EXPECT_EQ(controls_.row_count(), kBooks);
  EXPECT_EQ(controls_.status(), "书架上有500本书");
  EXPECT_FALSE(controls_.busy());
  EXPECT_EQ(controls_.thread_violations(), 0);
}

// One table of damaged stores: what the shelf lists of each and what an update then fetches
// and leaves behind. The store is a serial's: 4 chapters downloaded, then a fifth by an
// update, so it holds header, chapters 1-4, a book record of 4, chapter 5 and a book record
// of 5. Damage costs only what it touched, and an update mends it; a store that cannot be
// read at all is named and left as it was, byte for byte.
TEST(StoreDamage, TheShelfListsWhatSurvivesAndAnUpdateFetchesOnlyWhatWasLost) {
  using download::ParsedStore;
  enum Kind { kFlipped, kCut, kForeign, kNewer, kUnreadable };
  struct Layout {
    std::vector<std::size_t> chapters;  // where each chapter's record starts
    std::size_t last_book = 0;          // where the last book record starts
  };
  const struct Case {
    const char* what;
    Kind kind;
    std::function<std::size_t(const Layout&)> where;  // the byte flipped, or where cut
    int listed_chapters;  // the shelf row's chapters; -1: not listed, named as skipped
    const char* why;      // the start of the reason it is skipped
    int fetched;          // chapter pages the update asked for
  } cases[] = {
      {"a flipped byte in a chapter", kFlipped,
       [](const Layout& at) { return at.chapters[2] + 20; }, 5, "", 1},
      {"a flipped byte in a record's length", kFlipped,
       [](const Layout& at) { return at.chapters[1]; }, 5, "", 1},
      {"a flipped byte in the book record", kFlipped,
       [](const Layout& at) { return at.last_book + 30; }, 4, "", 0},
      {"a cut tail", kCut, [](const Layout& at) { return at.chapters[4] + 10; }, 4, "", 1},
      {"another program's file", kForeign, {}, -1, "it is not a chapter store", 0},
      {"a newer version", kNewer, {}, -1, "it was written by a newer version", 0},
      {"unreadable through the file seam", kUnreadable, {}, -1, "it cannot be read", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test_support::SpyControls controls;
    test_support::SpyShell shell{&controls.dispatcher()};
    test_support::TempFolder directory{"damage"};
    sites::ChangingBookSite site(4);
    sites::SiteConfig config = site.config();
    config.source2_label = "127.0.0.1:3/";  // not a part of the site's own host and port
    Controller controller(controls, shell, config, directory.text());
    ASSERT_EQ(controller.download_book(site.book_address(), "乙"), books::BookOutcome::kComplete);
    site.add_chapters(1);
    controller.update_shelf(download::read_shelf(directory.text()).books);
    const Text store = download::chapter_store_path(directory.text(), site.book_address());
    const text::Bytes sound = text::read_file(store).value();
    const ParsedStore parsed = download::parse_chapter_store(sound, site.book_address());
    ASSERT_TRUE(parsed.sound());
    ASSERT_EQ(parsed.chapters.size(), 5u);
    Layout layout;
    for (const download::StoredChapter& chapter : parsed.chapters)
      layout.chapters.push_back(chapter.record_offset);
    layout.last_book = sound.size() - download::encode_book_record(*parsed.book).size();

    text::Bytes damaged = sound;
    if (c.kind == kFlipped) damaged[c.where(layout)] ^= 0x10;
    if (c.kind == kCut) damaged.resize(c.where(layout));
    if (c.kind == kForeign) damaged.assign(sound.size(), 0xEE);
    if (c.kind == kNewer) {
      damaged[8] = 2;  // the version; the header's check sum made right
      const std::uint32_t check = download::crc32(std::span(damaged).first(layout.chapters[0] - 4));
      for (std::size_t i = 0; i < 4; ++i)
        damaged[layout.chapters[0] - 4 + i] = static_cast<unsigned char>(check >> (8 * i));
    }
    ASSERT_TRUE(text::write_file(store, damaged));
    if (c.kind == kUnreadable) {
      text::set_read_fault([](std::string_view path) {
        return path.ends_with(".chapters") ? text::FileProblem::kOther : text::FileProblem::kNone;
      });
    }

    const download::Shelf shelf = download::read_shelf(directory.text());
    site.reset_counts();
    controller.update_shelf(shelf.books);
    text::set_read_fault({});
    if (c.listed_chapters < 0) {
      EXPECT_TRUE(shelf.books.empty());
      ASSERT_EQ(shelf.skipped.size(), 1u);
      EXPECT_EQ(shelf.skipped[0].path, store);
      EXPECT_EQ(shelf.skipped[0].why.rfind(c.why, 0), 0u) << shelf.skipped[0].why;
      EXPECT_EQ(text::read_file(store), damaged);
    } else {
      EXPECT_TRUE(shelf.skipped.empty());
      ASSERT_EQ(shelf.books.size(), 1u);
      EXPECT_EQ(shelf.books[0].record.chapters, c.listed_chapters);
      // Mended: every chapter, sound, and the book as the site has it.
      const text::Bytes after = text::read_file(store).value();
      const ParsedStore mended = download::parse_chapter_store(after, site.book_address());
      EXPECT_TRUE(mended.sound());
      EXPECT_EQ(mended.chapters.size(), 5u);
      EXPECT_EQ(mended.book->chapters, 5);
      const text::Bytes book =
          text::read_file(directory.text() + "/乙.txt").value_or(text::Bytes{});
      EXPECT_EQ(Text(book.begin(), book.end()),
                "乙" + site.expected_book().substr(std::string("变化之书").size()));
    }
    EXPECT_EQ(site.chapter_requests(), c.fetched);
  }
}

// Looking never writes: listing the shelf, 我的书架, a check and 检查新章节 leave every
// store, damaged ones too, byte for byte and with its time as it was, and make no file.
TEST(StoreDamage, LookingAtTheShelfWritesNothing) {
  namespace fs = std::filesystem;
  test_support::SpyControls controls;
  test_support::SpyShell shell{&controls.dispatcher()};
  test_support::TempFolder directory{"looking"};
  sites::ChangingBookSite damaged_site(3), torn_site(3), sound_site(3);
  const struct {
    sites::ChangingBookSite& site;
    const char* name;
  } books[] = {{damaged_site, "甲"}, {torn_site, "乙"}, {sound_site, "丙"}};
  for (const auto& book : books) {
    sites::SiteConfig config = book.site.config();
    config.source2_label = "127.0.0.1:3/";
    Controller controller(controls, shell, config, directory.text());
    ASSERT_EQ(controller.download_book(book.site.book_address(), book.name),
              books::BookOutcome::kComplete);
    book.site.add_chapters(1);  // something new for the checks to find
  }
  const auto store = [&](const sites::ChangingBookSite& site) {
    return fs::path(download::chapter_store_path(directory.text(), site.book_address()));
  };
  {
    text::Bytes bytes = text::read_file(store(damaged_site).string()).value();
    bytes[bytes.size() / 2] ^= 0x10;
    ASSERT_TRUE(text::write_file(store(damaged_site).string(), bytes));
    // A download killed while it appended a chapter.
    bytes = text::read_file(store(torn_site).string()).value();
    const text::Bytes record = download::encode_chapter_record("4.html", "四", "正文");
    bytes.insert(bytes.end(), record.begin(), record.begin() + 9);
    ASSERT_TRUE(text::write_file(store(torn_site).string(), bytes));
  }
  // The book files' names are in the file system's own encoding here: read as it gives them.
  const auto read_bytes = [](const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return text::Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  };
  // Every file of the folder and the store folder, its bytes and its time, set well back.
  const auto snapshot = [&] {
    std::map<fs::path, std::pair<text::Bytes, fs::file_time_type>> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(directory.path()))
      if (fs::is_regular_file(entry.path()))
        files[entry.path()] = {read_bytes(entry.path()), fs::last_write_time(entry.path())};
    return files;
  };
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(directory.path()))
    if (fs::is_regular_file(entry.path()))
      fs::last_write_time(entry.path(), fs::last_write_time(entry.path()) - std::chrono::hours(48));
  const auto before = snapshot();

  sites::SiteConfig config = sound_site.config();
  config.source2_label = "127.0.0.1:3/";
  Controller controller(controls, shell, config, directory.text());
  const download::Shelf shelf = download::read_shelf(directory.text());
  EXPECT_EQ(shelf.books.size(), 3u);
  const std::vector<Controller::ShelfResult> checked = controller.check_shelf(shelf.books);
  ASSERT_EQ(checked.size(), 3u);
  for (const Command command : {Command::kShowShelf, Command::kCheckShelf}) {
    controller.run_command(command);
    ASSERT_TRUE(shell.wait_workers(std::chrono::seconds(120)));
  }
  EXPECT_TRUE(snapshot() == before);
}

}  // namespace
}  // namespace quillreap::app
