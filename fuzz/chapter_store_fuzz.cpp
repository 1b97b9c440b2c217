// Fuzzes the chapter store's file reader: any bytes read without failing, and what is read
// is exactly what was written. Raw input is read as a store file as it stands; otherwise
// the input makes a sound store of a few chapters, then cuts it or damages one byte, and
// the reader must hand back the chapters before that point, every one whole and unchanged,
// and each record must read back alone from the place the reader gives for it.
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

// Book records (the shelf's rows) lie between the chapters; what stands from again's end up
// to upto must be whole book records, which are added to again as they stand.
void take_book_records(const Bytes& bytes, Bytes& again, std::size_t upto) {
  while (again.size() < upto) {
    const std::size_t at = again.size();
    QUILLREAP_FUZZ_CHECK(upto - at >= 8);
    const std::size_t size = 8 + (bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
                                  (std::size_t{bytes[at + 3]} << 24));
    QUILLREAP_FUZZ_CHECK(size <= upto - at);
    quillreap::download::StoredChapter record;
    QUILLREAP_FUZZ_CHECK(
        quillreap::download::parse_chapter_record(std::span(bytes).subspan(at, size), record));
    QUILLREAP_FUZZ_CHECK(record.address == kBookRecordAddress);
    again.insert(again.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at),
                 bytes.begin() + static_cast<std::ptrdiff_t>(at + size));
  }
}

// Whatever was read re-encodes to the very bytes it was read from.
void check_reads_back(const Bytes& bytes, const ParsedStore& parsed, std::string_view book) {
  QUILLREAP_FUZZ_CHECK(parsed.whole_size <= bytes.size());
  if (parsed.header != ParsedStore::Header::kGood) {
    QUILLREAP_FUZZ_CHECK(parsed.chapters.empty() && parsed.whole_size == 0);
    return;
  }
  Bytes again = quillreap::download::encode_store_header(book);
  for (const auto& chapter : parsed.chapters) {
    for (std::string_view text : {chapter.address, chapter.title, chapter.text})
      QUILLREAP_FUZZ_CHECK(text.find('\0') == std::string_view::npos);
    const Bytes record =
        quillreap::download::encode_chapter_record(chapter.address, chapter.title, chapter.text);
    // Each record's place holds exactly it, and reads back alone as it did in the file.
    take_book_records(bytes, again, chapter.record_offset);
    QUILLREAP_FUZZ_CHECK(chapter.record_offset == again.size());
    QUILLREAP_FUZZ_CHECK(chapter.record_size == record.size());
    quillreap::download::StoredChapter alone;
    QUILLREAP_FUZZ_CHECK(quillreap::download::parse_chapter_record(
        std::span(bytes).subspan(chapter.record_offset, chapter.record_size), alone));
    QUILLREAP_FUZZ_CHECK(alone.address == chapter.address && alone.title == chapter.title &&
                         alone.text == chapter.text);
    // One byte short of it is not a record.
    QUILLREAP_FUZZ_CHECK(!quillreap::download::parse_chapter_record(
        std::span(bytes).subspan(chapter.record_offset, chapter.record_size - 1), alone));
    again.insert(again.end(), record.begin(), record.end());
  }
  take_book_records(bytes, again, parsed.whole_size);
  QUILLREAP_FUZZ_CHECK(again.size() == parsed.whole_size);
  QUILLREAP_FUZZ_CHECK(std::equal(again.begin(), again.end(), bytes.begin()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  if (input.ConsumeBool()) {
    const std::string rest = input.ConsumeRemainingBytesAsString();
    const Bytes bytes(rest.begin(), rest.end());
    check_reads_back(bytes, quillreap::download::parse_chapter_store(bytes, kBook), kBook);
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
  if (cut) {
    bytes.resize(at);
  } else if (at < bytes.size()) {
    bytes[at] ^= input.ConsumeIntegralInRange<std::uint8_t>(1, 255);
  }
  const ParsedStore parsed = quillreap::download::parse_chapter_store(bytes, book);
  check_reads_back(bytes, parsed, book);

  // A one-byte change is always caught by the check sum, so exactly the records that end
  // before the cut or the damaged byte are read, and a damaged header sets all aside.
  if (at >= header || (!cut && at == bytes.size())) {
    QUILLREAP_FUZZ_CHECK(parsed.header == ParsedStore::Header::kGood);
    std::size_t before = 0;
    while (before < ends.size() && ends[before] <= at) ++before;
    QUILLREAP_FUZZ_CHECK(parsed.chapters.size() == before);
  } else {
    QUILLREAP_FUZZ_CHECK(parsed.header != ParsedStore::Header::kGood);
  }
  for (std::size_t i = 0; i < parsed.chapters.size(); ++i) {
    QUILLREAP_FUZZ_CHECK(parsed.chapters[i].address == chapters[i].address);
    QUILLREAP_FUZZ_CHECK(parsed.chapters[i].title == chapters[i].title);
    QUILLREAP_FUZZ_CHECK(parsed.chapters[i].text == chapters[i].text);
  }
  return 0;
}
