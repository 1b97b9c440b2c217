// Reading a book directory's shelf out of its chapter stores, and taking books off it.
#include "download/shelf.hpp"

#include <algorithm>
#include <optional>
#include <string_view>

#include "books/book_file.hpp"
#include "download/chapter_store.hpp"
#include "text/files.hpp"

namespace quillreap::download {
namespace {

constexpr std::string_view kStoreSuffix = ".chapters";

Text store_folder(const Text& directory) {
  return text::concat(directory, "/", kChapterStoreFolder);
}

// The shelf row of the store file at path: its book, when the store is sound, is the one
// its name says (a renamed copy is not), and has a book record.
std::optional<ShelfBook> shelf_book_of(const Text& path, std::string_view file_name) {
  const std::optional<Bytes> bytes = text::read_file(path);
  if (!bytes) return std::nullopt;
  const std::optional<Text> address = store_book_address(*bytes);
  if (!address || chapter_store_file_name(*address) != file_name) return std::nullopt;
  ParsedStore parsed = parse_chapter_store(*bytes, *address);
  if (!parsed.book) return std::nullopt;
  return ShelfBook{*address, std::move(*parsed.book)};
}

}  // namespace

std::vector<ShelfBook> read_shelf(const Text& directory) {
  std::vector<ShelfBook> shelf;
  const Text folder = store_folder(directory);
  for (const Text& name : text::list_files(folder)) {
    if (!name.ends_with(kStoreSuffix)) continue;
    if (std::optional<ShelfBook> book = shelf_book_of(text::concat(folder, "/", name), name))
      shelf.push_back(std::move(*book));
  }
  std::sort(shelf.begin(), shelf.end(), [](const ShelfBook& a, const ShelfBook& b) {
    return a.record.name != b.record.name ? a.record.name < b.record.name : a.address < b.address;
  });
  return shelf;
}

int remove_from_shelf(const Text& directory, const Text& name) {
  int removed = 0;
  for (const ShelfBook& book : read_shelf(directory)) {
    if (book.record.name == name && text::remove_file(chapter_store_path(directory, book.address)))
      ++removed;
  }
  return removed;
}

std::vector<Text> shelf_book_files(const Text& directory, const ShelfBook& book) {
  const Text stem = text::join_path(directory, books::safe_book_file_name(book.record.name));
  std::vector<Text> files;
  if (book.record.text_book) files.push_back(stem + ".txt");
  if (book.record.epub) files.push_back(stem + ".epub");
  return files;
}

}  // namespace quillreap::download
