// Reading a download list into its books.
#include "app/cli/book_list.hpp"

#include <algorithm>

#include "text/codepage.hpp"

namespace quillreap::app::cli {
namespace {

// Whether every byte belongs to a well-formed UTF-8 sequence (overlong forms and
// surrogates included: a GBK text that passes this is vanishingly rare).
bool is_utf8(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if ((lead >= 0x80 && lead < 0xC2) || lead > 0xF4 || i + length > bytes.size()) return false;
    for (std::size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
    i += length;
  }
  return true;
}

Text as_gbk(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  return is_utf8(bytes) ? text::utf8_to_ansi(bytes) : Text(bytes);
}

std::vector<Text> cells_of(std::string_view line) {
  std::vector<Text> cells;
  for (std::size_t start = 0;;) {
    const std::size_t tab = line.find('\t', start);
    cells.push_back(text::trim_spaces(line.substr(start, tab - start)));
    if (tab == std::string_view::npos) return cells;
    start = tab + 1;
  }
}

}  // namespace

std::vector<ListedBook> read_book_list(std::string_view bytes) {
  const Text list = as_gbk(bytes);
  std::vector<ListedBook> books;
  int number = 0;
  for (std::size_t start = 0; start < list.size();) {
    std::size_t end = list.find('\n', start);
    if (end == Text::npos) end = list.size();
    std::string_view line = std::string_view(list).substr(start, end - start);
    start = end + 1;
    ++number;
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.starts_with('#') || line.find_first_not_of(" \t") == std::string_view::npos) continue;
    std::vector<Text> cells = cells_of(line);
    cells.resize(std::max<std::size_t>(cells.size(), 4));
    books.push_back({number, cells[0], cells[1], cells[2], cells[3]});
  }
  return books;
}

}  // namespace quillreap::app::cli
