// The status texts of searches, books and downloads, as the user reads them.
#include <gtest/gtest.h>

#include "books/status_texts.hpp"
#include "download/status_texts.hpp"
#include "sites/status_texts.hpp"

namespace quillreap::download {
namespace {

using books::save_failed_line;
using books::written_line;
using namespace sites;

TEST(StatusTexts, ReadAsTheUserSeesThem) {
  EXPECT_EQ(kSearchDone, "搜索完成!");
  EXPECT_EQ(kSearchingSource1, "正在源站①搜索中.");
  EXPECT_EQ(kSearchingSource2, "正在源站②搜索中.");
  EXPECT_EQ(kNoIntroduction, "暂无简介");
  EXPECT_EQ(kFaultyBook, "该书籍有错误!请更换书籍");
  EXPECT_EQ(found_line("书"), "已查找到书的所有章节,请等待程序处理");
  EXPECT_EQ(parsing_line("书"), "程序正在解析书的所有章节,请耐心等待");
  EXPECT_EQ(chapter_line("第一章"), "正在处理 《第一章》");
  EXPECT_EQ(written_line("书", 0), "书籍:书的所有章节已生成TXT文本在程序目录下");
  EXPECT_EQ(written_line("书", 12), "书籍:书的所有章节已生成TXT文本在程序目录下(有12章获取失败)");
  EXPECT_EQ(save_failed_line("书"), "书籍:书的TXT文本保存失败");
  EXPECT_EQ(no_index_line("书"), "未能获取书的章节目录,未生成TXT文本");
}

}  // namespace
}  // namespace quillreap::download
