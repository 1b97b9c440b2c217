// Source 2 of the sample sites (GBK): the search page of CListTitle hits, book pages whose
// b1 link names the index directory, chapter indexes of '<li><strong ><a ...' entries
// relative to that directory, and contentbox chapter pages with the site's anchors and
// advertising sentences. Runs on the source 2 server's thread.
#include <string>

#include "tools/sample-sites/query.hpp"
#include "tools/sample-sites/served_sites.hpp"
#include "tools/sample-sites/site_paths.hpp"

namespace quillreap::sample_sites {
namespace {

constexpr char kHead[] =
    "<!DOCTYPE html>\r\n<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
    "charset=gb2312\" /><title>";
constexpr char kAuthorLabel[] = "\xD7\xF7\xD5\xDF\xA3\xBA";      // 作者：
constexpr char kIndexWord[] = "\xC4\xBF\xC2\xBC";                // 目录
constexpr char kFinished[] = "\xCD\xEA\xB1\xBE";                 // 完本
constexpr char kRead[] = "\xB5\xE3\xBB\xF7\xD4\xC4\xB6\xC1";     // 点击阅读
constexpr char kResults[] = "\xCB\xD1\xCB\xF7\xBD\xE1\xB9\xFB";  // 搜索结果

std::string head(std::string_view title) {
  return std::string(kHead).append(title).append("</title></head>\r\n<body>\r\n");
}

std::string index_dir(const ServedBook& book) {
  return "/Html/" + book.id + "/";
}

std::string front_page(const ServedSites& sites) {
  std::string page = head(sites.display_name);
  page += "<div class=\"novels\">\r\n";
  for (const ServedBook& book : sites.source2)
    page += "<p><a href=\"/Book/" + book.id + ".aspx\">" + book.name + "</a></p>\r\n";
  return page + "</div>\r\n</body></html>\r\n";
}

// An empty word lists every book.
std::string search_page(const std::string& word, const ServedSites& sites) {
  std::string page = head(kResults);
  page += "<div class=\"SearchList\">\r\n";
  for (const ServedBook& book : sites.source2) {
    if (find_in_gbk(book.name, word) == std::string_view::npos) continue;
    page += "<div class=\"CListTitle\"><a href=\"/Book/" + book.id +
            ".aspx\" target=\"_blank\"><b>" + book.name + "</b></a> <span class=\"Author\">" +
            kAuthorLabel + "<a href=\"/Author/" + book.id + ".shtml\">" + book.author +
            "</a> | <a href=\"" + index_dir(book) + "Index.html\">" + kIndexWord + "</a> | " +
            kFinished + "</span></div>\r\n";
    // The site cuts introductions short and always ends them with "...".
    page += "<div class=\"CListText\">" + book.intro + "...</div>\r\n";
  }
  return page + "</div>\r\n</body></html>\r\n";
}

std::string book_page(const ServedBook& book) {
  std::string page = head(book.name);
  page += "<div class=\"book\"><h1>" + book.name + "</h1>\r\n<p>" + kAuthorLabel + book.author +
          "</p>\r\n<p>" + book.intro + "</p>\r\n";
  page += "<div class=\"b1\"><a href=\"" + index_dir(book) + "Index.html\" id=\"BookIndex\">" +
          kRead + "</a></div>\r\n";
  return page + "</div>\r\n</body></html>\r\n";
}

std::string index_page(const ServedBook& book) {
  std::string page = head(book.name);
  page += "<div class=\"List\"><h1>" + book.name + "</h1>\r\n<ul>\r\n";
  for (int n = 1; n <= book.chapter_count; ++n) {
    std::string title = chapter_title(book, n);
    page += "<li><strong ><a href=\"" + std::to_string(n) + ".html\" title=\"" + title + "\">" +
            title + "</a></strong ></li>\r\n";
  }
  return page + "</ul></div>\r\n</body></html>\r\n";
}

std::string chapter_page(const ServedBook& book, int n, const ServedSites& sites) {
  std::string title = chapter_title(book, n);
  std::string page = head(title);
  page += "<h1>" + title + "</h1>\r\n<div id=\"content\" class=\"contentbox\"><br />" +
          chapter_markup(book, n, 2, sites) +
          "<br /><br /></div>\r\n<div class=\"page\"><a href=\"" + index_dir(book) +
          "Index.html\">" + kIndexWord + "</a></div>\r\n";
  return page + "</body></html>\r\n";
}

}  // namespace

loopback::Response answer_source2(const loopback::Request& request, const ServedSites& sites) {
  std::vector<std::string> pieces = path_pieces(request.target);
  if (pieces.empty()) return gbk_page(front_page(sites));
  if (pieces.size() == 2 && pieces[0] == "Book") {
    if (pieces[1] == "Search.aspx")
      return gbk_page(search_page(query_value(request.target, "SearchKey", "SearchClass"), sites));
    constexpr std::string_view kBookSuffix = ".aspx";
    const std::string& file = pieces[1];
    if (file.size() > kBookSuffix.size() &&
        file.compare(file.size() - kBookSuffix.size(), kBookSuffix.size(), kBookSuffix) == 0) {
      if (const ServedBook* book =
              find_book(sites.source2, file.substr(0, file.size() - kBookSuffix.size())))
        return gbk_page(book_page(*book));
    }
    return not_found();
  }
  if (pieces.size() == 3 && pieces[0] == "Html") {
    const ServedBook* book = find_book(sites.source2, pieces[1]);
    if (!book) return not_found();
    // The download fetches the index directory itself ("/Html/<id>/"), the book page's
    // link without its Index.html.
    if (pieces[2] == "Index.html" || pieces[2].empty()) return gbk_page(index_page(*book));
    int n = chapter_number(pieces[2]);
    if (n >= 1 && n <= book->chapter_count) return gbk_page(chapter_page(*book, n, sites));
  }
  return not_found();
}

}  // namespace quillreap::sample_sites
