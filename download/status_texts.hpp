// The texts a download shows in the status bar. GBK bytes spelled out; the text itself
// stands in the comment.
#pragma once

#include <string>
#include <string_view>

#include "text/primitives.hpp"

namespace quillreap::download {

inline constexpr std::string_view kFaultyBook =
    "\xB8\xC3\xCA\xE9\xBC\xAE\xD3\xD0\xB4\xED\xCE\xF3!"
    "\xC7\xEB\xB8\xFC\xBB\xBB\xCA\xE9\xBC\xAE";  // 该书籍有错误!请更换书籍

// "已查找到" + name + "的所有章节,请等待程序处理"
inline text::Text found_line(std::string_view name) {
  return text::concat("\xD2\xD1\xB2\xE9\xD5\xD2\xB5\xBD", name,
                      "\xB5\xC4\xCB\xF9\xD3\xD0\xD5\xC2\xBD\xDA,\xC7\xEB\xB5\xC8\xB4\xFD\xB3\xCC"
                      "\xD0\xF2\xB4\xA6\xC0\xED");
}

// "程序正在解析" + name + "的所有章节,请耐心等待"
inline text::Text parsing_line(std::string_view name) {
  return text::concat("\xB3\xCC\xD0\xF2\xD5\xFD\xD4\xDA\xBD\xE2\xCE\xF6", name,
                      "\xB5\xC4\xCB\xF9\xD3\xD0\xD5\xC2\xBD\xDA,\xC7\xEB\xC4\xCD\xD0\xC4\xB5\xC8"
                      "\xB4\xFD");
}

// "正在处理 《" + title + "》"
inline text::Text chapter_line(std::string_view title) {
  return text::concat("\xD5\xFD\xD4\xDA\xB4\xA6\xC0\xED \xA1\xB6", title, "\xA1\xB7");
}

// "本地已存" + N + "章,只获取其余章节": how many chapters the chapter store gave.
inline text::Text from_store_line(int chapters) {
  return text::concat("\xB1\xBE\xB5\xD8\xD2\xD1\xB4\xE6", std::to_string(chapters),
                      "\xD5\xC2,\xD6\xBB\xBB\xF1\xC8\xA1\xC6\xE4\xD3\xE0\xD5\xC2\xBD\xDA");
}

// "下载出错:" + what: a download that ended on a failure inside the program (out of memory,
// say) rather than on anything the site did.
inline text::Text download_error_line(std::string_view what) {
  return text::concat("\xCF\xC2\xD4\xD8\xB3\xF6\xB4\xED:", what);
}

// "未能获取" + name + "的章节目录,未生成TXT文本"
inline text::Text no_index_line(std::string_view name) {
  return text::concat("\xCE\xB4\xC4\xDC\xBB\xF1\xC8\xA1", name,
                      "\xB5\xC4\xD5\xC2\xBD\xDA\xC4\xBF\xC2\xBC,\xCE\xB4\xC9\xFA\xB3\xC9TXT\xCE"
                      "\xC4\xB1\xBE");
}

// name + "只有" + N + "章,没有第" + first + "章,未生成TXT文本": a part of the book that starts
// after its last chapter.
inline text::Text past_last_chapter_line(std::string_view name, int chapters, int first) {
  return text::concat(name, "\xD6\xBB\xD3\xD0", std::to_string(chapters),
                      "\xD5\xC2,\xC3\xBB\xD3\xD0\xB5\xDA", std::to_string(first),
                      "\xD5\xC2,\xCE\xB4\xC9\xFA\xB3\xC9TXT\xCE\xC4\xB1\xBE");
}

// N + "章内容疑似尚未更新,下次下载时重新获取": chapters the book holds as placeholders.
inline text::Text placeholder_chapters_line(int chapters) {
  return text::concat(std::to_string(chapters),
                      "\xD5\xC2\xC4\xDA\xC8\xDD\xD2\xC9\xCB\xC6\xC9\xD0\xCE\xB4\xB8\xFC\xD0\xC2,"
                      "\xCF\xC2\xB4\xCE\xCF\xC2\xD4\xD8\xCA\xB1\xD6\xD8\xD0\xC2\xBB\xF1\xC8\xA1");
}

// "站点要求放慢,改为" + N + "个连接": the site asked for fewer requests at once.
inline text::Text slowed_down_line(int connections) {
  return text::concat("\xD5\xBE\xB5\xE3\xD2\xAA\xC7\xF3\xB7\xC5\xC2\xFD,\xB8\xC4\xCE\xAA",
                      std::to_string(connections), "\xB8\xF6\xC1\xAC\xBD\xD3");
}

// The note of a download that leaves its chapter store alone (Report::store_not_used); in
// English, as the command line's other notes on files.
inline text::Text store_not_used_line(std::string_view path, std::string_view why) {
  return text::concat("the chapter store ", path, " is left as it is and not used (", why,
                      "); every chapter is fetched");
}

}  // namespace quillreap::download
