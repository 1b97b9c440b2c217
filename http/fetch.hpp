// fetch_page: one complete HTTP exchange, the only way the program talks to a site.
// Written once over the transport seam (WinInet on Windows, libcurl on Linux).
#pragma once

#include <string_view>

#include "text/primitives.hpp"

namespace quillreap::http {

using text::Bytes;
using text::Text;

// The body exactly as the server sent it (error pages included), and whether the
// exchange failed: no handle, no connection, no response, a read that failed, an address
// that cannot be sent safely, or an HTTP status of 400 and above.
struct FetchResult {
  Bytes body;
  bool failed = true;
  int status = 0;  // the final response's HTTP status, 0 when none arrived
};

enum Method { kGet = 0, kPost = 1, kHead = 2 };

// Every argument but address may be omitted. In/out arguments are pointers; a null
// cookies pointer means "not supplied", which differs from a supplied empty text.
FetchResult fetch_page(std::string_view address, int method = kGet, std::string_view post_text = {},
                       Text* cookies = nullptr, Text* returned_cookies = nullptr,
                       Text* extra_headers = nullptr, Text* returned_headers = nullptr,
                       bool no_redirect = false, Bytes* post_bytes = nullptr,
                       std::string_view proxy = {});

// The trimmed text after the first ':' of a header text; "" without one.
Text header_value(std::string_view header);

}  // namespace quillreap::http
