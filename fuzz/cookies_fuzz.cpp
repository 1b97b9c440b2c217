// Fuzzes the cookie merging: any two cookie texts merge without failing, the result is
// what both arguments end holding, and spaces are gone from the new cookies.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.hpp"
#include "http/cookies.hpp"
#include "text/primitives.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  quillreap::text::Text fresh = quillreap::fuzz::take_text(input, 200);
  quillreap::text::Text kept = quillreap::fuzz::rest_text(input);

  const quillreap::text::Text merged = quillreap::http::merge_cookies(kept, fresh);
  QUILLREAP_FUZZ_CHECK(merged == kept);
  QUILLREAP_FUZZ_CHECK(fresh == quillreap::text::remove_all_spaces(fresh));

  // Merging the result again with nothing new keeps every cookie name it had.
  quillreap::text::Text nothing;
  quillreap::text::Text again = merged;
  quillreap::http::merge_cookies(again, nothing);
  for (const quillreap::text::Text& entry : quillreap::text::split_text(again, ";")) {
    const quillreap::text::Text name = quillreap::http::cookie_name(entry);
    if (name.empty()) continue;
    QUILLREAP_FUZZ_CHECK(merged.find(name) != std::string::npos);
  }
  (void)quillreap::http::remove_duplicate_entries(merged, ";");
  return 0;
}
