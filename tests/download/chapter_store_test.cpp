// The chapter store: what is kept is found again byte for byte, and only under the exact
// address and title; a torn, damaged or foreign file never yields a wrong text, is
// mended or set aside, and the store goes on working; a store that cannot be written
// never throws; the fresh and off modes.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "download/chapter_records.hpp"
#include "download/chapter_store.hpp"
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
  EXPECT_EQ(chapter_store_path("/books", kBook), "/books/.quillreap/7f7b0b4545517626.chapters");
}

TEST(ChapterRecords, ARecordWithASoundCheckSumButAZeroByteIsNotRead) {
  Bytes bytes = encode_store_header(kBook);
  const Bytes record = encode_chapter_record("a", "b", Text("c\0d", 3));
  bytes.insert(bytes.end(), record.begin(), record.end());
  const ParsedStore parsed = parse_chapter_store(bytes, kBook);
  EXPECT_EQ(parsed.header, ParsedStore::Header::kGood);
  EXPECT_TRUE(parsed.chapters.empty());
  EXPECT_EQ(parsed.whole_size, encode_store_header(kBook).size());
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

TEST_F(ChapterStoreTest, AFileCutAnywhereKeepsExactlyTheWholeRecordsBeforeTheCut) {
  std::vector<std::size_t> ends;
  const Bytes whole = whole_file(ends);
  const std::size_t header = encode_store_header(kBook).size();
  for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
    SCOPED_TRACE(cut);
    write(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut)));
    std::size_t count = 0;
    while (count < ends.size() && ends[count] <= cut) ++count;
    {
      ChapterStore store(dir_.text(), kBook);
      EXPECT_TRUE(store.writable());
      EXPECT_EQ(store.set_aside(), cut < header);
      expect_first(store, count);
    }
    // The torn tail is gone, so what is appended next is read back.
    const std::size_t kept = cut < header ? header : (count == 0 ? header : ends[count - 1]);
    EXPECT_EQ(file().size(), kept);
    if (cut % 37 == 0 || cut == whole.size()) expect_works_on();
  }
}

TEST_F(ChapterStoreTest, ADamagedByteDropsItsRecordAndEveryOneBehindIt) {
  std::vector<std::size_t> ends;
  const Bytes whole = whole_file(ends);
  const std::size_t header = encode_store_header(kBook).size();
  for (std::size_t at = 0; at < whole.size(); ++at) {
    SCOPED_TRACE(at);
    Bytes damaged = whole;
    damaged[at] ^= 0x01;
    write(damaged);
    std::size_t count = 0;
    while (count < ends.size() && ends[count] <= at) ++count;
    ChapterStore store(dir_.text(), kBook);
    EXPECT_EQ(store.set_aside(), at < header);
    expect_first(store, at < header ? 0 : count);
  }
}

TEST_F(ChapterStoreTest, AForeignOrOlderFileIsSetAsideAndTheStoreStartsAgain) {
  // A sound header of another version: its own check sum is right.
  Bytes older = encode_store_header(kBook);
  older[8] = static_cast<unsigned char>(kChapterStoreVersion + 1);  // the version's low byte
  const std::size_t checked = older.size() - 4;
  const std::uint32_t check = crc32(std::span(older).first(checked));
  for (std::size_t i = 0; i < 4; ++i)
    older[checked + i] = static_cast<unsigned char>(check >> (8 * i));
  const Bytes garbage = text::to_bytes("第一章\r\n not a store at all");
  for (const Bytes& foreign : {older, garbage}) {
    write(foreign);
    {
      ChapterStore store(dir_.text(), kBook);
      EXPECT_TRUE(store.set_aside());
      EXPECT_EQ(store.stored_count(), 0);
    }
    EXPECT_EQ(text::read_file(path() + ".old"), foreign);
    expect_works_on();
  }
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

}  // namespace
}  // namespace quillreap::download
