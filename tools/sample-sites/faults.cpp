// The fault site: builds each book's pages in the two sources' markup, then lets the fault
// named by the path's first step spoil the page it is about. Handlers run on the server's
// thread.
#include "tools/sample-sites/faults.hpp"

#include <optional>
#include <utility>

namespace quillreap::sample_sites {
namespace {

constexpr char kReadStart[] = "\xBF\xAA\xCA\xBC\xD4\xC4\xB6\xC1";  // 开始阅读
constexpr char kShowIndex[] = "\xB2\xE9\xBF\xB4\xC4\xBF\xC2\xBC";  // 查看目录
constexpr char kIndexWord[] = "\xC4\xBF\xC2\xBC";                  // 目录
constexpr char kBodyWord[] = "\xD5\xFD\xCE\xC4";                   // 正文
// "作者：" and "更新状态：" in UTF-8, for the site-search service's page.
constexpr char kAuthorUtf8[] = "\xE4\xBD\x9C\xE8\x80\x85\xEF\xBC\x9A";
constexpr char kUpdatedUtf8[] = "\xE6\x9B\xB4\xE6\x96\xB0\xE7\x8A\xB6\xE6\x80\x81\xEF\xBC\x9A";

const std::vector<FaultInfo> kFaults = {
    {"plain", "no fault: a sound two-chapter book"},
    {"refused-book", "the book page's host refuses connections"},
    {"refused-chapter", "chapter 2 redirects to a host that refuses connections"},
    {"reset-book", "the book page's connection is reset in the middle of its body"},
    {"reset-chapter", "chapter 2's connection is reset in the middle of its body"},
    {"stall-book", "the book page is accepted and never answered"},
    {"stall-chapter", "chapter 2 is accepted and never answered"},
    {"404-book", "the book page answers 404"},
    {"404-index", "the index page answers 404"},
    {"404-chapter", "chapter 2 answers 404"},
    {"500-book", "the book page answers 500"},
    {"500-index", "the index page answers 500"},
    {"500-chapter", "chapter 2 answers 500"},
    {"redirect-loop-book", "the book page redirects to itself"},
    {"redirect-loop-chapter", "chapter 2 redirects to itself"},
    {"huge-chapter", "chapter 2 holds 30 MB of text"},
    {"nul-chapter", "zero bytes after chapter 1's markers, before and after chapter 2's"},
    {"bad-gbk", "chapter 2's title and text hold invalid GBK; its page ends in a lone lead byte"},
    {"big-headers-book", "the book page comes with a 64 KB header block of 200 Set-Cookie lines"},
    {"index-50000", "the index lists 50,000 chapters"},
    {"crlf-link", "chapter 2's link holds CR LF and a header line"},
    {"warning-book", "the source 1 book page carries the site's Warning"},
};

bool is_fault(std::string_view name) {
  for (const FaultInfo& fault : kFaults)
    if (fault.name == name) return true;
  return false;
}

loopback::Response page(std::string body) {
  loopback::Response response;
  response.headers = {{"Content-Type", "text/html; charset=gbk"}};
  response.body = std::move(body);
  return response;
}

loopback::Response error_page(int status) {
  loopback::Response response =
      page("<html><body>error " + std::to_string(status) + "</body></html>");
  response.status = status;
  response.reason = status == 404 ? "Not Found" : "Internal Server Error";
  return response;
}

loopback::Response redirect(const std::string& location) {
  loopback::Response response = page("<html>moved</html>");
  response.status = 302;
  response.reason = "Found";
  response.headers.emplace_back("Location", location);
  return response;
}

// The page's head as a raw response: a 64 KB block of 200 Set-Cookie lines and filler.
loopback::Response big_header_page(std::string body) {
  std::string head = "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=gbk\r\n";
  for (int n = 0; n < kSetCookieLines; ++n)
    head += "Set-Cookie: fault" + std::to_string(n) + "=v" + std::to_string(n) +
            "; Path=/; HttpOnly\r\n";
  for (int n = 0; head.size() < kHeaderBlockBytes - 200; ++n)
    head += "X-Filler-" + std::to_string(n) + ": " + std::string(100, 'f') + "\r\n";
  head += "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n";
  loopback::Response response;
  response.raw = head + body;
  return response;
}

std::string chapter_text(int chapter) {
  return std::string(kBodyWord) + " of chapter " + std::to_string(chapter) + ".";
}
std::string chapter_title(int chapter) {
  return "Chapter " + std::to_string(chapter);
}

// Source 1 markup.
std::string source1_book(const std::string& root, bool warning) {
  std::string body = "<html><body>";
  if (warning) body += "<b>Warning</b>: mysql_fetch_array() expects parameter 1<br />";
  body += "<span class=\"btopt\"><a href=\"" + root + "1.html\">" + kReadStart +
          "</a></span> <span class=\"btopt\"><a href=\"" + root + "index.html\">" + kShowIndex +
          "</a></span></body></html>";
  return body;
}
std::string source1_entry(const std::string& link, std::string_view title) {
  return "<li><a href='" + link + "'>" + std::string(title) + "<span></span></a></li>\r\n";
}
std::string source1_chapter(std::string_view text) {
  return "<html><div id=\"nr1\">" + std::string(text) + "</div></html>";
}

// Source 2 markup. The index directory is root; chapter links are relative to it.
std::string source2_book(const std::string& root) {
  return "<html><p class=\"b1\"><a href=\"" + root + "Index.html\" id=\"index\">" + kIndexWord +
         "</a></p></html>";
}
std::string source2_entry(const std::string& link, std::string_view title) {
  return "<li><strong ><a href=\"" + link + "\" title=\"" + std::string(title) + "\">" +
         std::string(title) + "</a></strong ></li>\r\n";
}
std::string source2_chapter(std::string_view text) {
  return "<html><div id=\"contentbox\"><br />" + std::string(text) + "<br /><br /></div></html>";
}

// The index page of a fault book: two chapters, or the 50,000 of "index-50000".
std::string index_page(std::string_view fault, int source, const std::string& root) {
  const int count = fault == "index-50000" ? kIndexEntries : 2;
  std::string body = "<html><ul>\r\n";
  for (int n = 1; n <= count; ++n) {
    std::string link = std::to_string(n) + ".html";
    std::string title = chapter_title(n);
    if (n == 2 && fault == "crlf-link") link += "\r\nX-Injected: yes";
    if (n == 2 && fault == "bad-gbk") title = kBadGbkTitle;
    body += source == 1 ? source1_entry(root + link, title) : source2_entry(link, title);
  }
  return body + "</ul></html>";
}

// The site-search service's UTF-8 hit (source 1) or the source 2 search hit for a book.
std::string search_hit(int source, const std::string& address, std::string_view name) {
  if (source == 1)
    return "<div class=\"result-game-item-detail\">\r\n<h3><a cpos=\"title\" href=\"" + address +
           "\" title=\"" + std::string(name) + "\" class=\"t\">" + std::string(name) +
           "</a></h3>\r\n<p class=\"result-game-item-desc\">intro</p>\r\n<p><span>" + kAuthorUtf8 +
           "</span><span>author</span></p>\r\n<span>" + kUpdatedUtf8 + "</span>\r\n</div>\r\n";
  return "<div class=\"CListTitle\"><a href=\"" + address + "\" target=\"_blank\"><b>" +
         std::string(name) + "</b></a> Author <a href=\"/a.shtml\">author</a> | <a href=\"/\">" +
         "</a></div><div class=\"CListText\">intro...</div>\r\n";
}

}  // namespace

const std::vector<FaultInfo>& faults() {
  return kFaults;
}

std::string fault_chapter_text(int chapter) {
  return chapter_text(chapter);
}
std::string fault_chapter_title(int chapter) {
  return chapter_title(chapter);
}

struct FaultSites::Impl {
  std::string refused_host;
  std::string huge_text;  // built before the server starts, so no fetch waits for it
  std::unique_ptr<loopback::HttpServer> server;

  // Server thread.
  loopback::Response answer(const loopback::Request& request) {
    const std::string& target = request.target;
    if (target.rfind("/cse/search?q=", 0) == 0) return search(target.substr(14), 1);
    if (target.rfind("/Book/Search.aspx?SearchKey=", 0) == 0) return search(target.substr(28), 2);
    // "/FAULT/sN/PAGE"
    const std::size_t second = target.find('/', 1);
    if (second == std::string::npos || target.size() < second + 4 ||
        (target.compare(second, 3, "/s1") != 0 && target.compare(second, 3, "/s2") != 0))
      return error_page(404);
    const std::string fault = target.substr(1, second - 1);
    const int source = target[second + 2] - '0';
    const std::string root = target.substr(0, second + 4);  // "/FAULT/sN/"
    const std::string page_name = target.substr(second + 4);
    if (!is_fault(fault) || target[second + 3] != '/') return error_page(404);

    if (page_name == "book") return book(fault, source, root, target);
    if ((source == 1 && page_name == "index.html") || (source == 2 && page_name.empty())) {
      if (fault == "404-index") return error_page(404);
      if (fault == "500-index") return error_page(500);
      return page(index_page(fault, source, root));
    }
    if (page_name.size() > 5 && page_name.ends_with(".html")) {
      const int chapter = std::atoi(page_name.c_str());
      if (chapter < 1) return error_page(404);
      return chapter_page(fault, source, chapter, target);
    }
    return error_page(404);
  }

  loopback::Response book(const std::string& fault, int source, const std::string& root,
                          const std::string& target) {
    std::string body =
        source == 1 ? source1_book(root, fault == "warning-book") : source2_book(root);
    return spoil_page(fault, std::move(body), target);
  }

  // The faults that strike a book page, and the search page of the same word.
  loopback::Response spoil_page(const std::string& fault, std::string body,
                                const std::string& target) {
    loopback::Response response = page(std::move(body));
    if (fault == "reset-book") response.action = loopback::Response::Action::kResetMidBody;
    if (fault == "stall-book") response.action = loopback::Response::Action::kStall;
    if (fault == "404-book") return error_page(404);
    if (fault == "500-book") return error_page(500);
    if (fault == "redirect-loop-book") return redirect(target);
    if (fault == "big-headers-book") return big_header_page(response.body);
    return response;
  }

  loopback::Response chapter_page(const std::string& fault, int source, int chapter,
                                  const std::string& target) {
    const auto wrap = [source](std::string_view text) {
      return source == 1 ? source1_chapter(text) : source2_chapter(text);
    };
    if (fault == "nul-chapter") {
      // Zero bytes after the markers keep the text; zero bytes before them end the page.
      std::string body = wrap(chapter_text(chapter)) + std::string(3, '\0') + "tail";
      if (chapter == 2) body = std::string("head") + '\0' + body;
      return page(std::move(body));
    }
    if (chapter != 2) return page(wrap(chapter_text(chapter)));
    if (fault == "refused-chapter") return redirect("http://" + refused_host + target);
    if (fault == "reset-chapter") {
      loopback::Response response = page(wrap(chapter_text(chapter)));
      response.action = loopback::Response::Action::kResetMidBody;
      return response;
    }
    if (fault == "stall-chapter") {
      loopback::Response response;
      response.action = loopback::Response::Action::kStall;
      return response;
    }
    if (fault == "404-chapter") return error_page(404);
    if (fault == "500-chapter") return error_page(500);
    if (fault == "redirect-loop-chapter") return redirect(target);
    if (fault == "huge-chapter") return page(wrap(huge_text));
    if (fault == "bad-gbk") return page(wrap(kBadGbkText) + "\xB2");
    return page(wrap(chapter_text(chapter)));
  }

  // The search word names the fault whose book the one hit links to; a book-page fault
  // strikes the search page too. "bad-gbk" hits carry invalid bytes in the name, and the
  // "nul-chapter" page has a zero byte between its two hits.
  loopback::Response search(const std::string& query, int source) {
    const std::string word = query.substr(0, query.find('&'));
    if (!is_fault(word)) return page("<html>no hits</html>");
    // Source 2's links are relative to its site.
    const std::string path = "/" + word + "/s" + std::to_string(source) + "/book";
    const std::string address = source == 1 ? "http://" + server->host() + path : path;
    std::string name = word == "bad-gbk" ? std::string(kBadGbkTitle) : word;
    std::string body = "<html><body>\r\n" + search_hit(source, address, name);
    if (word == "nul-chapter") body += std::string(1, '\0') + search_hit(source, address, "second");
    body += "</body></html>";
    const std::string target =
        source == 1 ? "/cse/search?q=" + query : "/Book/Search.aspx?SearchKey=" + query;
    return spoil_page(word, std::move(body), target);
  }
};

FaultSites::FaultSites(std::uint16_t port) : impl_(std::make_unique<Impl>()) {
  // 16-byte lines of "正文 0123456789\r\n", doubled up to the size.
  impl_->huge_text = "\xD5\xFD\xCE\xC4 0123456789\r\n";
  std::string& huge = impl_->huge_text;
  while (huge.size() * 2 <= kHugeChapterBytes) huge += huge;
  huge += huge.substr(0, (kHugeChapterBytes - huge.size()) / 16 * 16);
  {
    // A port that was free a moment ago and has no listener now.
    loopback::HttpServer probe([](const loopback::Request&) { return loopback::Response(); });
    impl_->refused_host = probe.host();
  }
  impl_->server = std::make_unique<loopback::HttpServer>(
      [impl = impl_.get()](const loopback::Request& request) { return impl->answer(request); },
      port);
}

FaultSites::~FaultSites() {
  impl_->server.reset();
}

std::string FaultSites::host() const {
  return impl_->server->host();
}

std::string FaultSites::refused_host() const {
  return impl_->refused_host;
}

sites::SiteConfig FaultSites::config(sites::SiteConfig base) const {
  base.search_host = host();
  base.source1_host = host();
  base.source2_host = host();
  base.source2_label = "/s2/";
  return base;
}

std::string FaultSites::book_address(std::string_view fault, int source) const {
  const std::string& at = fault == "refused-book" ? impl_->refused_host : host();
  return "http://" + at + "/" + std::string(fault) + "/s" + std::to_string(source) + "/book";
}

std::vector<loopback::Request> FaultSites::requests() const {
  return impl_->server->requests();
}

}  // namespace quillreap::sample_sites
