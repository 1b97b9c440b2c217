// Source 3 of the sample sites (UTF-8), in the markup most small novel sites share: a
// search page of <div class="hit"> blocks linking relative to it, book pages that hold the
// index as <dd><a href="N.html"> entries, chapter text in <div id="content"> opened by an
// advertising line, every even chapter split over two pages ("N.html", then "N_2.html")
// joined by a "下一页" link. It lists source 1's books, each introduction ending in a
// character GBK lacks. Runs on the source 3 server's thread.
#include <string>

#include "text/cp936.hpp"
#include "tools/sample-sites/query.hpp"
#include "tools/sample-sites/served_sites.hpp"
#include "tools/sample-sites/site_paths.hpp"

namespace quillreap::sample_sites {
namespace {

constexpr char kHead[] = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>";
// A snowman (U+2603): GBK has no such character, so the program reads it as '?'.
constexpr char kNotInGbk[] = "\xE2\x98\x83";
constexpr std::string_view kSecondPage = "_2.html";

std::string head(std::string_view title) {
  return std::string(kHead).append(title).append("</title></head>\n<body>\n");
}

std::string utf8(std::string_view gbk) {
  return text::cp936_to_utf8(gbk);
}

std::string search_page(const std::string& word_utf8, const ServedSites& sites) {
  std::string page = head(utf8("\xCB\xD1\xCB\xF7\xBD\xE1\xB9\xFB"));  // 搜索结果
  for (const ServedBook& book : sites.source3) {
    if (book.name_utf8.find(word_utf8) == std::string::npos) continue;
    page += "<div class=\"hit\"><a href=\"book/" + book.id + "/\">" + book.name_utf8 +
            "</a><span>" + book.author_utf8 + "</span><p>" + book.intro_utf8 + kNotInGbk +
            "</p></div>\n";
  }
  return page + "</body></html>\n";
}

std::string book_page(const ServedBook& book) {
  std::string page = head(book.name_utf8);
  page += "<h1>" + book.name_utf8 + "</h1>\n<p>" + book.author_utf8 + "</p>\n<dl><dt>" +
          utf8("\xD5\xFD\xCE\xC4") + "</dt>\n";  // 正文
  for (int n = 1; n <= book.chapter_count; ++n) {
    page += "<dd><a href=\"" + std::to_string(n) + ".html\">" + utf8(chapter_title(book, n)) +
            "</a></dd>\n";
  }
  return page + "</dl>\n</body></html>\n";
}

// An even chapter is cut at the paragraph break nearest its middle.
std::size_t split_at(const std::string& markup, int n) {
  if (n % 2 != 0) return markup.size();
  const std::size_t at = markup.find("<br /><br />", markup.size() / 2);
  return at == std::string::npos ? markup.size() / 2 : at;
}

// Page 1 or 2 of chapter n; the script blocks and the advertising line are what the
// site's cleaning takes out again.
std::string chapter_page(const ServedBook& book, int n, int part, const ServedSites& sites) {
  const std::string markup = chapter_markup(book, n, 1, sites);
  const std::size_t cut = split_at(markup, n);
  const std::string title = utf8(chapter_title(book, n));
  std::string page = head(title) + "<h1>" + title + "</h1>\n<div id=\"content\">";
  if (part == 1) {
    page += utf8("\xCC\xEC\xB2\xC5\xD2\xBB\xC3\xEB\xBC\xC7\xD7\xA1\xB1\xBE\xD5\xBE\xA3\xBA") +
            sites.source3_host + "<br /><br />";  // 天才一秒记住本站：
  }
  page += utf8(part == 1 ? markup.substr(0, cut) : markup.substr(cut));
  page += "<script>read_more();</script></div>\n<a id=\"next\" href=\"";
  if (part == 1 && cut < markup.size()) {
    page += std::to_string(n) + std::string(kSecondPage) + "\">" +
            utf8("\xCF\xC2\xD2\xBB\xD2\xB3") + "</a>\n";  // 下一页
  } else {
    page +=
        std::to_string(n + 1) + ".html\">" + utf8("\xCF\xC2\xD2\xBB\xD5\xC2") + "</a>\n";  // 下一章
  }
  return page + "</body></html>\n";
}

// The chapter a page name stands for, and which of its pages; {0, 0} for none.
std::pair<int, int> chapter_part(const std::string& name) {
  if (const int n = chapter_number(name)) return {n, 1};
  if (name.size() > kSecondPage.size() &&
      name.compare(name.size() - kSecondPage.size(), kSecondPage.size(), kSecondPage) == 0) {
    const int n = chapter_number(name.substr(0, name.size() - kSecondPage.size()) + ".html");
    if (n % 2 == 0) return {n, 2};
  }
  return {0, 0};
}

}  // namespace

loopback::Response answer_source3(const loopback::Request& request, const ServedSites& sites) {
  const std::vector<std::string> pieces = path_pieces(request.target);
  if (pieces.size() == 1 && pieces[0] == "search.php")
    return utf8_page(search_page(query_value(request.target, "q", "q"), sites));
  if (pieces.size() != 3 || pieces[0] != "book") return not_found();
  const ServedBook* book = find_book(sites.source3, pieces[1]);
  if (!book) return not_found();
  if (pieces[2].empty()) return utf8_page(book_page(*book));
  const auto [n, part] = chapter_part(pieces[2]);
  if (n >= 1 && n <= book->chapter_count) return utf8_page(chapter_page(*book, n, part, sites));
  return not_found();
}

}  // namespace quillreap::sample_sites
