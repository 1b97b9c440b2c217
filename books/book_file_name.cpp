// Turns a novel name taken from a web page into a file name stem that stays inside the
// book directory and that both Windows and Linux can create.
#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

#include "books/book_file.hpp"
#include "text/codepage_rules.hpp"

namespace quillreap::books {
namespace {

constexpr std::string_view kForbidden = "\\/:*?\"<>|";

// CON, PRN, AUX, NUL, COM1-COM9 and LPT1-LPT9 name devices on Windows whatever follows
// the first dot and whatever the letter case; trailing spaces before the dot don't help.
bool is_device_name(std::string_view name) {
  std::string_view stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  std::string upper;
  for (char c : stem) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  static constexpr std::array<std::string_view, 4> kPlain = {"CON", "PRN", "AUX", "NUL"};
  if (std::find(kPlain.begin(), kPlain.end(), upper) != kPlain.end()) return true;
  return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) &&
         upper[3] >= '1' && upper[3] <= '9';
}

}  // namespace

Text safe_book_file_name(const Text& book_name) {
  Text safe;
  safe.reserve(book_name.size() + 1);
  bool last_single = false;  // whether the last character is a single byte
  for (size_t i = 0; i < book_name.size(); ++i) {
    const auto byte = static_cast<unsigned char>(book_name[i]);
    // A double-byte character stays whole: its trail byte may be '\\' (0x5C) or '|' (0x7C)
    // and is then part of the character, not a separator.
    if (text::gbk_lead_byte(byte) && i + 1 < book_name.size() &&
        text::gbk_trail_byte(static_cast<unsigned char>(book_name[i + 1]))) {
      safe += book_name[i];
      safe += book_name[++i];
      last_single = false;
      continue;
    }
    // A byte that starts no valid pair (a lone lead byte, at the end too, or 0x80/0xFF)
    // would pair up with whatever follows it once converted, ".txt" included.
    const bool harmful = byte < 0x20 || byte >= 0x80 ||
                         kForbidden.find(static_cast<char>(byte)) != std::string_view::npos;
    safe += harmful ? '_' : static_cast<char>(byte);
    last_single = true;
  }
  // The stem stays a valid name on its own: Windows strips a trailing dot or space from a
  // name, and "." and ".." are steps in a path ("._" and ".._" are not).
  if (last_single && (safe.back() == '.' || safe.back() == ' ')) safe += '_';
  if (is_device_name(safe)) safe.insert(safe.begin(), '_');
  return safe;
}

}  // namespace quillreap::books
