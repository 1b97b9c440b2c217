// Fuzzes the chapter store's file reader: any bytes read without failing, and what is read
// is exactly what was written. Raw input is read as a store file as it stands; otherwise
// the input makes a sound store of a few chapters, then cuts it or damages one byte, and
// the reader must hand back every chapter the cut or the damage did not touch (those
// before a cut; all but the damaged one), every one whole and unchanged, and each record
// must read back alone from the place the reader gives for it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "download/chapter_records.hpp"
#include "fuzz/fuzz_check.hpp"

namespace {

using quillreap::download::ParsedStore;
using quillreap::text::Bytes;

constexpr char kBook[] = "http://127.0.0.1:18062/1_1/";
constexpr std::string_view kBookRecordAddress = "quillreap:book";

struct Chapter {
  std::string address, title, text;
};

// Whatever was read re-encodes to the very bytes it was read from, and the records read lie
// one after another, none inside another.
void check_reads_back(const Bytes& bytes, const ParsedStore& parsed) {
  QUILLREAP_FUZZ_CHECK(parsed.passed_over <= bytes.size());
  if (parsed.header != ParsedStore::Header::kGood &&
      parsed.header != ParsedStore::Header::kDamaged) {
    QUILLREAP_FUZZ_CHECK(parsed.chapters.empty() && !parsed.book && parsed.passed_over == 0);
    return;
  }
  std::size_t after = 0;  // the end of the record before
  for (const auto& chapter : parsed.chapters) {
    for (std::string_view text : {chapter.address, chapter.title, chapter.text})
      QUILLREAP_FUZZ_CHECK(text.find('\0') == std::string_view::npos);
    QUILLREAP_FUZZ_CHECK(chapter.address != kBookRecordAddress);
    const Bytes record =
        quillreap::download::encode_chapter_record(chapter.address, chapter.title, chapter.text);
    // Each record's place holds exactly it, and reads back alone as it did in the file.
    QUILLREAP_FUZZ_CHECK(chapter.record_offset >= after);
    QUILLREAP_FUZZ_CHECK(chapter.record_size == record.size());
    QUILLREAP_FUZZ_CHECK(chapter.record_offset + chapter.record_size <= bytes.size());
    const auto at = bytes.begin() + static_cast<std::ptrdiff_t>(chapter.record_offset);
    QUILLREAP_FUZZ_CHECK(std::equal(record.begin(), record.end(), at));
    quillreap::download::StoredChapter alone;
    QUILLREAP_FUZZ_CHECK(quillreap::download::parse_chapter_record(
        std::span(bytes).subspan(chapter.record_offset, chapter.record_size), alone));
    QUILLREAP_FUZZ_CHECK(alone.address == chapter.address && alone.title == chapter.title &&
                         alone.text == chapter.text);
    // One byte short of it is not a record.
    QUILLREAP_FUZZ_CHECK(!quillreap::download::parse_chapter_record(
        std::span(bytes).subspan(chapter.record_offset, chapter.record_size - 1), alone));
    after = chapter.record_offset + chapter.record_size;
  }
  if (parsed.sound()) QUILLREAP_FUZZ_CHECK(parsed.header == ParsedStore::Header::kGood);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  if (input.ConsumeBool()) {
    const std::string rest = input.ConsumeRemainingBytesAsString();
    const Bytes bytes(rest.begin(), rest.end());
    check_reads_back(bytes, quillreap::download::parse_chapter_store(bytes, kBook));
    check_reads_back(bytes, quillreap::download::parse_chapter_store(bytes, ""));
    return 0;
  }

  const std::string book = quillreap::fuzz::take_text(input, 64);
  std::vector<Chapter> chapters(input.ConsumeIntegralInRange<std::size_t>(0, 6));
  Bytes bytes = quillreap::download::encode_store_header(book);
  const std::size_t header = bytes.size();
  std::vector<std::size_t> ends;
  for (Chapter& chapter : chapters) {
    chapter.address = quillreap::fuzz::take_text(input, 64);
    // The book record's address is no chapter's: a chapter there would be read as a book.
    if (chapter.address == kBookRecordAddress) chapter.address += "x";
    chapter.title = quillreap::fuzz::take_text(input, 64);
    chapter.text = quillreap::fuzz::take_text(input, 512);
    const Bytes record =
        quillreap::download::encode_chapter_record(chapter.address, chapter.title, chapter.text);
    bytes.insert(bytes.end(), record.begin(), record.end());
    ends.push_back(bytes.size());
  }
  const bool cut = input.ConsumeBool();
  const std::size_t at = input.ConsumeIntegralInRange<std::size_t>(0, bytes.size());
  const bool changed = at < bytes.size();  // a cut at the end or no byte: nothing changes
  const bool at_boundary = at == header || std::find(ends.begin(), ends.end(), at) != ends.end();
  if (cut) {
    bytes.resize(at);
  } else if (at < bytes.size()) {
    bytes[at] ^= input.ConsumeIntegralInRange<std::uint8_t>(1, 255);
  }
  const ParsedStore parsed = quillreap::download::parse_chapter_store(bytes, book);
  check_reads_back(bytes, parsed);

  // The chapters the cut or the damaged byte left alone: a one-byte change is always caught
  // by the check sum, and the reader goes on behind the damage.
  std::vector<std::size_t> expected;
  for (std::size_t i = 0; i < chapters.size(); ++i) {
    const std::size_t start = i == 0 ? header : ends[i - 1];
    const bool touched = changed && (cut ? ends[i] > at : at >= start && at < ends[i]);
    if (!touched) expected.push_back(i);
  }
  if (!changed || at >= header) {
    QUILLREAP_FUZZ_CHECK(parsed.header == ParsedStore::Header::kGood);
    // Cut between two records, the store is as sound as if the rest had never been written.
    QUILLREAP_FUZZ_CHECK(parsed.sound() == (!changed || (cut && at_boundary)));
  } else if (cut) {
    // A header cut short: a store begun before a crash, holding nothing yet.
    QUILLREAP_FUZZ_CHECK(parsed.header == ParsedStore::Header::kDamaged);
    QUILLREAP_FUZZ_CHECK(expected.empty());
  } else {
    // A damaged header loses nothing, unless it now names a version to come, or nothing at
    // all shows the file is a store.
    QUILLREAP_FUZZ_CHECK(parsed.header != ParsedStore::Header::kGood);
    if (parsed.header != ParsedStore::Header::kDamaged) {
      QUILLREAP_FUZZ_CHECK(parsed.header == ParsedStore::Header::kNewer || chapters.empty());
      return 0;
    }
  }
  QUILLREAP_FUZZ_CHECK(parsed.chapters.size() == expected.size());
  for (std::size_t i = 0; i < parsed.chapters.size(); ++i) {
    const Chapter& chapter = chapters[expected[i]];
    QUILLREAP_FUZZ_CHECK(parsed.chapters[i].address == chapter.address);
    QUILLREAP_FUZZ_CHECK(parsed.chapters[i].title == chapter.title);
    QUILLREAP_FUZZ_CHECK(parsed.chapters[i].text == chapter.text);
  }
  return 0;
}
