// Address splitting for fetch_page. The scheme tests are deliberately lopsided:
// "https://" counts only at the start, "http://" anywhere in the address.
#include "http/url.hpp"

#include "text/markers.hpp"

namespace quillreap::http {

using text::Text;

Text split_url(std::string_view address, bool keep_port) {
  Text u = text::to_lower(address);
  if (text::text_right(u, 1) != "/") u += "/";
  Text host;
  if (text::text_left(u, 8) == "https://") {
    host = text::text_between(u, "https://", "/");
  } else {
    if (text::find_text(u, "http://") < 1) u = text::concat("http://", u);
    host = text::text_between(u, "http://", "/");
  }
  if (!keep_port) {
    const int colon = text::find_text(host, ":");
    if (colon > 0) host = text::text_left(host, colon - 1);
  }
  return host;
}

std::int32_t url_port(std::string_view address) {
  const Text host_port = split_url(address, true);
  const int colon = text::find_text_reverse(host_port, ":");
  if (colon > 0) {
    return text::to_int(text::text_right(host_port, text::text_length(host_port) - colon));
  }
  // Five characters, not eight: "httpsx://" would count as secure here.
  return text::text_left(text::to_lower(address), 5) == "https" ? 443 : 80;
}

Text url_path(std::string_view address) {
  const Text host = split_url(address);
  const int host_at = text::find_text(address, host, 1, true);
  // A host that is not found (-1) makes the search start at the beginning.
  const int slash = text::find_text(address, "/", host_at, true);
  if (slash > 0) return text::text_right(address, text::text_length(address) - slash + 1);
  return "/";
}

}  // namespace quillreap::http
