// The chapter store: what is kept is found again byte for byte, and only under the exact
// address and title; a torn or damaged file never yields a wrong text, loses only the
// records the damage touched, and is mended when next written, never by opening it; a
// foreign, newer or unreadable file is left as it is; a store that cannot be written never
// throws; the fresh, off and look modes.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "download/chapter_records.hpp"
#include "download/chapter_store.hpp"
#include "download/shelf.hpp"
#include "tests/support/temp_folder.hpp"
#include "text/files.hpp"

namespace quillreap::download {
namespace {

namespace fs = std::filesystem;

constexpr char kBook[] = "http://127.0.0.1:18062/1_1/";

struct Chapter {
  Text address, title, text;
};

// Two entries share an address, one text is empty and one is long enough that a cut
// lands inside it many ways.
const std::vector<Chapter> kChapters = {
    {"http://127.0.0.1:18062/1_1/1.html", "第一章 初入江湖", "　　正文一\r\n第二段"},
    {"http://127.0.0.1:18062/1_1/2.html", "第二章", ""},
    {"http://127.0.0.1:18062/1_1/2.html", "第二章（重复）", Text(60, 'x') + "\x80\xFF"},
};

class ChapterStoreTest : public ::testing::Test {
 protected:
  Text path() const { return chapter_store_path(dir_.text(), kBook); }
  Bytes file() const { return text::read_file(path()).value_or(Bytes{}); }
  void write(const Bytes& bytes) const {
    fs::create_directories(dir_.path() / kChapterStoreFolder);
    ASSERT_TRUE(text::write_file(path(), bytes));
  }
  // A store file holding the header and every chapter of kChapters; ends[i] is where
  // record i ends.
  Bytes whole_file(std::vector<std::size_t>& ends) const {
    Bytes bytes = encode_store_header(kBook);
    ends.clear();
    for (const Chapter& chapter : kChapters) {
      const Bytes record = encode_chapter_record(chapter.address, chapter.title, chapter.text);
      bytes.insert(bytes.end(), record.begin(), record.end());
      ends.push_back(bytes.size());
    }
    return bytes;
  }
  // Exactly the first `count` chapters are found, with their own texts.
  static void expect_first(ChapterStore& store, std::size_t count) {
    EXPECT_EQ(store.stored_count(), static_cast<int>(count));
    for (std::size_t i = 0; i < kChapters.size(); ++i) {
      const std::optional<Text> text = store.read(kChapters[i].address, kChapters[i].title);
      EXPECT_EQ(store.holds(kChapters[i].address, kChapters[i].title), i < count) << i;
      if (i < count) {
        EXPECT_EQ(text, kChapters[i].text) << i;
      } else {
        EXPECT_EQ(text, std::nullopt) << i;
      }
    }
  }
  // The store, opened again, keeps a new chapter and a third opening finds it.
  void expect_works_on() const {
    {
      ChapterStore store(dir_.text(), kBook);
      EXPECT_TRUE(store.writable());
      store.keep("new.html", "新", "新的正文");
    }
    ChapterStore again(dir_.text(), kBook);
    EXPECT_EQ(again.read("new.html", "新"), "新的正文");
  }

  test_support::TempFolder dir_;
};

TEST(ChapterRecords, CheckSumAndFileNameAreTheFixedOnes) {
  // The check sum of known texts, and of the same text taken in two parts at every cut.
  const Text fox = "The quick brown fox jumps over the lazy dog";
  for (const auto& [text, check] :
       {std::pair<Text, std::uint32_t>{"", 0u}, {"123456789", 0xCBF43926u}, {fox, 0x414FA339u}}) {
    const Bytes bytes = text::to_bytes(text);
    EXPECT_EQ(crc32(bytes), check) << text;
    for (std::size_t cut = 0; cut <= bytes.size(); ++cut)
      EXPECT_EQ(crc32(std::span(bytes).subspan(cut), crc32(std::span(bytes).first(cut))), check);
  }
  // The same book address names the same file on every platform and in every build.
  EXPECT_EQ(chapter_store_file_name(kBook), "7f7b0b4545517626.chapters");
  EXPECT_EQ(chapter_store_path("/books", kBook),
            text::join_path(text::join_path("/books", ".quillreap"), "7f7b0b4545517626.chapters"));
}

TEST(ChapterRecords, ARecordWithASoundCheckSumButAZeroByteIsNotRead) {
  Bytes bytes = encode_store_header(kBook);
  const Bytes record = encode_chapter_record("a", "b", Text("c\0d", 3));
  bytes.insert(bytes.end(), record.begin(), record.end());
  const ParsedStore parsed = parse_chapter_store(bytes, kBook);
  EXPECT_EQ(parsed.header, ParsedStore::Header::kGood);
  EXPECT_TRUE(parsed.chapters.empty());
  EXPECT_EQ(parsed.passed_over, record.size());
}

TEST(ChapterRecords, ARecordAfterDamageIsFoundAgainAndTheLatestSoundBookRecordStands) {
  BookRecord first;
  first.name = "书";
  first.chapters = 1;
  first.written_at = 100;
  BookRecord second = first;
  second.chapters = 2;
  Bytes bytes = encode_store_header(kBook);
  const auto add = [&](const Bytes& record) {
    const std::size_t at = bytes.size();
    bytes.insert(bytes.end(), record.begin(), record.end());
    return at;
  };
  add(encode_chapter_record("1.html", "一", "正文一"));
  add(encode_book_record(first));
  const std::size_t damaged = add(encode_chapter_record("2.html", "二", "正文二"));
  add(encode_chapter_record("3.html", "三", "正文三"));
  const std::size_t book = add(encode_book_record(second));
  for (const std::size_t at : {damaged, damaged + 1, damaged + 9, book + 12}) {
    SCOPED_TRACE(at);
    Bytes copy = bytes;
    copy[at] ^= 0x20;
    const ParsedStore parsed = parse_chapter_store(copy, kBook);
    EXPECT_EQ(parsed.header, ParsedStore::Header::kGood);
    EXPECT_GT(parsed.passed_over, 0u);
    std::vector<std::string_view> titles;
    for (const StoredChapter& chapter : parsed.chapters) titles.push_back(chapter.title);
    // Damage in the last book record costs that record alone; in chapter 2, chapter 2.
    const bool in_book = at == book + 12;
    const std::vector<std::string_view> expected =
        in_book ? std::vector<std::string_view>{"一", "二", "三"}
                : std::vector<std::string_view>{"一", "三"};
    EXPECT_EQ(titles, expected);
    EXPECT_EQ(parsed.book, in_book ? first : second);
  }
}

TEST_F(ChapterStoreTest, KeptChaptersAreFoundAgainOnlyUnderTheirExactEntry) {
  {
    ChapterStore store(dir_.text(), kBook);
    ASSERT_TRUE(store.writable());
    EXPECT_FALSE(store.holds(kChapters[0].address, kChapters[0].title));
    for (const Chapter& chapter : kChapters)
      store.keep(chapter.address, chapter.title, chapter.text);
    expect_first(store, kChapters.size());
  }
  ChapterStore store(dir_.text(), kBook);
  expect_first(store, kChapters.size());
  // The same entry twice in an index is found twice.
  EXPECT_EQ(store.read(kChapters[0].address, kChapters[0].title), kChapters[0].text);
  EXPECT_EQ(store.found_count(), 4);
  // A changed title, address or book misses.
  EXPECT_FALSE(store.holds(kChapters[0].address, "第一章 初入江湖 "));
  EXPECT_FALSE(store.holds("http://127.0.0.1:18062/1_1/3.html", kChapters[0].title));
  EXPECT_FALSE(store.holds(kChapters[0].address + "第一章", " 初入江湖"));
  ChapterStore other(dir_.text(), Text(kBook) + "x");
  EXPECT_EQ(other.stored_count(), 0);

  // A new text for a kept entry replaces it; the same text again is not appended.
  store.keep(kChapters[1].address, kChapters[1].title, "新");
  store.keep(kChapters[1].address, kChapters[1].title, "新");
  EXPECT_EQ(store.kept_count(), 1);
  EXPECT_EQ(store.read(kChapters[1].address, kChapters[1].title), "新");
  ChapterStore again(dir_.text(), kBook);
  EXPECT_EQ(again.read(kChapters[1].address, kChapters[1].title), "新");
}

TEST_F(ChapterStoreTest, ReadsAndAppendsTakeTurnsOnTheOpenFile) {
  ChapterStore store(dir_.text(), kBook);
  store.keep(kChapters[0].address, kChapters[0].title, kChapters[0].text);
  EXPECT_EQ(store.read(kChapters[0].address, kChapters[0].title), kChapters[0].text);
  // The file is open for reading now; appending to it must still work (on Windows too).
  for (std::size_t i = 1; i < kChapters.size(); ++i)
    store.keep(kChapters[i].address, kChapters[i].title, kChapters[i].text);
  EXPECT_TRUE(store.writable());
  expect_first(store, kChapters.size());
}

TEST_F(ChapterStoreTest, AFileChangedAfterOpeningNeverYieldsAnotherEntrysText) {
  std::vector<std::size_t> ends;
  const Bytes whole = whole_file(ends);
  // The same records but for one byte of the first one's address, with sound check sums:
  // its place now holds another entry's record.
  Chapter moved = kChapters[0];
  moved.address.back() = 'x';
  Bytes other = encode_store_header(kBook);
  for (const Chapter& chapter : {moved, kChapters[1], kChapters[2]}) {
    const Bytes record = encode_chapter_record(chapter.address, chapter.title, chapter.text);
    other.insert(other.end(), record.begin(), record.end());
  }
  const Bytes torn(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(ends[0] - 1));
  for (const bool cut : {false, true}) {
    write(whole);
    ChapterStore store(dir_.text(), kBook);
    write(cut ? torn : other);  // another program, before this store's first read
    EXPECT_EQ(store.read(kChapters[0].address, kChapters[0].title), std::nullopt);
    EXPECT_EQ(store.read(kChapters[2].address, kChapters[2].title),
              cut ? std::nullopt : std::optional(kChapters[2].text));
  }
}

TEST_F(ChapterStoreTest, AFileCutAnywhereKeepsTheWholeRecordsAndIsMendedOnlyWhenNextWritten) {
  std::vector<std::size_t> ends;
  const Bytes whole = whole_file(ends);
  const std::size_t header = encode_store_header(kBook).size();
  const Bytes added = encode_chapter_record("new.html", "新", "新的正文");
  for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
    SCOPED_TRACE(cut);
    const Bytes cut_file(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
    write(cut_file);
    std::size_t count = 0;
    while (count < ends.size() && ends[count] <= cut) ++count;
    const std::size_t sound = count == 0 ? header : ends[count - 1];
    const bool written_next = cut % 37 == 0 || cut == whole.size();
    {
      ChapterStore store(dir_.text(), kBook);
      EXPECT_TRUE(store.writable());
      EXPECT_EQ(store.problem(), "");
      EXPECT_EQ(store.damaged(), cut != sound);
      expect_first(store, count);
      // Opening reads; it writes nothing.
      EXPECT_EQ(file(), cut_file);
      if (written_next) store.keep("new.html", "新", "新的正文");
    }
    if (!written_next) continue;
    // Written next, the file holds its whole records and the new one, the torn tail gone.
    Bytes mended(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(sound));
    mended.insert(mended.end(), added.begin(), added.end());
    EXPECT_EQ(file(), mended);
    EXPECT_FALSE(fs::exists(fs::path(path() + ".part")));
    ChapterStore again(dir_.text(), kBook);
    EXPECT_FALSE(again.damaged());
    EXPECT_EQ(again.read("new.html", "新"), "新的正文");
  }
}

TEST_F(ChapterStoreTest, ADamagedByteDropsOnlyItsRecord) {
  std::vector<std::size_t> ends;
  const Bytes whole = whole_file(ends);
  const std::size_t header = encode_store_header(kBook).size();
  for (std::size_t at = 0; at < whole.size(); ++at) {
    SCOPED_TRACE(at);
    Bytes damaged = whole;
    damaged[at] ^= 0x01;
    write(damaged);
    ChapterStore store(dir_.text(), kBook);
    // The version's higher bytes make a version to come: that store is left alone.
    if (at > 8 && at < 12) {
      EXPECT_NE(store.problem(), "");
      EXPECT_EQ(store.stored_count(), 0);
      continue;
    }
    EXPECT_EQ(store.problem(), "");
    EXPECT_TRUE(store.damaged());
    // A damaged header costs nothing: the records are found all the same.
    std::size_t hit = kChapters.size();
    for (std::size_t i = 0; i < ends.size() && at >= header; ++i) {
      if (at < ends[i]) {
        hit = i;
        break;
      }
    }
    EXPECT_EQ(store.stored_count(), static_cast<int>(kChapters.size() - (hit < ends.size())));
    for (std::size_t i = 0; i < kChapters.size(); ++i) {
      EXPECT_EQ(store.read(kChapters[i].address, kChapters[i].title),
                i == hit ? std::nullopt : std::optional(kChapters[i].text))
          << i;
    }
    EXPECT_EQ(file(), damaged);
  }
}

TEST_F(ChapterStoreTest, AForeignNewerOrUnreadableFileIsLeftAsItIs) {
  // A sound header of a later version: its own check sum is right.
  Bytes newer = encode_store_header(kBook);
  newer[8] = static_cast<unsigned char>(kChapterStoreVersion + 1);  // the version's low byte
  const std::size_t checked = newer.size() - 4;
  const std::uint32_t check = crc32(std::span(newer).first(checked));
  for (std::size_t i = 0; i < 4; ++i)
    newer[checked + i] = static_cast<unsigned char>(check >> (8 * i));
  const Bytes garbage = text::to_bytes("第一章\r\n not a store at all");
  const struct {
    Bytes file;
    const char* why;
  } cases[] = {
      {newer, "it was written by a newer version of Quillreap (store format 2)"},
      {garbage, "it is not a chapter store (another program's file?)"},
  };
  for (const auto& c : cases) {
    write(c.file);
    for (const ChapterStore::Mode mode :
         {ChapterStore::Mode::kUse, ChapterStore::Mode::kFresh, ChapterStore::Mode::kLook}) {
      ChapterStore store(dir_.text(), kBook, mode);
      EXPECT_EQ(store.problem(), c.why);
      EXPECT_FALSE(store.writable());
      EXPECT_EQ(store.stored_count(), 0);
      store.keep("1.html", "一", "正文");
      EXPECT_FALSE(store.holds("1.html", "一"));
    }
    EXPECT_EQ(file(), c.file);
    // The store's folder holds the file alone: nothing set aside, nothing beside it.
    const auto entries = fs::directory_iterator(dir_.path() / kChapterStoreFolder);
    EXPECT_EQ(std::distance(fs::begin(entries), fs::end(entries)), 1);
  }
}

TEST_F(ChapterStoreTest, LookModeMakesAndMendsNothing) {
  std::vector<std::size_t> ends;
  const Bytes whole = whole_file(ends);
  {
    ChapterStore none(dir_.text(), kBook, ChapterStore::Mode::kLook);
    EXPECT_EQ(none.stored_count(), 0);
    EXPECT_EQ(none.problem(), "");
  }
  EXPECT_EQ(dir_.entry_count(), 0);
  const Bytes torn(whole.begin(), whole.end() - 1);
  write(torn);
  ChapterStore store(dir_.text(), kBook, ChapterStore::Mode::kLook);
  EXPECT_TRUE(store.damaged());
  EXPECT_FALSE(store.writable());
  expect_first(store, kChapters.size() - 1);
  store.keep("1.html", "一", "正文");
  BookRecord book;
  book.name = "书";
  store.keep_book(book);
  EXPECT_EQ(file(), torn);
}

TEST_F(ChapterStoreTest, AStoreThatCannotBeWrittenGoesOnWithoutTheFile) {
  // Tests may run as root, where permissions stop nothing: a file stands where the
  // store's folder would go.
  ASSERT_TRUE(text::write_file(dir_.text() + "/" + kChapterStoreFolder, text::to_bytes("x")));
  ChapterStore store(dir_.text(), kBook);
  EXPECT_FALSE(store.writable());
  store.keep("1.html", "一", "正文");
  EXPECT_FALSE(store.holds("1.html", "一"));
  EXPECT_TRUE(fs::is_regular_file(fs::path(dir_.text()) / kChapterStoreFolder));

  // A folder where the store file would go: it can be neither read nor written.
  test_support::TempFolder other;
  fs::create_directories(fs::path(other.text()) / kChapterStoreFolder /
                         chapter_store_file_name(kBook));
  ChapterStore blocked(other.text(), kBook);
  EXPECT_FALSE(blocked.writable());
  blocked.keep("1.html", "一", "正文");
}

TEST_F(ChapterStoreTest, FreshModeIgnoresAndReplacesTheStore) {
  std::vector<std::size_t> ends;
  write(whole_file(ends));
  {
    ChapterStore store(dir_.text(), kBook, ChapterStore::Mode::kFresh);
    EXPECT_TRUE(store.writable());
    expect_first(store, 0);
    store.keep("new.html", "新", "新的正文");
  }
  ChapterStore store(dir_.text(), kBook);
  EXPECT_EQ(store.stored_count(), 1);
  EXPECT_EQ(store.read("new.html", "新"), "新的正文");
}

TEST_F(ChapterStoreTest, OffModeTouchesNoFile) {
  {
    ChapterStore store(dir_.text(), kBook, ChapterStore::Mode::kOff);
    store.keep("1.html", "一", "正文");
    EXPECT_FALSE(store.writable());
    EXPECT_FALSE(store.holds("1.html", "一"));
  }
  EXPECT_EQ(dir_.entry_count(), 0);
  std::vector<std::size_t> ends;
  const Bytes whole = whole_file(ends);
  write(whole);
  ChapterStore store(dir_.text(), kBook, ChapterStore::Mode::kOff);
  store.keep("1.html", "一", "正文");
  expect_first(store, 0);
  EXPECT_EQ(file(), whole);
}

// A store as version 1.1 wrote it (a whole download of the sample sites' 西游记 in both
// formats), kept as it was: every later version reads it.
TEST(ChapterStoreFormat, AStoreOfTheFirstFormatIsReadAsItWasWritten) {
  const Text directory = QUILLREAP_FIXTURES_DIR "/store/v1";
  const Text address = "http://127.0.0.1:18062/1_1/";
  const Shelf shelf = read_shelf(directory);
  EXPECT_TRUE(shelf.skipped.empty());
  ASSERT_EQ(shelf.books.size(), 1u);
  const ShelfBook& book = shelf.books.front();
  EXPECT_EQ(book.address, address);
  EXPECT_EQ(book.record.name, "西游记");
  EXPECT_EQ(book.record.author, "吴承恩");
  EXPECT_EQ(book.record.introduction.rfind("《西游记》是明代吴承恩所著", 0), 0u);
  EXPECT_TRUE(book.record.text_book);
  EXPECT_TRUE(book.record.epub);
  EXPECT_FALSE(book.record.text_book_unwritten || book.record.epub_unwritten);
  EXPECT_EQ(book.record.chapters, 3);
  EXPECT_EQ(book.record.written_at, 1796839323);
  EXPECT_EQ(book.record.files_name(), "西游记");

  ChapterStore store(directory, address, ChapterStore::Mode::kLook);
  EXPECT_EQ(store.problem(), "");
  EXPECT_FALSE(store.damaged());
  EXPECT_EQ(store.stored_count(), 3);
  EXPECT_EQ(store.book(), book.record);
  const std::optional<Text> first =
      store.read("http://127.0.0.1:18062/1_1/1.html", "第一回 灵根育孕源流出 心性修持大道生");
  ASSERT_TRUE(first);
  EXPECT_LT(first->find("诗曰：混沌未分天地乱"), 10u);
}

}  // namespace
}  // namespace quillreap::download
