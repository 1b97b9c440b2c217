// The receive time-out shared by every fetch of the process; the transports read it when
// they open a request.
#include <atomic>

#include "http/transport.hpp"

namespace quillreap::http {

namespace {
std::atomic<std::int64_t> receive_timeout_ms{transport::kDefaultReceiveTimeout.count()};
}

void set_receive_timeout(std::chrono::milliseconds timeout) {
  receive_timeout_ms.store(timeout.count());
}

std::chrono::milliseconds receive_timeout() {
  return std::chrono::milliseconds(receive_timeout_ms.load());
}

}  // namespace quillreap::http
