// The source 1 sample site's pages built from their parts, so that the site and test sites
// whose books change between downloads write the same markup.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillreap::sample_sites {

struct IndexEntry {
  std::string link;   // an absolute path on the host, as "/1_1/3.html"
  std::string title;  // GBK
};

// The book page with the "开始阅读 ... 查看目录" buttons leading to /ID/1.html and
// /ID/index.html; warning puts the broken database's message on it.
std::string source1_book_page(std::string_view id, std::string_view name, std::string_view author,
                              std::string_view intro, bool warning);
std::string source1_index_page(std::string_view name, const std::vector<IndexEntry>& entries);
// markup: what sits in the nr1 block, as the site writes it.
std::string source1_chapter_page(std::string_view id, std::string_view title,
                                 std::string_view markup);

}  // namespace quillreap::sample_sites
