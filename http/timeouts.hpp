// How long a fetch waits before it gives up, the same on both transports: a stalled page
// ends after the same time on Windows as on Linux, whatever the platform's own defaults.
#pragma once

#include <chrono>

namespace quillreap::http {

struct Timeouts {
  std::chrono::milliseconds connect{60'000};  // until the connection stands
  std::chrono::milliseconds send{30'000};     // with no byte of the request going out
  std::chrono::milliseconds receive{30'000};  // with no byte of the response coming in
};

inline constexpr Timeouts kDefaultTimeouts{};

// A setting of the whole process, like the platform's cookie jar: every fetch reads it as
// it opens its handles. Tests and fault injection shorten it; the program never does.
void set_timeouts(const Timeouts& timeouts);
Timeouts timeouts();

}  // namespace quillreap::http
