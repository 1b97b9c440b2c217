// The TLS front on Asio's OpenSSL streams: one io_context on its own thread; each accepted
// connection does the handshake, connects to the plain server and then pumps both ways
// until either side ends, when the other is closed too.
#include <array>
#include <asio.hpp>
#include <asio/ssl.hpp>
#include <memory>
#include <thread>

#include "tools/sample-sites/tls_front.hpp"
#include "tools/sample-sites/tls_identity.hpp"

namespace quillreap::sample_sites {

namespace {

using asio::ip::tcp;
using TlsStream = asio::ssl::stream<tcp::socket>;

asio::ssl::context server_context() {
  asio::ssl::context context(asio::ssl::context::tls_server);
  context.set_options(asio::ssl::context::default_workarounds | asio::ssl::context::no_sslv2 |
                      asio::ssl::context::no_sslv3);
  const std::string_view certificate = tls_certificate();
  const std::string_view key = tls_private_key();
  context.use_certificate_chain(asio::buffer(certificate.data(), certificate.size()));
  context.use_private_key(asio::buffer(key.data(), key.size()), asio::ssl::context::pem);
  return context;
}

// One client's TLS connection and its plain twin.
class Relay : public std::enable_shared_from_this<Relay> {
 public:
  Relay(tcp::socket client, asio::ssl::context& context, tcp::endpoint plain)
      : tls_(std::move(client), context), plain_(tls_.get_executor()), plain_end_(plain) {}

  void start() {
    auto self = shared_from_this();
    tls_.async_handshake(asio::ssl::stream_base::server, [this, self](const asio::error_code& e) {
      if (e) return close();  // an untrusting client gives up here
      plain_.async_connect(plain_end_, [this, self](const asio::error_code& error) {
        if (error) return close();
        from_client();
        from_server();
      });
    });
  }

  void close() {
    asio::error_code ignored;
    plain_.close(ignored);
    tls_.lowest_layer().close(ignored);
  }

 private:
  void from_client() {
    auto self = shared_from_this();
    tls_.async_read_some(asio::buffer(up_), [this, self](const asio::error_code& e, std::size_t n) {
      if (e) return close();
      asio::async_write(plain_, asio::buffer(up_, n),
                        [this, self](const asio::error_code& error, std::size_t) {
                          if (error) return close();
                          from_client();
                        });
    });
  }

  // The plain server closes after its answer: the client is then told the end properly.
  void from_server() {
    auto self = shared_from_this();
    plain_.async_read_some(
        asio::buffer(down_), [this, self](const asio::error_code& e, std::size_t n) {
          if (e) {
            return tls_.async_shutdown([this, self](const asio::error_code&) { close(); });
          }
          asio::async_write(tls_, asio::buffer(down_, n),
                            [this, self](const asio::error_code& error, std::size_t) {
                              if (error) return close();
                              from_server();
                            });
        });
  }

  TlsStream tls_;
  tcp::socket plain_;
  tcp::endpoint plain_end_;
  std::array<char, 16384> up_{};
  std::array<char, 16384> down_{};
};

}  // namespace

struct TlsFront::Impl {
  // Declared first so they are destroyed last: the relays still queued on the io_context
  // go with it, and their streams use the context.
  asio::ssl::context context = server_context();
  asio::io_context io;
  tcp::acceptor acceptor{io};
  tcp::endpoint plain;
  std::uint16_t port = 0;
  std::thread thread;

  void accept_next() {
    acceptor.async_accept([this](const asio::error_code& error, tcp::socket socket) {
      if (error && (error == asio::error::operation_aborted || !acceptor.is_open())) return;
      if (!error) std::make_shared<Relay>(std::move(socket), context, plain)->start();
      accept_next();
    });
  }
};

bool TlsFront::available() {
  return true;
}

TlsFront::TlsFront(std::uint16_t plain_port, std::uint16_t port) : impl_(std::make_unique<Impl>()) {
  const auto loopback = asio::ip::make_address_v4("127.0.0.1");
  impl_->plain = tcp::endpoint(loopback, plain_port);
  const tcp::endpoint endpoint(loopback, port);
  impl_->acceptor.open(endpoint.protocol());
  impl_->acceptor.set_option(tcp::acceptor::reuse_address(true));
  impl_->acceptor.bind(endpoint);
  impl_->acceptor.listen();
  impl_->port = impl_->acceptor.local_endpoint().port();
  impl_->accept_next();
  impl_->thread = std::thread([impl = impl_.get()] { impl->io.run(); });
}

// The relays in flight hold only handlers on the context: stopping it and destroying it
// ends them.
TlsFront::~TlsFront() {
  asio::post(impl_->io, [impl = impl_.get()] {
    asio::error_code ignored;
    impl->acceptor.close(ignored);
    impl->io.stop();
  });
  impl_->thread.join();
}

std::string TlsFront::host() const {
  return "127.0.0.1:" + std::to_string(impl_->port);
}

}  // namespace quillreap::sample_sites
