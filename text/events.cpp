// The thread-local event pump behind do_events: each front end installs the pump of its
// interface thread; every other thread has none and do_events returns at once.
#include <utility>

#include "text/primitives.hpp"

namespace quillreap::text {
namespace {
thread_local std::function<void()> t_event_pump;
}  // namespace

void do_events() {
  if (t_event_pump) t_event_pump();
}

void set_event_pump(std::function<void()> pump) {
  t_event_pump = std::move(pump);
}

}  // namespace quillreap::text
