// The TLS front where the build has no TLS library (the Windows build): it refuses.
#include <stdexcept>

#include "tools/sample-sites/tls_front.hpp"

namespace quillreap::sample_sites {

struct TlsFront::Impl {};

bool TlsFront::available() {
  return false;
}

TlsFront::TlsFront(std::uint16_t, std::uint16_t) {
  throw std::runtime_error("this build serves no TLS (the Linux build does)");
}

TlsFront::~TlsFront() = default;

std::string TlsFront::host() const {
  return {};
}

}  // namespace quillreap::sample_sites
