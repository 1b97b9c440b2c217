// The completion lines of the TXT book. GBK bytes spelled out; the text itself stands in
// the comment.
#pragma once

#include <string>
#include <string_view>

#include "text/primitives.hpp"

namespace quillreap::books {

// "(有N章获取失败)" when chapters were lost, "" otherwise: what a completion line ends with.
inline text::Text lost_chapters_note(int failed_chapters) {
  if (failed_chapters <= 0) return {};
  return text::concat("(\xD3\xD0", std::to_string(failed_chapters),
                      "\xD5\xC2\xBB\xF1\xC8\xA1\xCA\xA7\xB0\xDC)");
}

// "书籍:" + name + "的所有章节已生成TXT文本在程序目录下", and lost_chapters_note behind it.
inline text::Text written_line(std::string_view name, int failed_chapters) {
  return text::concat(
      "\xCA\xE9\xBC\xAE:", name,
      "\xB5\xC4\xCB\xF9\xD3\xD0\xD5\xC2\xBD\xDA\xD2\xD1\xC9\xFA\xB3\xC9TXT\xCE\xC4\xB1\xBE\xD4\xDA"
      "\xB3\xCC\xD0\xF2\xC4\xBF\xC2\xBC\xCF\xC2",
      lost_chapters_note(failed_chapters));
}

// Whether line is a TXT's completion line, written_line's, for any name.
inline bool is_written_line(std::string_view line) {
  const text::Text tail = written_line("", 0).substr(5);
  return line.starts_with(written_line("", 0).substr(0, 5)) &&
         line.find(tail) != std::string_view::npos;
}

// "书籍:" + name + "的TXT文本保存失败"
inline text::Text save_failed_line(std::string_view name) {
  return text::concat("\xCA\xE9\xBC\xAE:", name,
                      "\xB5\xC4TXT\xCE\xC4\xB1\xBE\xB1\xA3\xB4\xE6\xCA\xA7\xB0\xDC");
}

}  // namespace quillreap::books
