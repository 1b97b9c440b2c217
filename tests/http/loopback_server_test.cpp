// The loopback server itself: what it records of a request and how it answers, seen
// from a plain socket client so the checks do not depend on the HTTP client under test.
#include <gtest/gtest.h>

#include <asio.hpp>
#include <chrono>
#include <string>

#include "tools/loopback/http_server.hpp"

namespace quillreap::loopback {
namespace {

// Sends bytes, then reads until the server closes; returns what came back.
std::string exchange(std::uint16_t port, const std::string& bytes) {
  asio::io_context io;
  asio::ip::tcp::socket socket(io);
  socket.connect({asio::ip::make_address_v4("127.0.0.1"), port});
  asio::write(socket, asio::buffer(bytes));
  std::string reply;
  asio::error_code error;
  asio::read(socket, asio::dynamic_buffer(reply), error);
  return reply;
}

TEST(LoopbackServer, RecordsRawBytesAndParsesHeadAndBody) {
  HttpServer server([](const Request&) {
    Response r;
    r.headers = {{"Set-Cookie", "a=1"}};
    r.body = "hello";
    return r;
  });
  const std::string sent =
      "POST /p?q=a b HTTP/1.1\r\nHost: x\r\ncontent-length: 3\r\nX-Y:  z \r\n\r\nabc";
  std::string reply = exchange(server.port(), sent);
  EXPECT_EQ(reply,
            "HTTP/1.1 200 OK\r\nSet-Cookie: a=1\r\nContent-Length: 5\r\nConnection: close\r\n\r\n"
            "hello");
  auto requests = server.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].raw, sent);
  EXPECT_EQ(requests[0].method, "POST");
  EXPECT_EQ(requests[0].target, "/p?q=a b");
  EXPECT_EQ(requests[0].version, "HTTP/1.1");
  EXPECT_EQ(requests[0].header("X-y"), "z");
  EXPECT_EQ(requests[0].body, "abc");
  EXPECT_EQ(server.host(), "127.0.0.1:" + std::to_string(server.port()));
}

TEST(LoopbackServer, RawAnswerCloseAndStall) {
  int calls = 0;
  HttpServer server([&calls](const Request&) {
    Response r;
    if (++calls == 1) {
      r.raw = "HTTP/1.0 204 None\r\n\r\n";
    } else if (calls == 2) {
      r.action = Response::Action::kClose;
    } else {
      r.action = Response::Action::kStall;
    }
    return r;
  });
  EXPECT_EQ(exchange(server.port(), "GET / HTTP/1.1\r\n\r\n"), "HTTP/1.0 204 None\r\n\r\n");
  EXPECT_EQ(exchange(server.port(), "GET / HTTP/1.1\r\n\r\n"), "");
  // A stalled connection stays open; the server's destructor must still return.
  asio::io_context io;
  asio::ip::tcp::socket socket(io);
  socket.connect({asio::ip::make_address_v4("127.0.0.1"), server.port()});
  asio::write(socket, asio::buffer(std::string("GET / HTTP/1.1\r\n\r\n")));
  while (server.requests().size() < 3) std::this_thread::yield();
}

// Requests sent back to back on one kept-alive connection are each answered, in order,
// until one asks for the connection to close.
TEST(LoopbackServer, KeptAliveConnectionAnswersEveryRequestOnIt) {
  HttpServer server(
      [](const Request& request) {
        Response r;
        r.body = request.target + "|" + request.body;
        return r;
      },
      0, ServerOptions{std::chrono::milliseconds(0), true});
  const std::string reply = exchange(server.port(),
                                     "GET /a HTTP/1.1\r\n\r\n"
                                     "POST /b HTTP/1.1\r\nContent-Length: 2\r\n\r\nxy"
                                     "GET /c HTTP/1.1\r\nConnection: close\r\n\r\n");
  EXPECT_EQ(reply,
            "HTTP/1.1 200 OK\r\nContent-Length: 3\r\nConnection: keep-alive\r\n\r\n/a|"
            "HTTP/1.1 200 OK\r\nContent-Length: 5\r\nConnection: keep-alive\r\n\r\n/b|xy"
            "HTTP/1.1 200 OK\r\nContent-Length: 3\r\nConnection: close\r\n\r\n/c|");
  EXPECT_EQ(server.requests().size(), 3u);
  EXPECT_EQ(server.accepted_connections(), 1u);
}

}  // namespace
}  // namespace quillreap::loopback
