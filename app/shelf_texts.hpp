// The texts of the shelf's menu items: the result list's 状态 cells and the status line.
// GBK bytes spelled out; the text itself stands in the comment.
#pragma once

#include <string>
#include <string_view>

#include "text/primitives.hpp"

namespace quillreap::app {

inline constexpr std::string_view kShelfEmpty =
    "\xCA\xE9\xBC\xDC\xCA\xC7\xBF\xD5\xB5\xC4";                    // 书架是空的
inline constexpr std::string_view kUpToDate = "\xD7\xEE\xD0\xC2";  // 最新
inline constexpr std::string_view kCheckFailed = "\xBC\xEC\xB2\xE9\xCA\xA7\xB0\xDC";  // 检查失败

// "共" + N + "章": the 状态 cell of a book on the shelf.
inline text::Text shelf_chapters_cell(int chapters) {
  return text::concat("\xB9\xB2", std::to_string(chapters), "\xD5\xC2");
}

// "书架上有" + N + "本书"
inline text::Text shelf_books_line(int books) {
  return text::concat("\xCA\xE9\xBC\xDC\xC9\xCF\xD3\xD0", std::to_string(books),
                      "\xB1\xBE\xCA\xE9");
}

// ",另有" + K + "本无法读取": behind the shelf's line when stores could not be read.
inline text::Text unreadable_stores_note(int stores) {
  return text::concat(",\xC1\xED\xD3\xD0", std::to_string(stores),
                      "\xB1\xBE\xCE\xDE\xB7\xA8\xB6\xC1\xC8\xA1");
}

// "新" + K + "章": the 状态 cell of a book with chapters its files lack.
inline text::Text new_chapters_cell(int chapters) {
  return text::concat("\xD0\xC2", std::to_string(chapters), "\xD5\xC2");
}

// "正在检查《" + name + "》"
inline text::Text checking_line(std::string_view name) {
  return text::concat("\xD5\xFD\xD4\xDA\xBC\xEC\xB2\xE9\xA1\xB6", name, "\xA1\xB7");
}

// "," + M + "本检查失败" when the checks of some books failed (their site down, or their page
// refused), "" otherwise: what the end lines of a check and an update end with.
inline text::Text failed_checks_note(int failed) {
  return failed > 0
             ? text::concat(",", std::to_string(failed), "\xB1\xBE\xBC\xEC\xB2\xE9\xCA\xA7\xB0\xDC")
             : text::Text();
}

// "检查完成:" + N + "本书有新章节", and failed_checks_note.
inline text::Text checked_line(int books, int failed_checks) {
  return text::concat("\xBC\xEC\xB2\xE9\xCD\xEA\xB3\xC9:", std::to_string(books),
                      "\xB1\xBE\xCA\xE9\xD3\xD0\xD0\xC2\xD5\xC2\xBD\xDA",
                      failed_checks_note(failed_checks));
}

// "书架更新完成:" + N + "本书有新章节,共" + K + "章", "," + M + "本更新失败" when some book was
// checked and could not be written, and failed_checks_note.
inline text::Text shelf_updated_line(int books, int chapters, int failed_updates,
                                     int failed_checks) {
  text::Text line =
      text::concat("\xCA\xE9\xBC\xDC\xB8\xFC\xD0\xC2\xCD\xEA\xB3\xC9:", std::to_string(books),
                   "\xB1\xBE\xCA\xE9\xD3\xD0\xD0\xC2\xD5\xC2\xBD\xDA,\xB9\xB2",
                   std::to_string(chapters), "\xD5\xC2");
  if (failed_updates > 0)
    line += text::concat(",", std::to_string(failed_updates),
                         "\xB1\xBE\xB8\xFC\xD0\xC2\xCA\xA7\xB0\xDC");
  return line + failed_checks_note(failed_checks);
}

}  // namespace quillreap::app
