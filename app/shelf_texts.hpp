// The texts of the shelf's menu items: the result list's 状态 cells and the status line.
// GBK bytes spelled out; the text itself stands in the comment.
#pragma once

#include <string>
#include <string_view>

#include "text/primitives.hpp"

namespace quillreap::app {

inline constexpr std::string_view kShelfEmpty =
    "\xCA\xE9\xBC\xDC\xCA\xC7\xBF\xD5\xB5\xC4";  // 书架是空的
inline constexpr std::string_view kUpToDate = "\xD2\xD1\xCA\xC7\xD7\xEE\xD0\xC2";  // 已是最新
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

// "有" + K + "章新内容": the 状态 cell of a book with chapters to fetch.
inline text::Text new_chapters_cell(int chapters) {
  return text::concat("\xD3\xD0", std::to_string(chapters), "\xD5\xC2\xD0\xC2\xC4\xDA\xC8\xDD");
}

// "正在检查《" + name + "》"
inline text::Text checking_line(std::string_view name) {
  return text::concat("\xD5\xFD\xD4\xDA\xBC\xEC\xB2\xE9\xA1\xB6", name, "\xA1\xB7");
}

// "检查完成:" + N + "本书有新章节"
inline text::Text checked_line(int books) {
  return text::concat("\xBC\xEC\xB2\xE9\xCD\xEA\xB3\xC9:", std::to_string(books),
                      "\xB1\xBE\xCA\xE9\xD3\xD0\xD0\xC2\xD5\xC2\xBD\xDA");
}

// "书架更新完成:" + N + "本书有新章节,共" + K + "章", and "," + M + "本更新失败" when some failed.
inline text::Text shelf_updated_line(int books, int chapters, int failed) {
  text::Text line =
      text::concat("\xCA\xE9\xBC\xDC\xB8\xFC\xD0\xC2\xCD\xEA\xB3\xC9:", std::to_string(books),
                   "\xB1\xBE\xCA\xE9\xD3\xD0\xD0\xC2\xD5\xC2\xBD\xDA,\xB9\xB2",
                   std::to_string(chapters), "\xD5\xC2");
  if (failed > 0)
    line += text::concat(",", std::to_string(failed), "\xB1\xBE\xB8\xFC\xD0\xC2\xCA\xA7\xB0\xDC");
  return line;
}

}  // namespace quillreap::app
