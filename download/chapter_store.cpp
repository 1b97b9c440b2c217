// Opening, reading and appending to a book's chapter store through the file seam. Runs on
// the download worker. Every file failure ends in a store that keeps fewer chapters, never
// in an error for the download.
#include "download/chapter_store.hpp"

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

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
  return text::join_path(text::join_path(book_directory, kChapterStoreFolder),
                         chapter_store_file_name(book_address));
}

Text unused_store_reason(const ParsedStore& parsed) {
  switch (parsed.header) {
    case ParsedStore::Header::kNewer:
      return text::concat("it was written by a newer version of Quillreap (store format ",
                          std::to_string(parsed.version), ")");
    case ParsedStore::Header::kOtherBook:
      return "it holds the chapters of another book";
    case ParsedStore::Header::kForeign:
      return "it is not a chapter store (another program's file?)";
    case ParsedStore::Header::kGood:
    case ParsedStore::Header::kDamaged:
      break;
  }
  return {};
}

ChapterStore::ChapterStore(const Text& book_directory, const Text& book_address, Mode mode)
    : address_(book_address) {
  if (mode == Mode::kOff) return;
  path_ = chapter_store_path(book_directory, book_address);

  // The whole file is read once to check it; only the places of its records stay.
  text::FileProblem problem = text::FileProblem::kNone;
  const std::optional<Bytes> bytes = text::read_file(path_, &problem);
  if (!bytes && problem != text::FileProblem::kMissing) {
    // Not there is the one reason to make a store; any other leaves the file alone.
    problem_ = text::concat("it cannot be read: ", text::describe(problem));
    return;
  }
  if (bytes) {
    const ParsedStore parsed = parse_chapter_store(*bytes, book_address);
    problem_ = unused_store_reason(parsed);
    if (!problem_.empty()) return;
    if (mode != Mode::kFresh) {
      for (const StoredChapter& chapter : parsed.chapters) {
        // A later record of the same entry supersedes an earlier one.
        places_[key_of(Text(chapter.address), Text(chapter.title))] = {
            chapter.record_offset, static_cast<std::uint32_t>(chapter.record_size)};
      }
      book_ = parsed.book;
      end_ = bytes->size();
      // Records appended behind damage would be read, but the damage would stay: the file
      // is written again, sound, when this store first writes to it.
      rewrite_ = !parsed.sound();
      if (mode == Mode::kLook) return;
      // Opening for append with nothing to add tells whether appends will work.
      writable_ = rewrite_ || text::append_file(path_, {});
      return;
    }
  }
  if (mode == Mode::kLook) return;
  // A new store where none is, or a fresh one over this book's own store.
  if (!text::make_directory(text::join_path(book_directory, kChapterStoreFolder), true)) return;
  const Bytes header = encode_store_header(book_address);
  if (bytes) {
    // The store it replaces stays whole until the new one is in place.
    const Text temporary = path_ + ".part";
    writable_ = text::write_file(temporary, header) && text::replace_file(temporary, path_);
    if (!writable_) text::remove_file(temporary);
  } else {
    writable_ = text::write_file(path_, header);
  }
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

bool ChapterStore::write_again() {
  // Closed first: the file is replaced under them.
  file_ = text::FileReader();
  appender_.close();
  std::vector<std::pair<const Text*, const Place*>> records;
  records.reserve(places_.size());
  for (const auto& [key, place] : places_) records.emplace_back(&key, &place);
  std::sort(records.begin(), records.end(),
            [](const auto& a, const auto& b) { return a.second->offset < b.second->offset; });
  const Text temporary = path_ + ".part";
  const Bytes header = encode_store_header(address_);
  bool written = text::write_file(temporary, header);
  text::FileAppender to;
  if (written) to = text::FileAppender(temporary);
  std::map<Text, Place> places;
  std::uint64_t end = header.size();
  {
    const text::FileReader from(path_);
    StoredChapter chapter;
    for (const auto& [key, place] : records) {
      if (!written) break;
      // A record the file no longer holds (another program changed it) is left out.
      if (!from.read_at(place->offset, place->size, record_) ||
          !parse_chapter_record(record_, chapter) ||
          key_of(Text(chapter.address), Text(chapter.title)) != *key) {
        continue;
      }
      written = to.append(record_);
      places[*key] = {end, place->size};
      end += place->size;
    }
  }
  if (written && book_) {
    const Bytes record = encode_book_record(*book_);
    written = to.append(record);
    end += record.size();
  }
  written = written && to.close() && text::replace_file(temporary, path_);
  if (!written) {
    text::remove_file(temporary);
    return false;
  }
  places_ = std::move(places);
  end_ = end;
  rewrite_ = false;
  return true;
}

bool ChapterStore::append(const Bytes& record) {
  if (rewrite_ && !write_again()) {
    writable_ = false;
    return false;
  }
  if (!appender_.is_open()) appender_ = text::FileAppender(path_);
  writable_ = appender_.append(record);
  if (!writable_) appender_.close();
  return writable_;
}

}  // namespace quillreap::download
