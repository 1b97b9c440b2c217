// The shelf of a book directory: every book a whole-book download wrote there with the
// chapter store on. It is read from the stores themselves (each store's latest book
// record), so it cannot drift from what they hold, and no second list is kept.
#pragma once

#include <vector>

#include "download/chapter_records.hpp"
#include "text/primitives.hpp"

namespace quillreap::download {

struct ShelfBook {
  Text address;
  BookRecord record;
};

// The books on directory's shelf, by name, then address. A store that cannot be read, or
// holds no book record yet (written before books were recorded, or by a download of part
// of a book), is left out: its book joins the shelf at its next whole download.
std::vector<ShelfBook> read_shelf(const Text& directory);

// Takes the books called name off the shelf by deleting their chapter stores; their book
// files stay. How many were taken off.
int remove_from_shelf(const Text& directory, const Text& name);

// The files a shelf book's last download wrote: the safe name + ".txt" in directory
// and/or ".epub".
std::vector<Text> shelf_book_files(const Text& directory, const ShelfBook& book);

}  // namespace quillreap::download
