// Where the Linux window writes its books: next to the program when that folder takes
// files (a build tree, an unpacked copy), else in the user's download folder or, without
// one, the home folder (an installed program in /usr/bin).
#pragma once

#include <string>
#include <string_view>

#include "text/primitives.hpp"

namespace quillreap::app::gtk {

using text::Text;

struct BookFolder {
  Text directory;              // GBK, as the book file takes it
  bool beside_program = true;  // false: the status bar names the folder after a save
};

// Whether a file can be created in directory (a UTF-8 path). Tried rather than read off
// the mode bits, so root, read-only mounts and ACLs all get a true answer.
bool folder_takes_files(const std::string& directory_utf8);

// program_directory (GBK) when it takes files, else the first of download_directory and
// home_directory (UTF-8, either may be null) that does and whose name has a GBK form (the
// book's path is GBK). When none does, the program directory: the save then fails and
// says so, as it would have without this choice.
BookFolder choose_book_folder(const Text& program_directory, const char* download_directory,
                              const char* home_directory);

// The same with the user's folders as GLib knows them (XDG user dirs, then $HOME).
BookFolder choose_book_folder(const Text& program_directory);

// A status text as the window shows it: the completion line of a book saved away from
// the program gets a note naming the folder after it; every other text is left as is.
Text with_book_folder_note(std::string_view status, const BookFolder& folder);

}  // namespace quillreap::app::gtk
