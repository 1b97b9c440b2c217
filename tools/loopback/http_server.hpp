// A small HTTP/1.1 server on 127.0.0.1 for tests, benchmarks and the sample sites.
// Runs its own thread; one response per connection, then the connection is closed, unless
// the server keeps connections alive.
// Built on standalone Asio so the same server runs inside the Windows test executables.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillreap::loopback {

struct Request {
  std::string raw;  // the exact bytes received: request line, header block, body
  std::string method;
  std::string target;  // the request target byte for byte, as sent
  std::string version;
  std::vector<std::pair<std::string, std::string>> headers;  // in order received
  std::string body;
  // The first header of that name (ASCII case ignored); "" when absent.
  std::string header(std::string_view name) const;
};

struct Response {
  enum class Action {
    kRespond,       // send status, headers and body (or raw when set)
    kClose,         // close the connection without answering
    kStall,         // keep the connection open and send nothing until the server stops
    kResetMidBody,  // send the head and half the body, then reset the connection
    kReset          // reset the connection without answering
  };
  Action action = Action::kRespond;
  int status = 200;
  std::string reason = "OK";
  std::vector<std::pair<std::string, std::string>> headers;  // Content-Length is added
  std::string body;
  std::optional<std::string> raw;  // sent verbatim instead of status/headers/body
};

// How the server behaves on the wire, beyond what each response says.
struct ServerOptions {
  // Every answer (a close or a reset too) waits this long before it goes out; other
  // connections are served meanwhile.
  std::chrono::milliseconds delay{0};
  // Plain answers leave the connection open for the client's next request, unless the
  // request said "Connection: close".
  bool keep_alive = false;
};

class HttpServer {
 public:
  using Handler = std::function<Response(const Request&)>;
  // port 0 picks a free port. The handler runs on the server's thread.
  explicit HttpServer(Handler handler, std::uint16_t port = 0, ServerOptions options = {});
  ~HttpServer();  // stops the server and its thread
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  std::uint16_t port() const;
  std::string host() const;  // "127.0.0.1:" + port
  // Every request received so far, oldest first.
  std::vector<Request> requests() const;
  // Connections accepted so far.
  std::size_t accepted_connections() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quillreap::loopback
