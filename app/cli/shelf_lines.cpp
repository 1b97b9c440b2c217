// The shelf's lines for the terminal, and picking books of the shelf by name.
#include "app/cli/shelf_lines.hpp"

#include <algorithm>
#include <ctime>
#include <string>

namespace quillreap::app::cli {
namespace {

// A tab or line break inside a cell would split the line, so it is shown as a space.
void add_cell(text::Text& line, std::string_view cell) {
  if (!line.empty()) line += '\t';
  for (char c : cell) line += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
}

text::Text local_time(std::int64_t seconds) {
  const std::time_t time = static_cast<std::time_t>(seconds);
  // The command line's one thread reads the C library's shared time buffer.
  const std::tm* local = std::localtime(&time);
  char written[32] = "";
  if (local) std::strftime(written, sizeof written, "%Y-%m-%d %H:%M", local);
  return written;
}

}  // namespace

text::Text shelf_line(const download::ShelfBook& book) {
  text::Text line;
  for (std::string_view cell :
       {std::string_view(book.address), std::string_view(book.record.name),
        std::string_view(book.record.introduction), std::string_view(book.record.author)})
    add_cell(line, cell);
  add_cell(line, std::to_string(book.record.chapters));
  add_cell(line, local_time(book.record.written_at));
  add_cell(line, book.record.files_name());
  return line + "\n";
}

std::vector<download::ShelfBook> books_named(const std::vector<download::ShelfBook>& shelf,
                                             const std::vector<text::Text>& names,
                                             std::optional<text::Text>& unknown) {
  std::vector<download::ShelfBook> named;
  const auto named_by = [](const download::ShelfBook& book, const text::Text& name) {
    return book.record.name == name || book.address == name;
  };
  for (const text::Text& name : names) {
    if (std::none_of(shelf.begin(), shelf.end(),
                     [&](const download::ShelfBook& book) { return named_by(book, name); })) {
      unknown = name;
      return {};
    }
  }
  for (const download::ShelfBook& book : shelf)
    if (std::any_of(names.begin(), names.end(),
                    [&](const text::Text& name) { return named_by(book, name); }))
      named.push_back(book);
  return named;
}

}  // namespace quillreap::app::cli
