// Fuzzes the taking apart of a page address: split_url, url_port and url_path never fail
// on any text, the host is lower case and a piece of the address, and the path starts '/'.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.hpp"
#include "http/url.hpp"
#include "text/primitives.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string address = quillreap::fuzz::rest_text(input);
  const std::string before = address;

  const quillreap::text::Text host = quillreap::http::split_url(address);
  const quillreap::text::Text host_port = quillreap::http::split_url(address, true);
  const quillreap::text::Text path = quillreap::http::url_path(address);
  (void)quillreap::http::url_port(address);

  QUILLREAP_FUZZ_CHECK(host == quillreap::text::to_lower(host));
  QUILLREAP_FUZZ_CHECK(host.size() <= address.size() && host_port.size() <= address.size());
  QUILLREAP_FUZZ_CHECK(!path.empty() && path.front() == '/');
  QUILLREAP_FUZZ_CHECK(path == "/" || address.find(path) != std::string::npos);
  QUILLREAP_FUZZ_CHECK(address == before);
  return 0;
}
