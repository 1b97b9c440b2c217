// Following redirects in fetch_page itself rather than in the platform, so both transports
// stop after the same number of hops: where a Location leads from the current exchange.
#pragma once

#include <optional>
#include <string_view>

#include "http/destination.hpp"

namespace quillreap::http {

// The hops one fetch may follow; one more redirect fails the fetch.
inline constexpr int kMaxRedirects = 30;

// The first exchange's destination, split from the fetch's address as it always was.
Destination destination_of(std::string_view address);

bool is_redirect(int status);

// Where location leads from `from`: an absolute address (http or https), one without a
// scheme ("//host/path"), a path from the root, or a path relative to from's directory.
// Nothing for an empty location, another scheme, or no host.
std::optional<Destination> redirect_destination(const Destination& from, std::string_view location);

}  // namespace quillreap::http
