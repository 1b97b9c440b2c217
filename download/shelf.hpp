// The shelf of a book directory: every book a whole-book download wrote there with the
// chapter store on. It is read from the stores themselves (each store's latest sound book
// record), so it cannot drift from what they hold, and no second list is kept. Reading it
// only reads: no store is made, mended or touched.
#pragma once

#include <vector>

#include "books/book_files.hpp"
#include "download/chapter_records.hpp"
#include "text/primitives.hpp"

namespace quillreap::download {

struct ShelfBook {
  Text address;
  BookRecord record;
};

// A store the shelf could not read a book from, left where it is: its path and why.
struct SkippedStore {
  Text path;
  Text why;
};

struct Shelf {
  std::vector<ShelfBook> books;  // by name, then address
  std::vector<SkippedStore> skipped;
};

// The books on directory's shelf. A store that holds no book record yet (written before
// books were recorded, or by a download of part of a book) is left out silently: its book
// joins the shelf at its next whole download. A store that cannot be read at all (it cannot
// be opened, is another program's file or of a newer version, or lost every book record to
// damage) is named in skipped with the reason; a damaged store whose book record survived
// is listed as any other.
Shelf read_shelf(const Text& directory);

// What taking a book off the shelf came to.
struct Removal {
  std::vector<ShelfBook> named;  // the books the name or address names
  bool removed = false;          // their store was deleted (only ever for one book)
};
// Takes the book named by name_or_address (its address, or a name no other book of the
// shelf has) off the shelf by deleting its chapter store; its book files stay. A name two
// books share removes nothing: named holds both.
Removal remove_from_shelf(const Text& directory, const Text& name_or_address);

// The files a shelf book's last download wrote, in its formats: its TXT and/or its EPUB.
std::vector<Text> shelf_book_files(const Text& directory, const ShelfBook& book);
// The files of a shelf book, under the name its record gives them.
books::BookFiles shelf_book_file_set(const Text& directory, const ShelfBook& book);

}  // namespace quillreap::download
