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

// What a fetch waits unless its caller says otherwise: the download settings carry their
// own copy, which tests and fault injection shorten; the program never does.
inline constexpr Timeouts kDefaultTimeouts{};

}  // namespace quillreap::http
