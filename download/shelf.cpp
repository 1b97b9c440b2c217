// Reading a book directory's shelf out of its chapter stores, and taking books off it.
#include "download/shelf.hpp"

#include <algorithm>
#include <optional>
#include <string_view>

#include "download/chapter_store.hpp"
#include "text/files.hpp"

namespace quillreap::download {
namespace {

constexpr std::string_view kStoreSuffix = ".chapters";

Text store_folder(const Text& directory) {
  return text::join_path(directory, kChapterStoreFolder);
}

// The shelf row of the store file at path, or why there is none to list (nullopt: a store
// with no book record yet, left out silently).
struct StoreRead {
  std::optional<ShelfBook> book;
  Text why;
};

StoreRead read_store(const Text& path, std::string_view file_name) {
  StoreRead read;
  text::FileProblem problem = text::FileProblem::kNone;
  const std::optional<Bytes> bytes = text::read_file(path, &problem);
  if (!bytes) {
    // Gone between the listing and the read: not a store any more.
    if (problem != text::FileProblem::kMissing)
      read.why = text::concat("it cannot be read: ", text::describe(problem));
    return read;
  }
  // The book is the one the store's name says: the header names it, and a damaged header's
  // address is taken when its hash is the file's name.
  std::optional<Text> address = store_book_address(*bytes, true);
  if (address && chapter_store_file_name(*address) != file_name) address.reset();
  const ParsedStore parsed = parse_chapter_store(*bytes, address.value_or(Text()));
  read.why = unused_store_reason(parsed);
  if (!read.why.empty()) return read;
  if (!address) {
    if (parsed.header == ParsedStore::Header::kGood)
      read.why = "its name is not its book's (a renamed copy?)";
    else if (parsed.book || !parsed.chapters.empty())
      read.why =
          "its header is damaged, and with it the book's address (downloading the "
          "book again mends it)";
    return read;
  }
  if (parsed.book) {
    read.book = ShelfBook{*address, *parsed.book};
  } else if (parsed.passed_over > 0) {
    read.why = "it is damaged, and no sound record of its book is left";
  }
  return read;
}

}  // namespace

Shelf read_shelf(const Text& directory) {
  Shelf shelf;
  const Text folder = store_folder(directory);
  for (const Text& name : text::list_files(folder)) {
    if (!name.ends_with(kStoreSuffix)) continue;
    const Text path = text::join_path(folder, name);
    StoreRead read = read_store(path, name);
    if (read.book)
      shelf.books.push_back(std::move(*read.book));
    else if (!read.why.empty())
      shelf.skipped.push_back({path, std::move(read.why)});
  }
  std::sort(shelf.books.begin(), shelf.books.end(), [](const ShelfBook& a, const ShelfBook& b) {
    return a.record.name != b.record.name ? a.record.name < b.record.name : a.address < b.address;
  });
  std::sort(shelf.skipped.begin(), shelf.skipped.end(),
            [](const SkippedStore& a, const SkippedStore& b) { return a.path < b.path; });
  return shelf;
}

Removal remove_from_shelf(const Text& directory, const Text& name_or_address) {
  Removal removal;
  for (ShelfBook& book : read_shelf(directory).books) {
    if (book.address == name_or_address) {
      removal.named = {std::move(book)};
      break;
    }
    if (book.record.name == name_or_address) removal.named.push_back(std::move(book));
  }
  if (removal.named.size() == 1)
    removal.removed =
        text::remove_file(chapter_store_path(directory, removal.named.front().address));
  return removal;
}

books::BookFiles shelf_book_file_set(const Text& directory, const ShelfBook& book) {
  return books::BookFiles(directory, book.record.files_name());
}

std::vector<Text> shelf_book_files(const Text& directory, const ShelfBook& book) {
  const books::BookFiles files = shelf_book_file_set(directory, book);
  std::vector<Text> paths;
  if (book.record.text_book) paths.push_back(files.text_book());
  if (book.record.epub) paths.push_back(files.epub());
  return paths;
}

}  // namespace quillreap::download
