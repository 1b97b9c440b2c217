// Taking a page address apart for the page fetch: host, port, path with query.
// Each works on the address text alone and never fails; an odd address gives odd parts.
#pragma once

#include <cstdint>
#include <string_view>

#include "text/primitives.hpp"

namespace quillreap::http {

// The host in lower case; with keep_port it keeps ":" and the port when the address has one.
text::Text split_url(std::string_view address, bool keep_port = false);
// The number after the host's last ':' (0 when not a number); else 443 for an address
// starting "https", 80 otherwise.
std::int32_t url_port(std::string_view address);
// From the first '/' at or after the host to the end, in the address's own letter case;
// "/" when there is none.
text::Text url_path(std::string_view address);

}  // namespace quillreap::http
