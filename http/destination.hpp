// Where one exchange goes: the one description fetch_page builds from an address or a
// redirect, and the libcurl transport rebuilds from its connection and request handles.
#pragma once

#include <cstdint>

#include "text/primitives.hpp"

namespace quillreap::http {

// path is the request target's bytes as the address has them (the transport escapes
// spaces on the way out).
struct Destination {
  bool secure = false;
  text::Text host;         // lower case, without the port
  std::int32_t port = 80;  // 0: the scheme's default
  text::Text path;
};

}  // namespace quillreap::http
