// Opening, reading and appending to a book's chapter store through the file seam. Runs on
// the download worker. Every file failure ends in a store that keeps fewer chapters, never
// in an error for the download.
#include "download/chapter_store.hpp"

#include <cstdint>

#include "download/chapter_records.hpp"
#include "text/files.hpp"

namespace quillreap::download {
namespace {

// No text holds a zero byte, so the pair maps to one key and back without doubt.
Text key_of(const Text& address, const Text& title) {
  Text key;
  key.reserve(address.size() + 1 + title.size());
  key.append(address).push_back('\0');
  key.append(title);
  return key;
}

}  // namespace

Text chapter_store_file_name(const Text& book_address) {
  std::uint64_t hash = 14695981039346656037ull;
  for (char c : book_address) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  constexpr char kDigits[] = "0123456789abcdef";
  Text name(16, '0');
  for (int i = 15; i >= 0; --i, hash >>= 4) name[static_cast<std::size_t>(i)] = kDigits[hash & 15];
  return name + ".chapters";
}

Text chapter_store_path(const Text& book_directory, const Text& book_address) {
  return text::concat(book_directory, "/", kChapterStoreFolder, "/",
                      chapter_store_file_name(book_address));
}

ChapterStore::ChapterStore(const Text& book_directory, const Text& book_address, Mode mode) {
  if (mode == Mode::kOff) return;
  path_ = chapter_store_path(book_directory, book_address);
  if (!text::make_directory(text::concat(book_directory, "/", kChapterStoreFolder), true)) return;

  if (mode == Mode::kUse) {
    // The whole file is read once to check it; only the places of its records stay.
    const std::optional<Bytes> bytes = text::read_file(path_);
    if (bytes) {
      const ParsedStore parsed = parse_chapter_store(*bytes, book_address);
      if (parsed.header == ParsedStore::Header::kGood) {
        for (const StoredChapter& chapter : parsed.chapters) {
          // A later record of the same entry supersedes an earlier one.
          places_[key_of(Text(chapter.address), Text(chapter.title))] = {
              chapter.record_offset, static_cast<std::uint32_t>(chapter.record_size)};
        }
        book_ = parsed.book;
        end_ = parsed.whole_size;
        if (parsed.whole_size == bytes->size()) {
          // Opening for append with nothing to add tells whether appends will work.
          writable_ = text::append_file(path_, {});
        } else {
          // Records appended behind a torn one would never be read: keep the whole ones only.
          const Bytes whole(bytes->begin(),
                            bytes->begin() + static_cast<std::ptrdiff_t>(parsed.whole_size));
          const Text temporary = path_ + ".part";
          writable_ = text::write_file(temporary, whole) && text::replace_file(temporary, path_);
          if (!writable_) text::remove_file(temporary);
        }
        return;
      }
      // Kept for a look rather than deleted; the next set-aside replaces it.
      set_aside_ = true;
      text::replace_file(path_, path_ + ".old");
    }
  }
  const Bytes header = encode_store_header(book_address);
  writable_ = text::write_file(path_, header);
  end_ = header.size();
}

bool ChapterStore::holds(const Text& address, const Text& title) const {
  return places_.count(key_of(address, title)) > 0;
}

std::optional<Text> ChapterStore::read(const Text& address, const Text& title) {
  const auto found = places_.find(key_of(address, title));
  if (found == places_.end()) return std::nullopt;
  std::optional<Text> text = read_record(found->second, address, title);
  if (text) ++found_;
  return text;
}

std::optional<Text> ChapterStore::read_record(const Place& place, const Text& address,
                                              const Text& title) {
  // Opened once, then kept: a download reads its kept chapters one after another.
  if (!file_.is_open()) file_ = text::FileReader(path_);
  // The record is checked again, and must be this entry's: the file may have been
  // rewritten since opening, and a sound record of another chapter may now lie here.
  StoredChapter chapter;
  if (!file_.read_at(place.offset, place.size, record_) ||
      !parse_chapter_record(record_, chapter) || chapter.address != address ||
      chapter.title != title) {
    return std::nullopt;
  }
  return Text(chapter.text);
}

void ChapterStore::keep(const Text& address, const Text& title, const Text& cleaned_text) {
  if (!writable_) return;
  Text key = key_of(address, title);
  const auto found = places_.find(key);
  if (found != places_.end() && read_record(found->second, address, title) == cleaned_text) return;
  // One append per record: a failure may leave a torn record, so nothing more is appended
  // behind it this run, and the next opening cuts it off. The file stays open between
  // records: opening and closing it for each one cost a download of thousands of chapters
  // as much as the rest of its work on them.
  const Bytes record = encode_chapter_record(address, title, cleaned_text);
  if (!append(record)) return;
  places_[std::move(key)] = {end_, static_cast<std::uint32_t>(record.size())};
  end_ += record.size();
  ++kept_;
}

void ChapterStore::keep_book(const BookRecord& book) {
  if (!writable_) return;
  const Bytes record = encode_book_record(book);
  if (!append(record)) return;
  end_ += record.size();
  book_ = book;
}

bool ChapterStore::append(const Bytes& record) {
  if (!appender_.is_open()) appender_ = text::FileAppender(path_);
  writable_ = appender_.append(record);
  if (!writable_) appender_.close();
  return writable_;
}

}  // namespace quillreap::download
