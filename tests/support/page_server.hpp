// A loopback site made of fixed pages: each request target maps to one response, every
// other target gets a 404. Small page fixtures for the cases the sample sites don't cover.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "tools/loopback/http_server.hpp"

namespace quillreap::test_support {

class PageServer {
 public:
  PageServer() : server_([this](const loopback::Request& request) { return answer(request); }) {}

  // Serves body (GBK or UTF-8 bytes, as given) at target with status 200.
  void page(const std::string& target, const std::string& body) {
    loopback::Response response;
    response.body = body;
    respond(target, response);
  }
  void respond(const std::string& target, const loopback::Response& response) {
    std::lock_guard lock(mutex_);
    pages_[target] = response;
  }
  void not_found(const std::string& target) {
    loopback::Response response;
    response.status = 404;
    response.reason = "Not Found";
    response.body = "<html>404</html>";
    respond(target, response);
  }

  std::string host() const { return server_.host(); }
  // The targets requested so far, in order.
  std::vector<std::string> targets() const {
    std::vector<std::string> out;
    for (const loopback::Request& request : server_.requests()) out.push_back(request.target);
    return out;
  }

 private:
  loopback::Response answer(const loopback::Request& request) {
    std::lock_guard lock(mutex_);
    const auto found = pages_.find(request.target);
    if (found != pages_.end()) return found->second;
    loopback::Response missing;
    missing.status = 404;
    missing.reason = "Not Found";
    return missing;
  }

  std::mutex mutex_;
  std::map<std::string, loopback::Response> pages_;
  loopback::HttpServer server_;  // last: stopped before the pages go
};

}  // namespace quillreap::test_support
