// Reading a chapter range and laying it over an index.
#include "download/chapter_range.hpp"

#include <algorithm>
#include <charconv>

namespace quillreap::download {
namespace {

// Digits only, no sign or space, from 1 up.
std::optional<int> position(std::string_view text) {
  int number = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, number);
  if (text.empty() || text.front() == '-' || error != std::errc() || stop != end || number < 1)
    return std::nullopt;
  return number;
}

}  // namespace

std::optional<ChapterRange> parse_chapter_range(std::string_view text) {
  const std::size_t dash = text.find('-');
  if (dash == std::string_view::npos) return std::nullopt;
  const std::optional<int> first = position(text.substr(0, dash));
  if (!first) return std::nullopt;
  const std::string_view after = text.substr(dash + 1);
  if (after.empty()) return ChapterRange{*first, std::nullopt, 0};
  const std::optional<int> last = position(after);
  if (!last || *last < *first) return std::nullopt;
  return ChapterRange{*first, *last, 0};
}

std::optional<ChapterRange> parse_last_chapters(std::string_view text) {
  const std::optional<int> count = position(text);
  if (!count) return std::nullopt;
  return ChapterRange{1, std::nullopt, *count};
}

std::optional<books::BookPart> part_of(const ChapterRange& range, int chapters) {
  if (range.count > 0) {
    if (chapters < 1) return std::nullopt;
    return books::BookPart{std::max(1, chapters - range.count + 1), chapters};
  }
  if (range.first > chapters) return std::nullopt;
  return books::BookPart{range.first, std::min(range.last.value_or(chapters), chapters)};
}

}  // namespace quillreap::download
