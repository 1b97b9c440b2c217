// The sample site-search service for source 1 (UTF-8): /cse/search answers with hits laid
// out as the real service does, attributes spread over lines and the matched letters of a
// name wrapped in <em>. Runs on the search server's thread.
#include <string>

#include "tools/sample-sites/query.hpp"
#include "tools/sample-sites/served_sites.hpp"
#include "tools/sample-sites/site_paths.hpp"

namespace quillreap::sample_sites {
namespace {

// UTF-8 texts.
constexpr char kAuthorLabel[] = "\xE4\xBD\x9C\xE8\x80\x85\xEF\xBC\x9A";  // 作者：
constexpr char kKindLabel[] = "\xE7\xB1\xBB\xE5\x9E\x8B\xEF\xBC\x9A";    // 类型：
constexpr char kStateLabel[] =
    "\xE6\x9B\xB4\xE6\x96\xB0\xE7\x8A\xB6\xE6\x80\x81\xEF\xBC\x9A";               // 更新状态：
constexpr char kFinished[] = "\xE5\xAE\x8C\xE6\x9C\xAC";                          // 完本
constexpr char kClassics[] = "\xE5\x8F\xA4\xE5\x85\xB8\xE5\x90\x8D\xE8\x91\x97";  // 古典名著
constexpr char kResults[] = "\xE6\x90\x9C\xE7\xB4\xA2\xE7\xBB\x93\xE6\x9E\x9C";   // 搜索结果

std::string hit(const ServedBook& book, std::size_t match, std::size_t match_size,
                const ServedSites& sites) {
  const std::string link = "http://" + sites.config.source1_host + "/" + book.id + "/";
  const std::string name = match_size == 0 ? book.name_utf8
                                           : mark_utf8(book.name_utf8, book.name, match, match_size,
                                                       book.capital_em ? "<EM>" : "<em>",
                                                       book.capital_em ? "</EM>" : "</em>");
  std::string out = "<div class=\"result-item result-game-item\">\r\n";
  out += "    <div class=\"result-game-item-pic\">\r\n        <a cpos=\"img\" href=\"" + link +
         "\" class=\"result-game-item-pic-link\" target=\"_blank\">\r\n"
         "            <img src=\"" +
         link +
         "cover.jpg\" class=\"result-game-item-pic-link-img\">\r\n"
         "        </a>\r\n    </div>\r\n";
  out +=
      "    <div class=\"result-game-item-detail\">\r\n"
      "        <h3 class=\"result-item-title result-game-item-title\">\r\n"
      "            <a cpos=\"title\" href=\"" +
      link +
      "\" \r\n"
      "               title=\"" +
      name +
      "\" \r\n"
      "               class=\"result-game-item-title-link\" target=\"_blank\">\r\n"
      "                <span>" +
      name + "</span>\r\n            </a>\r\n        </h3>\r\n";
  if (!book.intro_utf8.empty())
    out += "        <p class=\"result-game-item-desc\">" + book.intro_utf8 + "</p>\r\n";
  out +=
      "        <div class=\"result-game-item-info\">\r\n"
      "            <p class=\"result-game-item-info-tag\">\r\n"
      "                <span class=\"result-game-item-info-tag-title preBold\">" +
      std::string(kAuthorLabel) + "</span>\r\n                <span>\r\n                    " +
      book.author_utf8 + "\r\n                </span>\r\n            </p>\r\n";
  out +=
      "            <p class=\"result-game-item-info-tag\">\r\n"
      "                <span class=\"result-game-item-info-tag-title \">" +
      std::string(kKindLabel) +
      "</span>\r\n"
      "                <span class=\"result-game-item-info-tag-item\">" +
      kClassics + "</span>\r\n            </p>\r\n";
  out +=
      "            <p class=\"result-game-item-info-tag\">\r\n"
      "                <span class=\"result-game-item-info-tag-title \">" +
      std::string(kStateLabel) +
      "</span>\r\n"
      "                <span class=\"result-game-item-info-tag-item\">" +
      kFinished + "</span>\r\n            </p>\r\n        </div>\r\n    </div>\r\n</div>\r\n";
  return out;
}

// An empty word lists every book; an identifier other than the configured one finds nothing,
// as the real service does for an unknown site.
std::string result_page(const std::string& word, const std::string& id, const ServedSites& sites) {
  std::string page = "<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<meta charset=\"utf-8\">\r\n<title>" +
                     std::string(kResults) +
                     "</title>\r\n</head>\r\n<body>\r\n<div class=\"result-list\">\r\n";
  if (id == sites.config.search_id) {
    for (const ServedBook& book : sites.source1) {
      std::size_t match = find_in_gbk(book.name, word);
      if (match != std::string_view::npos) page += hit(book, match, word.size(), sites);
    }
  }
  return page + "</div>\r\n</body>\r\n</html>\r\n";
}

}  // namespace

loopback::Response answer_search_service(const loopback::Request& request,
                                         const ServedSites& sites) {
  std::vector<std::string> pieces = path_pieces(request.target);
  if (pieces.size() != 2 || pieces[0] != "cse" || pieces[1] != "search") return not_found();
  return utf8_page(result_page(query_value(request.target, "q", "s"),
                               query_value(request.target, "s", "nsid"), sites));
}

}  // namespace quillreap::sample_sites
