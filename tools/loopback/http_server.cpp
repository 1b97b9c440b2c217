// The loopback HTTP server: one Asio io_context on its own thread, one session per
// connection that reads a request head and its Content-Length body, hands it to the
// handler, answers as the handler says (after a timer when answers are delayed) and
// closes, or with kept-alive connections reads the next request.
#include "tools/loopback/http_server.hpp"

#include <array>
#include <asio.hpp>
#include <atomic>
#include <cstdlib>
#include <mutex>
#include <set>
#include <thread>

namespace quillreap::loopback {

namespace {

using asio::ip::tcp;

char ascii_lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool equal_ignoring_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (ascii_lower(a[i]) != ascii_lower(b[i])) return false;
  }
  return true;
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// Fills method, target, version and headers from the head (everything before the blank
// line). The target is taken between the first and the last space, so a target that
// holds raw spaces still arrives whole.
void parse_head(std::string_view head, Request& request) {
  std::size_t line_end = head.find("\r\n");
  std::string_view line = head.substr(0, line_end);
  std::size_t first = line.find(' ');
  std::size_t last = line.rfind(' ');
  if (first != std::string_view::npos && last != first) {
    request.method = line.substr(0, first);
    request.target = line.substr(first + 1, last - first - 1);
    request.version = line.substr(last + 1);
  } else {
    request.method = line.substr(0, first);
    if (first != std::string_view::npos) request.target = line.substr(first + 1);
  }
  while (line_end != std::string_view::npos) {
    std::size_t start = line_end + 2;
    line_end = head.find("\r\n", start);
    std::string_view header = head.substr(start, line_end - start);
    std::size_t colon = header.find(':');
    if (colon == std::string_view::npos) continue;
    request.headers.emplace_back(std::string(header.substr(0, colon)),
                                 std::string(trim(header.substr(colon + 1))));
  }
}

bool has_header(const std::vector<std::pair<std::string, std::string>>& headers,
                std::string_view name) {
  for (const auto& h : headers) {
    if (equal_ignoring_case(h.first, name)) return true;
  }
  return false;
}

std::string response_head(const Response& response, std::size_t body_length,
                          bool keep_alive = false) {
  std::string head = "HTTP/1.1 " + std::to_string(response.status) + " " + response.reason + "\r\n";
  for (const auto& [name, value] : response.headers) head += name + ": " + value + "\r\n";
  if (!has_header(response.headers, "Content-Length")) {
    head += "Content-Length: " + std::to_string(body_length) + "\r\n";
  }
  if (!has_header(response.headers, "Connection")) {
    head += keep_alive ? "Connection: keep-alive\r\n" : "Connection: close\r\n";
  }
  head += "\r\n";
  return head;
}

}  // namespace

std::string Request::header(std::string_view name) const {
  for (const auto& h : headers) {
    if (equal_ignoring_case(h.first, name)) return h.second;
  }
  return {};
}

struct HttpServer::Impl {
  // Declared first so it is destroyed last: sockets and sessions go before it.
  asio::io_context io;
  tcp::acceptor acceptor{io};
  std::uint16_t port = 0;
  Handler handler;
  ServerOptions options;
  std::atomic<std::size_t> accepted{0};
  std::thread thread;

  mutable std::mutex mutex;
  std::vector<Request> requests;

  class Session;
  // Stalled connections are held here until the server stops (server thread only).
  std::set<std::shared_ptr<Session>> stalled;

  void accept_next();
};

class HttpServer::Impl::Session : public std::enable_shared_from_this<Session> {
 public:
  Session(Impl& server, tcp::socket socket)
      : server_(server), socket_(std::move(socket)), timer_(server.io) {}

  void start() { read_more(); }

 private:
  void read_more() {
    auto self = shared_from_this();
    socket_.async_read_some(asio::buffer(chunk_),
                            [this, self](const asio::error_code& error, std::size_t n) {
                              if (error) return;  // the client went away: nothing to answer
                              request_.raw.append(chunk_.data(), n);
                              take_request();
                            });
  }

  void take_request() {
    // Not HTTP at all (a TLS handshake, say): nothing to answer.
    if (!request_.raw.empty() && (request_.raw[0] < 'A' || request_.raw[0] > 'Z')) {
      return close();
    }
    if (!request_.raw.empty() && request_complete()) {
      answer();
    } else {
      read_more();
    }
  }

  // After a kept-alive answer: whatever came after the request starts the next one.
  void next_request() {
    std::string rest = request_.raw.substr(head_end_ + 4 + body_length_);
    request_ = Request{};
    request_.raw = std::move(rest);
    head_end_ = std::string::npos;
    body_length_ = 0;
    take_request();
  }

  bool request_complete() {
    if (head_end_ == std::string::npos) {
      head_end_ = request_.raw.find("\r\n\r\n");
      if (head_end_ == std::string::npos) return false;
      parse_head(std::string_view(request_.raw).substr(0, head_end_), request_);
      body_length_ = std::strtoul(request_.header("Content-Length").c_str(), nullptr, 10);
    }
    std::size_t body_start = head_end_ + 4;
    if (request_.raw.size() < body_start + body_length_) return false;
    request_.body = request_.raw.substr(body_start, body_length_);
    return true;
  }

  void answer() {
    {
      std::lock_guard lock(server_.mutex);
      server_.requests.push_back(request_);
    }
    Response response = server_.handler(request_);
    if (server_.options.delay.count() > 0) {
      auto self = shared_from_this();
      timer_.expires_after(server_.options.delay);
      timer_.async_wait(
          [this, self, response = std::move(response)](const asio::error_code& error) {
            if (!error) send(response);
          });
      return;
    }
    send(response);
  }

  void send(const Response& response) {
    switch (response.action) {
      case Response::Action::kClose:
        close();
        return;
      case Response::Action::kReset:
        reset();
        return;
      case Response::Action::kStall:
        server_.stalled.insert(shared_from_this());
        return;
      case Response::Action::kResetMidBody: {
        out_ = response_head(response, response.body.size()) +
               response.body.substr(0, response.body.size() / 2);
        write_then([this] { reset(); });
        return;
      }
      case Response::Action::kRespond:
        break;
    }
    const bool keep_alive = server_.options.keep_alive && !response.raw &&
                            !equal_ignoring_case(request_.header("Connection"), "close");
    if (response.raw) {
      out_ = *response.raw;
    } else {
      out_ = response_head(response, response.body.size(), keep_alive);
      // A HEAD answer announces the body's length but carries none.
      if (request_.method != "HEAD") out_ += response.body;
    }
    if (keep_alive) {
      write_then([this] { next_request(); });
    } else {
      write_then([this] { close(); });
    }
  }

  template <typename Then>
  void write_then(Then then) {
    auto self = shared_from_this();
    asio::async_write(socket_, asio::buffer(out_),
                      [self, then](const asio::error_code&, std::size_t) { then(); });
  }

  // A zero linger makes the close send a reset instead of an orderly end.
  void reset() {
    asio::error_code ignored;
    socket_.set_option(asio::socket_base::linger(true, 0), ignored);
    socket_.close(ignored);
  }

  void close() {
    asio::error_code ignored;
    socket_.shutdown(tcp::socket::shutdown_both, ignored);
    socket_.close(ignored);
  }

  Impl& server_;
  tcp::socket socket_;
  asio::steady_timer timer_;
  std::array<char, 4096> chunk_{};
  Request request_;
  std::size_t head_end_ = std::string::npos;
  std::size_t body_length_ = 0;
  std::string out_;
};

void HttpServer::Impl::accept_next() {
  acceptor.async_accept([this](const asio::error_code& error, tcp::socket socket) {
    if (error) {
      if (error == asio::error::operation_aborted || !acceptor.is_open()) return;
    } else {
      ++accepted;
      std::make_shared<Session>(*this, std::move(socket))->start();
    }
    accept_next();
  });
}

HttpServer::HttpServer(Handler handler, std::uint16_t port, ServerOptions options)
    : impl_(std::make_unique<Impl>()) {
  impl_->handler = std::move(handler);
  impl_->options = options;
  tcp::endpoint endpoint(asio::ip::make_address_v4("127.0.0.1"), port);
  impl_->acceptor.open(endpoint.protocol());
  impl_->acceptor.set_option(tcp::acceptor::reuse_address(true));
  impl_->acceptor.bind(endpoint);
  impl_->acceptor.listen();
  impl_->port = impl_->acceptor.local_endpoint().port();
  impl_->accept_next();
  impl_->thread = std::thread([impl = impl_.get()] { impl->io.run(); });
}

HttpServer::~HttpServer() {
  // Closing the acceptor and the stalled sockets on the server's own thread lets
  // in-flight writes finish their handlers; stop() then ends run().
  asio::post(impl_->io, [impl = impl_.get()] {
    asio::error_code ignored;
    impl->acceptor.close(ignored);
    impl->stalled.clear();
    impl->io.stop();
  });
  impl_->thread.join();
}

std::uint16_t HttpServer::port() const {
  return impl_->port;
}

std::string HttpServer::host() const {
  return "127.0.0.1:" + std::to_string(port());
}

std::size_t HttpServer::accepted_connections() const {
  return impl_->accepted.load();
}

std::vector<Request> HttpServer::requests() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->requests;
}

}  // namespace quillreap::loopback
