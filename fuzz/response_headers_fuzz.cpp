// Fuzzes the reading of a raw response header block as fetch_page does it after every
// exchange: the NUL cut and Set-Cookie spelling, the cookie items, the status code, and the
// merge of those cookies into a caller's.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.hpp"
#include "http/cookies.hpp"
#include "http/response_headers.hpp"
#include "text/primitives.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  quillreap::text::Text caller_cookies = quillreap::fuzz::take_text(input, 100);
  // The transport's buffer may hold anything, zero bytes included.
  const std::string buffer = input.ConsumeRemainingBytesAsString();

  const quillreap::text::Text block = quillreap::http::clean_raw_headers(buffer);
  QUILLREAP_FUZZ_CHECK(block.find('\0') == std::string::npos);
  QUILLREAP_FUZZ_CHECK(block.size() == buffer.find('\0') ||
                       (buffer.find('\0') == std::string::npos && block.size() == buffer.size()));

  const int status = quillreap::http::status_of(block);
  QUILLREAP_FUZZ_CHECK(status == 0 || block.rfind("HTTP/", 0) == 0);

  quillreap::text::Text collected = quillreap::http::collect_cookies(block);
  QUILLREAP_FUZZ_CHECK(collected.size() <= block.size());
  if (block.find("Set-Cookie") == std::string::npos) QUILLREAP_FUZZ_CHECK(collected.empty());
  quillreap::http::merge_cookies(caller_cookies, collected);
  return 0;
}
