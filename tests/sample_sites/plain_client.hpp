// A minimal HTTP GET over a plain socket, so the sample sites are checked without the
// program's own HTTP client. The servers answer once per connection and then close.
#pragma once

#include <asio.hpp>
#include <cstdint>
#include <string>

namespace quillreap::sample_sites {

struct Reply {
  int status = 0;
  std::string head;  // status line and headers
  std::string body;
};

// host is "127.0.0.1:PORT"; target is sent byte for byte.
inline Reply http_get(const std::string& host, const std::string& target) {
  auto port = static_cast<std::uint16_t>(std::stoi(host.substr(host.rfind(':') + 1)));
  asio::io_context io;
  asio::ip::tcp::socket socket(io);
  socket.connect({asio::ip::make_address_v4("127.0.0.1"), port});
  const std::string request =
      "GET " + target + " HTTP/1.1\r\nHost: " + host + "\r\nConnection: close\r\n\r\n";
  asio::write(socket, asio::buffer(request));
  std::string raw;
  asio::error_code error;
  asio::read(socket, asio::dynamic_buffer(raw), error);
  Reply reply;
  std::size_t split = raw.find("\r\n\r\n");
  if (split == std::string::npos) return reply;
  reply.head = raw.substr(0, split);
  reply.body = raw.substr(split + 4);
  if (reply.head.size() > 12) reply.status = std::stoi(reply.head.substr(9, 3));
  return reply;
}

// The text between the first `left` at or after `from` and the next `right`; "" without.
inline std::string cut(const std::string& text, const std::string& left, const std::string& right,
                       std::size_t from = 0) {
  std::size_t p = text.find(left, from);
  if (p == std::string::npos) return {};
  p += left.size();
  std::size_t q = text.find(right, p);
  return q == std::string::npos ? std::string() : text.substr(p, q - p);
}

inline int count(const std::string& text, const std::string& word) {
  int n = 0;
  for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) ++n;
  return n;
}

}  // namespace quillreap::sample_sites
