// Which cleaned chapters count as placeholders: too little text once spaces and line breaks
// are left out (the full-width space only as a whole character), or a placeholder phrase
// anywhere in the text.
#include <gtest/gtest.h>

#include <string>

#include "download/placeholder_chapters.hpp"
#include "text/primitives.hpp"

namespace quillreap::download {
namespace {

using text::concat;

// n bytes of text: n/2 two-byte characters, one ASCII letter when n is odd.
std::string text_of(std::size_t bytes) {
  std::string out;
  for (std::size_t i = 0; i < bytes / 2; ++i) out += "字";
  if (bytes % 2) out += "a";
  return out;
}

TEST(PlaceholderChapters, ShortTextsAndPlaceholderPhrasesAreTheRule) {
  const std::string long_enough = text_of(kShortestRealChapter);
  struct Case {
    const char* what;
    std::string text;
    bool placeholder;
  };
  const Case cases[] = {
      {"empty", "", true},
      {"one byte short", text_of(kShortestRealChapter - 1), true},
      {"just long enough", long_enough, false},
      // One byte short: any of the spaces counted would make it long enough.
      {"padded with every kind of space",
       concat("　　", text_of(kShortestRealChapter - 1), " \t\r\n　\r\n"), true},
      // A1 A1 across two characters (啊 then “) is no full-width space: all four bytes count.
      {"A1 A1 straddling two characters",
       concat("\xB0\xA1\xA1\xB0", text_of(kShortestRealChapter - 4)), false},
      {"only full-width spaces", std::string(200, '\xA1'), true},
      {"other punctuation counts", std::string(kShortestRealChapter, '.'), false},
      {"正在手打中 in a long text", concat(long_enough, "正在手打中，请稍候……"), true},
      {"章节内容正在更新", concat("　　章节内容正在更新", long_enough), true},
      {"本章内容更新中", concat(long_enough, "本章内容更新中", long_enough), true},
      {"请稍后再来", concat("请稍后再来。", long_enough), true},
      // 正 is D5 FD; a phrase must start on a character, not inside one.
      {"phrase bytes misaligned",
       concat("\xB0\xD5\xFD\xD4\xDA\xCA\xD6\xB4\xF2\xD6\xD0"
              "a",
              long_enough),
       false},
      {"a real chapter",
       "　　他推开门，屋里一片漆黑。窗外的雨下了整整一夜，直到天亮才停。他点起灯，看见桌上放着一封"
       "信。",
       false},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    EXPECT_EQ(looks_like_placeholder(test.text), test.placeholder);
  }
}

}  // namespace
}  // namespace quillreap::download
