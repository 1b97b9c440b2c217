// fetch_page against a real loopback server: the exact bytes of each request, what comes
// back (body, raw headers, cookies, failure), and the cases a hostile or broken site makes.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "http/fetch.hpp"
#include "http/timeouts.hpp"
#include "tools/loopback/http_server.hpp"

namespace quillreap::http {
namespace {

using loopback::HttpServer;
using loopback::Request;
using loopback::Response;

constexpr const char* kAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

Response page(std::string body, int status = 200, std::string reason = "OK") {
  Response r;
  r.status = status;
  r.reason = std::move(reason);
  r.body = std::move(body);
  r.headers = {{"Content-Type", "text/html"}};
  return r;
}

std::string as_string(const Bytes& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

// The header lines of a request, in order, without the ones the platform adds to manage
// the connection (Host is checked separately).
std::vector<std::string> own_header_lines(const Request& request) {
  std::vector<std::string> lines;
  for (const auto& [name, value] : request.headers) {
    Text lower = text::to_lower(name);
    if (lower == "host" || lower == "connection" || lower == "cache-control" || lower == "pragma" ||
        lower == "user-agent") {
      continue;
    }
    lines.push_back(name + ": " + value);
  }
  return lines;
}

int count_headers(const Request& request, std::string_view name) {
  int n = 0;
  for (const auto& h : request.headers) n += text::to_lower(h.first) == text::to_lower(name);
  return n;
}

class FetchTest : public ::testing::Test {
 protected:
  // Answers each request with handler_ (declared first, so it outlives the server); the
  // default serves one small page.
  std::function<Response(const Request&)> handler_ = [](const Request&) { return page("hi"); };
  HttpServer server_{[this](const Request& r) { return handler_(r); }};

  std::string address(std::string_view path) {
    return "http://" + server_.host() + std::string(path);
  }
  Request only_request() {
    auto requests = server_.requests();
    EXPECT_EQ(requests.size(), 1u);
    return requests.empty() ? Request{} : requests.back();
  }
};

TEST_F(FetchTest, PlainGetSendsTheDefaultBlockAndAgent) {
  const std::string url = address("/p");
  Text sent_headers;
  const FetchResult result = fetch_page(url, kGet, {}, nullptr, nullptr, &sent_headers);
  EXPECT_EQ(as_string(result.body), "hi");
  EXPECT_FALSE(result.failed);
  EXPECT_EQ(result.status, 200);

  const std::string block = "Accept: */*\r\nReferer: " + url +
                            "\r\nAccept-Language: zh-cn\r\n"
                            "Content-Type: application/x-www-form-urlencoded";
  EXPECT_EQ(sent_headers, block);
  const Request r = only_request();
  EXPECT_EQ(r.raw.substr(0, r.raw.find("\r\n")), "GET /p HTTP/1.1");
  EXPECT_EQ(r.header("User-Agent"), kAgent);
  EXPECT_EQ(count_headers(r, "User-Agent"), 1);
  EXPECT_EQ(r.header("Host"), server_.host());
  EXPECT_EQ(own_header_lines(r),
            (std::vector<std::string>{"Accept: */*", "Referer: " + url, "Accept-Language: zh-cn",
                                      "Content-Type: application/x-www-form-urlencoded"}));
  EXPECT_EQ(r.body, "");
}

TEST_F(FetchTest, SearchWordGoesOutAsRawBytesWithSpacesEscaped) {
  fetch_page(address("/s?q=三国 演义&t=1#top"));
  EXPECT_EQ(only_request().target, "/s?q=三国%20演义&t=1#top");
}

TEST_F(FetchTest, HeaderRulesCompleteTheCallersBlock) {
  struct Case {
    const char* given;
    const char* agent;  // the User-Agent the server sees
    const char* block_start;
  };
  const Case cases[] = {
      {"Accept: text/html", kAgent, "Accept: text/html\r\nReferer: "},
      // The Accept test is exact: a lower-case line gets a second Accept.
      {"accept: text/html", kAgent, "accept: text/html\r\nAccept: */*\r\nReferer: "},
      {"User-Agent: A", "A", "User-Agent: A\r\nAccept: */*\r\nReferer: "},
      {"user-agent: A", "A", "user-agent: A\r\nAccept: */*\r\nReferer: "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.given);
    Text headers = c.given;
    fetch_page(address("/h"), kGet, {}, nullptr, nullptr, &headers);
    EXPECT_EQ(headers.substr(0, std::string_view(c.block_start).size()), c.block_start);
    const Request r = server_.requests().back();
    EXPECT_EQ(r.header("User-Agent"), c.agent);
    // Both Accept lines of the lower-case case are sent; WinInet may fold them into one
    // line of the same name, so the wire shows one or two.
    EXPECT_GE(count_headers(r, "Accept"), 1);
    if (text::find_text(c.given, "accept:") != 1) {
      EXPECT_EQ(count_headers(r, "Accept"), 1);
    }
  }
}

TEST_F(FetchTest, PostAndHeadCarryTheirBodies) {
  handler_ = [](const Request& r) { return page(r.method == "HEAD" ? "" : "ok"); };
  Bytes from_text;
  fetch_page(address("/post"), kPost, "a=1&b=2", nullptr, nullptr, nullptr, nullptr, false,
             &from_text);
  EXPECT_EQ(as_string(from_text), "a=1&b=2");

  Bytes bytes = {'x', 0, 0xFF, 'y'};
  fetch_page(address("/post"), kPost, "ignored", nullptr, nullptr, nullptr, nullptr, false, &bytes);
  const FetchResult head = fetch_page(address("/head"), kHead, "h=1");
  EXPECT_FALSE(head.failed);
  EXPECT_TRUE(head.body.empty());
  fetch_page(address("/empty"), kPost);

  const auto requests = server_.requests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_EQ(requests[0].method, "POST");
  EXPECT_EQ(requests[0].body, "a=1&b=2");
  EXPECT_EQ(requests[0].header("Content-Length"), "7");
  EXPECT_EQ(requests[1].body, std::string("x\0\xFFy", 4));
  EXPECT_EQ(requests[2].method, "HEAD");
  EXPECT_EQ(requests[2].body, "h=1");
  EXPECT_EQ(requests[3].method, "POST");
  EXPECT_EQ(requests[3].header("Content-Length"), "0");
  EXPECT_EQ(count_headers(requests[0], "Expect"), 0);
}

TEST_F(FetchTest, MethodsOutOfRangeSendGet) {
  fetch_page(address("/a"), 7, "body");
  fetch_page(address("/b"), -1, "body");
  for (const Request& r : server_.requests()) {
    EXPECT_EQ(r.method, "GET");
    EXPECT_EQ(r.body, "");
  }
}

TEST_F(FetchTest, RedirectsFollowedUnlessTurnedOff) {
  HttpServer elsewhere([](const Request&) { return page("elsewhere"); });
  const std::string elsewhere_address = "http://" + elsewhere.host() + "/there?x=1";
  handler_ = [elsewhere_address](const Request& r) {
    std::string location;
    if (r.target == "/from") location = "/to";
    if (r.target == "/dir/rel") location = "next 页?p=1";  // relative, GBK and a space
    if (r.target == "/away") location = elsewhere_address;
    if (location.empty()) return page("arrived");
    Response moved = page("moved page", 302, "Found");
    moved.headers.emplace_back("Location", location);
    return moved;
  };
  const FetchResult followed = fetch_page(address("/from"));
  EXPECT_EQ(as_string(followed.body), "arrived");
  EXPECT_EQ(followed.status, 200);
  ASSERT_EQ(server_.requests().size(), 2u);
  EXPECT_EQ(server_.requests()[1].target, "/to");

  fetch_page(address("/dir/rel"));
  EXPECT_EQ(server_.requests().back().target, "/dir/next%20页?p=1");
  EXPECT_EQ(as_string(fetch_page(address("/away")).body), "elsewhere");
  ASSERT_EQ(elsewhere.requests().size(), 1u);
  EXPECT_EQ(elsewhere.requests()[0].target, "/there?x=1");

  const std::size_t before = server_.requests().size();
  Text headers;
  const FetchResult stopped =
      fetch_page(address("/from"), kGet, {}, nullptr, nullptr, nullptr, &headers, true);
  EXPECT_EQ(as_string(stopped.body), "moved page");
  EXPECT_EQ(stopped.status, 302);
  EXPECT_FALSE(stopped.failed);
  EXPECT_EQ(server_.requests().size(), before + 1);
  EXPECT_EQ(headers.substr(0, 13), "HTTP/1.1 302 ");
}

// Redirects are followed by the program itself: a loop ends after its hops, and cookies
// set by a redirect's answer reach the page it leads to.
TEST_F(FetchTest, RedirectsEndAndKeepTheirCookies) {
  handler_ = [](const Request& r) {
    if (r.target == "/loop") {
      Response again = page("again", 302, "Found");
      again.headers.emplace_back("Location", "/loop");
      return again;
    }
    if (r.target.rfind("/login", 0) == 0) {
      Response moved = page("moved", 302, "Found");
      // The path keeps the cookie out of the other tests' requests through the shared jar.
      const std::string which = r.target.substr(6);
      moved.headers = {{"Location", "/home" + which},
                       {"Set-Cookie", "session" + which + "=1; Path=/home" + which}};
      return moved;
    }
    return page("cookie " + r.header("Cookie"));
  };
  const FetchResult looped = fetch_page(address("/loop"));
  EXPECT_TRUE(looped.failed);
  EXPECT_EQ(looped.reason, FailureReason::kTooManyRedirects);
  EXPECT_EQ(server_.requests().size(), 31u);  // the first request and thirty hops

  // The process's jar keeps what the redirect set.
  const FetchResult jarred = fetch_page(address("/login-jar"));
  EXPECT_EQ(as_string(jarred.body), "cookie session-jar=1");

  // Cookie text of the caller's: sent on, and handed back merged.
  Text cookies = "mine=2";
  Text returned;
  const FetchResult own = fetch_page(address("/login-own"), kGet, {}, &cookies, &returned);
  EXPECT_NE(as_string(own.body).find("session-own=1"), std::string::npos);
  EXPECT_NE(as_string(own.body).find("mine=2"), std::string::npos);
  EXPECT_NE(returned.find("session-own=1"), std::string::npos);
  EXPECT_NE(returned.find("mine=2"), std::string::npos);
}

TEST_F(FetchTest, FailuresAreReported) {
  handler_ = [](const Request&) { return page("no such page", 404, "Not Found"); };
  const FetchResult missing = fetch_page(address("/gone"));
  EXPECT_EQ(as_string(missing.body), "no such page");
  EXPECT_TRUE(missing.failed);
  EXPECT_EQ(missing.status, 404);

  std::string refused_address;
  {
    HttpServer closed([](const Request&) { return page(""); });
    refused_address = "http://" + closed.host() + "/x";
  }
  const FetchResult refused = fetch_page(refused_address);
  EXPECT_TRUE(refused.body.empty());
  EXPECT_TRUE(refused.failed);
  EXPECT_EQ(refused.status, 0);

  handler_ = [](const Request&) {
    Response r = page(std::string(200000, 'b'));
    r.action = Response::Action::kResetMidBody;
    return r;
  };
  const FetchResult cut = fetch_page(address("/cut"));
  EXPECT_TRUE(cut.failed);
  EXPECT_LT(cut.body.size(), 200000u);
}

// Every way a fetch can fail names its reason, and a fetch that did not fail names none.
TEST_F(FetchTest, EachFailureNamesItsReason) {
  handler_ = [](const Request& r) {
    Response answer = page(std::string(200000, 'b'));
    if (r.target == "/404") answer = page("no such page", 404, "Not Found");
    if (r.target == "/503") answer = page("busy", 503, "Service Unavailable");
    if (r.target == "/reset") answer.action = Response::Action::kReset;
    if (r.target == "/close") answer.action = Response::Action::kClose;
    if (r.target == "/mid-body") answer.action = Response::Action::kResetMidBody;
    if (r.target == "/short") answer.raw = "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nshort";
    if (r.target == "/stall") answer.action = Response::Action::kStall;
    if (r.target == "/loop") {
      answer = page("again", 302, "Found");
      answer.headers.emplace_back("Location", "/loop");
    }
    return answer;
  };
  std::string refused_address;
  {
    HttpServer closed([](const Request&) { return page(""); });
    refused_address = "http://" + closed.host() + "/x";
  }
  struct Case {
    std::string address;
    FailureReason reason;
    const char* description;
  };
  const Case cases[] = {
      {address("/fine"), FailureReason::kNone, ""},
      {address("/404"), FailureReason::kHttpStatus, "HTTP status 404"},
      {address("/503"), FailureReason::kHttpStatus, "HTTP status 503"},
      {address("/reset"), FailureReason::kReset, "connection reset"},
      {address("/close"), FailureReason::kReset, "connection reset"},
      // A body shorter than announced is cut short, whether the connection was reset or
      // closed in an orderly way.
      {address("/mid-body"), FailureReason::kCutShort, "body cut short"},
      {address("/short"), FailureReason::kCutShort, "body cut short"},
      {address("/stall"), FailureReason::kTimeout, "time-out"},
      {address("/loop"), FailureReason::kTooManyRedirects, "too many redirects"},
      {refused_address, FailureReason::kConnectionRefused, "connection refused"},
      {address("/bad\r\nX-Evil: 1"), FailureReason::kAddressRefused, "address refused"},
  };
  const Timeouts quick{.connect = kDefaultTimeouts.connect,
                       .send = std::chrono::milliseconds(1000),
                       .receive = std::chrono::milliseconds(1000)};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    const FetchResult result = fetch_page_until_stopped({}, quick, c.address);
    EXPECT_EQ(result.reason, c.reason);
    EXPECT_EQ(result.failed, c.reason != FailureReason::kNone);
    EXPECT_EQ(failure_description(result), c.description);
  }
}

TEST_F(FetchTest, SetCookieLinesCollectedInAnyLetterCase) {
  handler_ = [](const Request& r) {
    Response p = page("c");
    if (r.target == "/c1/none") return p;
    p.headers = {{"Set-Cookie", "sid=9; path=/c1"},
                 {"SET-COOKIE", "uid=7"},
                 {"set-cookie", "k=v; Path=/c1"},
                 {"Set-Cookie2", "x=1; v=1"}};
    return p;
  };
  Text cookies_back, headers;
  fetch_page(address("/c1/page"), kGet, {}, nullptr, &cookies_back, nullptr, &headers);
  EXPECT_EQ(cookies_back, "sid=9; uid=7; k=v; ");
  EXPECT_NE(headers.find("\r\nSet-Cookie: uid=7\r\n"), std::string::npos);
  EXPECT_NE(headers.find("\r\nSet-Cookie: k=v; Path=/c1\r\n"), std::string::npos);

  fetch_page(address("/c1/none"), kGet, {}, nullptr, &cookies_back);
  EXPECT_EQ(cookies_back, "");
}

TEST_F(FetchTest, SharedJarSendsCookiesBackUnlessTheCallerHasItsOwn) {
  handler_ = [](const Request& r) {
    Response p = page("j");
    if (r.target == "/jar/set") p.headers.emplace_back("Set-Cookie", "jarred=1; Path=/jar");
    return p;
  };
  fetch_page(address("/jar/set"));
  fetch_page(address("/jar/next"));
  Text mine = "mine=2";
  fetch_page(address("/jar/own"), kGet, {}, &mine);
  Text none = "";
  fetch_page(address("/jar/empty"), kGet, {}, &none);

  const auto requests = server_.requests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_EQ(requests[1].header("Cookie"), "jarred=1");
  EXPECT_EQ(requests[2].header("Cookie"), "mine=2");
  EXPECT_EQ(count_headers(requests[2], "Cookie"), 1);
  EXPECT_EQ(count_headers(requests[3], "Cookie"), 0);
}

TEST_F(FetchTest, SuppliedCookiesAreSentAndMerged) {
  handler_ = [](const Request&) {
    Response p = page("m");
    p.headers = {{"Set-Cookie", "b=9; Path=/m"}, {"Set-Cookie", "c=deleted; Path=/m"}};
    return p;
  };
  Text cookies = "a=1; b=2; c=3";
  Text returned;
  fetch_page(address("/m/1"), kGet, {}, &cookies, &returned);
  EXPECT_EQ(returned, "b=9; a=1");
  EXPECT_EQ(cookies, "b=9; a=1");
  EXPECT_EQ(server_.requests().back().header("Cookie"), "a=1; b=2; c=3");

  Text with_name = "Cookie: z=1";
  Text headers;
  fetch_page(address("/m/2"), kGet, {}, &with_name, nullptr, &headers);
  EXPECT_EQ(text::text_right(headers, 13), "\r\nCookie: z=1");
}

TEST_F(FetchTest, ProxyReceivesThePlainRequestInAbsoluteForm) {
  // Nothing listens at the address itself: only the proxy can answer.
  std::string dead_host;
  {
    HttpServer closed([](const Request&) { return page(""); });
    dead_host = closed.host();
  }
  const FetchResult result = fetch_page("http://" + dead_host + "/via?q=1", kGet, {}, nullptr,
                                        nullptr, nullptr, nullptr, false, nullptr, server_.host());
  EXPECT_EQ(as_string(result.body), "hi");
  EXPECT_EQ(only_request().target, "http://" + dead_host + "/via?q=1");

  // A secure address goes through the same proxy as a tunnel.
  handler_ = [](const Request&) { return page("", 502, "Bad Gateway"); };
  const FetchResult secure = fetch_page("https://" + dead_host + "/s", kGet, {}, nullptr, nullptr,
                                        nullptr, nullptr, false, nullptr, server_.host());
  EXPECT_TRUE(secure.failed);
  ASSERT_EQ(server_.requests().size(), 2u);
  EXPECT_EQ(server_.requests()[1].method, "CONNECT");
  EXPECT_EQ(server_.requests()[1].target, dead_host);
}

TEST_F(FetchTest, ConcurrentFetchesShareTheJarSafely) {
  handler_ = [](const Request&) {
    Response p = page("t");
    p.headers.emplace_back("Set-Cookie", "thread=1; Path=/threads");
    return p;
  };
  std::vector<std::thread> threads;
  std::atomic<int> fetched{0};
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([this, &fetched] {
      for (int i = 0; i < 5; ++i)
        fetched += as_string(fetch_page(address("/threads/x")).body) == "t";
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(fetched.load(), 20);
  EXPECT_EQ(server_.requests().size(), 20u);
}

TEST_F(FetchTest, SecureAddressSpeaksTls) {
  // The plain server cannot answer a TLS handshake, so the fetch fails without a request.
  const FetchResult result = fetch_page("HTTPS://" + server_.host() + "/x");
  EXPECT_TRUE(result.failed);
  EXPECT_TRUE(result.body.empty());
  EXPECT_TRUE(server_.requests().empty());
}

TEST_F(FetchTest, LongHeaderBlockIsReadWhole) {
  handler_ = [](const Request&) {
    Response p = page("long");
    for (int i = 0; i < 60; ++i) {
      std::string name = "X-Filler-";
      name += std::to_string(i);
      p.headers.emplace_back(name, std::string(100, 'f'));
    }
    p.headers.emplace_back("Set-Cookie", "last=1; Path=/long");
    return p;
  };
  Text cookies_back, headers;
  fetch_page(address("/long"), kGet, {}, nullptr, &cookies_back, nullptr, &headers);
  EXPECT_EQ(cookies_back, "last=1");
  EXPECT_GT(headers.size(), 6000u);
  EXPECT_EQ(headers.find("     "), std::string::npos);
}

TEST_F(FetchTest, ControlBytesInTheAddressSendNothing) {
  const char* hostile[] = {"/p\r\nX-Injected: 1", "/p\nX: 1", "/p\tq"};
  for (const char* path : hostile) {
    Text headers = "X-Mine: 1";
    const FetchResult result = fetch_page(address(path), kGet, {}, nullptr, nullptr, &headers);
    EXPECT_TRUE(result.failed);
    EXPECT_TRUE(result.body.empty());
    EXPECT_EQ(headers, "X-Mine: 1");
  }
  const FetchResult in_host = fetch_page("http://127.0.0.1\r\nX: 1/p");
  EXPECT_TRUE(in_host.failed);
  EXPECT_TRUE(server_.requests().empty());
}

}  // namespace
}  // namespace quillreap::http
