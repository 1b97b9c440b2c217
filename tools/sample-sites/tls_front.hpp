// A TLS front for a plain loopback server: it takes TLS connections on 127.0.0.1 with the
// test certificate (tests/fixtures/tls/server.pem) and relays each one's bytes to the
// plain server and back, so one site's pages are served over https as well as http.
// Built with OpenSSL on Linux; the Windows build has none, and there the front refuses.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace quillreap::sample_sites {

class TlsFront {
 public:
  // Whether this build can serve TLS at all.
  static bool available();
  // Relays to 127.0.0.1:plain_port; port 0 picks a free one. Throws std::runtime_error when
  // the build has no TLS or the port cannot be had.
  TlsFront(std::uint16_t plain_port, std::uint16_t port);
  ~TlsFront();  // stops taking connections and ends the ones open
  TlsFront(const TlsFront&) = delete;
  TlsFront& operator=(const TlsFront&) = delete;

  std::string host() const;  // "127.0.0.1:" + port

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quillreap::sample_sites
