// The status texts of a download that writes the EPUB book. GBK bytes spelled out; the
// text itself stands in the comment.
#pragma once

#include <string>
#include <string_view>

#include "books/status_texts.hpp"
#include "text/primitives.hpp"

namespace quillreap::books {

// Behind the TXT's completion line when the EPUB was written beside it.
inline constexpr std::string_view kEpubAlsoWritten =
    "(\xD2\xD1\xCD\xAC\xCA\xB1\xC9\xFA\xB3\xC9"
    "EPUB)";  // (已同时生成EPUB)
// Behind the TXT's completion line when the EPUB could not be saved.
inline constexpr std::string_view kEpubNotSaved =
    "(EPUB\xB1\xA3\xB4\xE6\xCA\xA7\xB0\xDC)";  // (EPUB保存失败)

// "书籍:" + name + "的所有章节已生成EPUB电子书在程序目录下", and lost_chapters_note behind
// it: the completion line of a download writing only the EPUB.
inline text::Text epub_written_line(std::string_view name, int failed_chapters) {
  return text::concat("\xCA\xE9\xBC\xAE:", name,
                      "\xB5\xC4\xCB\xF9\xD3\xD0\xD5\xC2\xBD\xDA\xD2\xD1\xC9\xFA\xB3\xC9"
                      "EPUB\xB5\xE7\xD7\xD3\xCA\xE9\xD4\xDA\xB3\xCC\xD0\xF2\xC4\xBF"
                      "\xC2\xBC\xCF\xC2",
                      lost_chapters_note(failed_chapters));
}

// "书籍:" + name + "的EPUB电子书保存失败"
inline text::Text epub_save_failed_line(std::string_view name) {
  return text::concat("\xCA\xE9\xBC\xAE:", name,
                      "\xB5\xC4"
                      "EPUB\xB5\xE7\xD7\xD3\xCA\xE9\xB1\xA3\xB4\xE6\xCA\xA7\xB0\xDC");
}

}  // namespace quillreap::books
