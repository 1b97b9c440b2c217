// A small loopback site whose book page carries both sources' index links, so the index
// request it receives tells which download ran; and a book with a chapter that is gone.
// Shared by the controller tests and the command-line tests.
#pragma once

#include <string>

#include "tools/loopback/http_server.hpp"

namespace quillreap::test_support {

// Paths, relative to the server's root:
//   /book/...        a book page with source 1's index link (/one/) and source 2's (/two/)
//   /one/            a source 1 index of two chapters; /one/1.html and /one/2.html
//   /two/            a source 2 index of one chapter; /two/1.html
//   /gap/...         a book page whose source 1 index (/gapindex/) lists /one/1.html and a
//                    chapter that answers 404
//   /warning/...     a source 1 book page holding "Warning"
class TwoSourcesSite {
 public:
  TwoSourcesSite() : server_([](const loopback::Request& request) { return answer(request); }) {}

  std::string host() const { return server_.host(); }
  std::string address(const std::string& path) const { return "http://" + host() + path; }
  // The targets requested so far, oldest first.
  std::vector<std::string> targets() const {
    std::vector<std::string> seen;
    for (const loopback::Request& request : server_.requests()) seen.push_back(request.target);
    return seen;
  }
  bool requested(const std::string& target) const {
    for (const std::string& seen : targets())
      if (seen == target) return true;
    return false;
  }

  // The book files each download makes of it.
  static std::string source1_book(const std::string& name) {
    return name + "\r\n\r\n" + "\r\n\r\n第一章\r\n\r\n" +
           "一之正文\r\n次行是师徒四人行至山前只见一座高山峻岭峰插碧空山势险峻林木茂盛" +
           "\r\n\r\n第二章\r\n\r\n" + "二之正文";
  }
  static std::string source2_book(const std::string& name) {
    return name + "\r\n\r\n" + "\r\n\r\n第一回\r\n\r\n" + "乙之正文";
  }

 private:
  static loopback::Response page(std::string body) {
    loopback::Response response;
    response.headers = {{"Content-Type", "text/html; charset=gbk"}};
    response.body = std::move(body);
    return response;
  }

  static loopback::Response answer(const loopback::Request& request) {
    const std::string& target = request.target;
    const auto starts = [&](std::string_view prefix) { return target.rfind(prefix, 0) == 0; };
    if (starts("/book/"))
      return page(
          "<html><span>开始阅读</a></span><a href=\"/one/\">查看目录</a>"
          "<p class=\"b1\"><a href=\"/two/Index.html\" id=\"index\">目录</a></p></html>");
    if (starts("/gap/"))
      return page("<span>开始阅读</a></span><a href=\"/gapindex/\">查看目录</a>");
    if (starts("/warning/")) return page("<p>Warning: this book is broken</p>");
    if (target == "/one/")
      return page(
          "<ul><li><a href='/one/1.html'>第一章<span></span></a></li>"
          "<li><a href='/one/2.html'>第二章<span></span></a></li></ul>");
    if (target == "/gapindex/")
      return page(
          "<ul><li><a href='/one/1.html'>第一章<span></span></a></li>"
          "<li><a href='/gone.html'>第二章<span></span></a></li></ul>");
    if (target == "/one/1.html")
      return page(
          "<div id=\"nr1\">一之正文<br "
          "/>次行是师徒四人行至山前只见一座高山峻岭峰插碧空山势险峻林木茂盛</div>");
    if (target == "/one/2.html") return page("<div id=\"nr1\">二之正文</div>");
    if (target == "/two/")
      return page(
          "<ul><li><strong ><a href=\"1.html\" title=\"第一回\">第一回</a></strong ></li></ul>");
    if (target == "/two/1.html")
      return page("<div id=\"contentbox\"><br />乙之正文<br /><br /></div>");
    loopback::Response missing = page("<html>not found</html>");
    missing.status = 404;
    missing.reason = "Not Found";
    return missing;
  }

  loopback::HttpServer server_;
};

}  // namespace quillreap::test_support
