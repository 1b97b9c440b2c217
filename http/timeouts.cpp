// The time-outs shared by every fetch of the process. Any thread may set or read them.
#include "http/timeouts.hpp"

#include <mutex>

namespace quillreap::http {

namespace {

struct Setting {
  std::mutex mutex;
  Timeouts value = kDefaultTimeouts;
};

Setting& setting() {
  static Setting shared;
  return shared;
}

}  // namespace

void set_timeouts(const Timeouts& timeouts) {
  std::lock_guard lock(setting().mutex);
  setting().value = timeouts;
}

Timeouts timeouts() {
  std::lock_guard lock(setting().mutex);
  return setting().value;
}

}  // namespace quillreap::http
