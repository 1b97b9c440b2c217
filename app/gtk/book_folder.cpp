// The book folder choice and its note in the status bar. Runs on the interface thread,
// once when the window starts and on each status text.
#include "app/gtk/book_folder.hpp"

#include <glib.h>
#include <stdlib.h>
#include <unistd.h>

#include "text/codepage.hpp"
#include "text/primitives.hpp"

namespace quillreap::app::gtk {
namespace {

// What the completion line says about where the book went.
constexpr std::string_view kBesideProgram =
    "\xD4\xDA\xB3\xCC\xD0\xF2\xC4\xBF\xC2\xBC\xCF\xC2";  // 在程序目录下
// "；程序目录不可写，已保存到 " (the folder follows)
constexpr std::string_view kSavedElsewhere =
    "\xA3\xBB\xB3\xCC\xD0\xF2\xC4\xBF\xC2\xBC\xB2\xBB\xBF\xC9\xD0\xB4\xA3\xAC\xD2\xD1\xB1\xA3"
    "\xB4\xE6\xB5\xBD ";

// The GBK form of a UTF-8 folder name, or "" when some character has none (the
// conversion would put "?" in its place and name another folder).
Text gbk_name(const std::string& utf8) {
  Text gbk = text::utf8_to_ansi(utf8);
  return text::ansi_to_utf8(gbk) == utf8 ? gbk : Text();
}

}  // namespace

bool folder_takes_files(const std::string& directory_utf8) {
  if (directory_utf8.empty()) return false;
  std::string probe = directory_utf8 + "/.quillreap-write-test-XXXXXX";
  const int fd = ::mkstemp(probe.data());
  if (fd < 0) return false;
  ::close(fd);
  ::unlink(probe.c_str());
  return true;
}

BookFolder choose_book_folder(const Text& program_directory, const char* download_directory,
                              const char* home_directory) {
  if (folder_takes_files(text::ansi_to_utf8(program_directory))) return {program_directory, true};
  for (const char* candidate : {download_directory, home_directory}) {
    if (!candidate) continue;
    const Text gbk = gbk_name(candidate);
    if (!gbk.empty() && folder_takes_files(candidate)) return {gbk, false};
  }
  return {program_directory, true};
}

BookFolder choose_book_folder(const Text& program_directory) {
  return choose_book_folder(program_directory, g_get_user_special_dir(G_USER_DIRECTORY_DOWNLOAD),
                            g_get_home_dir());
}

Text with_book_folder_note(std::string_view status, const BookFolder& folder) {
  Text shown(status);
  if (!folder.beside_program && text::find_text(shown, kBesideProgram) > 0)
    shown.append(kSavedElsewhere).append(folder.directory);
  return shown;
}

}  // namespace quillreap::app::gtk
