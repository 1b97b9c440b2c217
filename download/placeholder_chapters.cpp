// The placeholder test: a count of the text's bytes that are not spaces, stopping once the
// chapter is long enough, then the phrases sites put where a chapter's text will go.
#include "download/placeholder_chapters.hpp"

#include "text/primitives.hpp"

namespace quillreap::download {
namespace {

// What the sites write in place of a chapter not typed in yet. GBK bytes; the text stands
// in the comment. A phrase found anywhere in the text, even a long one, marks it.
constexpr std::string_view kPlaceholderPhrases[] = {
    "\xD5\xFD\xD4\xDA\xCA\xD6\xB4\xF2\xD6\xD0",                          // 正在手打中
    "\xD5\xC2\xBD\xDA\xC4\xDA\xC8\xDD\xD5\xFD\xD4\xDA\xB8\xFC\xD0\xC2",  // 章节内容正在更新
    "\xB1\xBE\xD5\xC2\xC4\xDA\xC8\xDD\xB8\xFC\xD0\xC2\xD6\xD0",          // 本章内容更新中
    "\xC7\xEB\xC9\xD4\xBA\xF3\xD4\xD9\xC0\xB4",                          // 请稍后再来
};

bool is_ascii_space(unsigned char byte) {
  return byte == ' ' || byte == '\t' || byte == '\r' || byte == '\n';
}

// Bytes that are neither spaces nor line breaks, counted up to kShortestRealChapter. A byte
// of 0x80 or above leads a two-byte character, so the full-width space is only ever
// matched on a character boundary.
std::size_t text_bytes(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size() && count < kShortestRealChapter;) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte >= 0x80 && i + 1 < text.size()) {
      const bool full_width_space = byte == 0xA1 && static_cast<unsigned char>(text[i + 1]) == 0xA1;
      if (!full_width_space) count += 2;
      i += 2;
      continue;
    }
    if (!is_ascii_space(byte)) ++count;
    ++i;
  }
  return count;
}

}  // namespace

bool looks_like_placeholder(std::string_view cleaned_text) {
  if (text_bytes(cleaned_text) < kShortestRealChapter) return true;
  for (std::string_view phrase : kPlaceholderPhrases) {
    if (text::find_text(cleaned_text, phrase) > 0) return true;
  }
  return false;
}

}  // namespace quillreap::download
