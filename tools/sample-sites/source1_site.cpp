// Source 1 of the sample sites (GBK): the front page, book pages with the
// "开始阅读 ... 查看目录" buttons, chapter indexes of '<li><a href=...' entries and
// chapter pages whose text sits in the nr1 block. Runs on the source 1 server's thread.
#include <string>

#include "tools/sample-sites/served_sites.hpp"
#include "tools/sample-sites/site_paths.hpp"
#include "tools/sample-sites/source1_pages.hpp"

namespace quillreap::sample_sites {
namespace {

constexpr char kHead[] =
    "<!DOCTYPE html>\r\n<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
    "charset=gbk\" /><title>";
constexpr char kAuthorLabel[] = "\xD7\xF7\xD5\xDF\xA3\xBA";        // 作者：
constexpr char kReadStart[] = "\xBF\xAA\xCA\xBC\xD4\xC4\xB6\xC1";  // 开始阅读
constexpr char kShowIndex[] = "\xB2\xE9\xBF\xB4\xC4\xBF\xC2\xBC";  // 查看目录
constexpr char kIndexWord[] = "\xC4\xBF\xC2\xBC";                  // 目录
// What a broken database layer prints into the page of the faulty sample book.
constexpr char kWarning[] =
    "<br />\r\n<b>Warning</b>:  mysql_fetch_array() expects parameter 1 to be resource, "
    "boolean given in <b>/www/web/book/info.php</b> on line <b>27</b><br />\r\n";

std::string head(std::string_view title) {
  return std::string(kHead).append(title).append("</title></head>\r\n<body>\r\n");
}

std::string front_page(const ServedSites& sites) {
  std::string page = head("\xCA\xD7\xD2\xB3");  // 首页
  page += "<div class=\"novels\">\r\n";
  for (const ServedBook& book : sites.source1)
    page += "<p><a href=\"/" + book.id + "/\">" + book.name + "</a></p>\r\n";
  return page + "</div>\r\n</body></html>\r\n";
}

std::string index_page(const ServedBook& book) {
  std::vector<IndexEntry> entries;
  for (int n = 1; n <= book.chapter_count; ++n)
    entries.push_back({"/" + book.id + "/" + std::to_string(n) + ".html", chapter_title(book, n)});
  return source1_index_page(book.name, entries);
}

}  // namespace

std::string source1_book_page(std::string_view id, std::string_view name, std::string_view author,
                              std::string_view intro, bool warning) {
  const std::string book_id(id);
  std::string page = head(name);
  // Pages of sound books carry the word in lower case only.
  page += warning ? std::string(kWarning) : std::string("<div class=\"warning-bar\"></div>\r\n");
  page += "<div id=\"info\"><h1>" + std::string(name) + "</h1>\r\n<p>" + kAuthorLabel +
          std::string(author) + "</p>\r\n<p class=\"intro\">" + std::string(intro) + "</p>\r\n";
  page += "<div class=\"btns\"><span class=\"btopt\"><a href=\"/" + book_id + "/1.html\" title=\"" +
          kReadStart + "\">" + kReadStart + "</a></span> <span class=\"btopt\"><a href=\"/" +
          book_id + "/index.html\" title=\"" + kShowIndex + "\">" + kShowIndex +
          "</a></span></div>\r\n";
  return page + "</div>\r\n</body></html>\r\n";
}

std::string source1_index_page(std::string_view name, const std::vector<IndexEntry>& entries) {
  std::string page = head(name);
  page += "<div id=\"list\"><h1>" + std::string(name) + "</h1>\r\n<ul>\r\n";
  for (const IndexEntry& entry : entries)
    page += "<li><a href='" + entry.link + "'>" + entry.title + "<span></span></a></li>\r\n";
  return page + "</ul></div>\r\n</body></html>\r\n";
}

std::string source1_chapter_page(std::string_view id, std::string_view title,
                                 std::string_view markup) {
  std::string page = head(title);
  page += "<h1>" + std::string(title) + "</h1>\r\n<div id=\"nr1\">" + std::string(markup) +
          "</div>\r\n<div class=\"page\"><a href=\"/" + std::string(id) + "/index.html\">" +
          kIndexWord + "</a></div>\r\n";
  return page + "</body></html>\r\n";
}

loopback::Response answer_source1(const loopback::Request& request, const ServedSites& sites) {
  std::vector<std::string> pieces = path_pieces(request.target);
  if (pieces.empty()) return gbk_page(front_page(sites));
  const ServedBook* book = find_book(sites.source1, pieces[0]);
  if (!book || pieces.size() != 2) return not_found();
  if (pieces[1].empty())
    return gbk_page(
        source1_book_page(book->id, book->name, book->author, book->intro, book->warning));
  if (pieces[1] == "index.html") return gbk_page(index_page(*book));
  int n = chapter_number(pieces[1]);
  if (n >= 1 && n <= book->chapter_count)
    return gbk_page(source1_chapter_page(book->id, chapter_title(*book, n),
                                         chapter_markup(*book, n, 1, sites)));
  return not_found();
}

}  // namespace quillreap::sample_sites
