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

// The address a browser goes to for link on the page at base: a full address as it is; one
// starting "//", "/" or "?" on the base's scheme, host or path; any other relative to the
// base's directory; "." and ".." segments taken out. A fragment ("#...") is dropped: it
// never goes to the site.
text::Text resolve_address(std::string_view base, std::string_view link);

}  // namespace quillreap::http
