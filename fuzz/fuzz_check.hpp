// What every fuzz target shares: a failed check aborts with a message, so libFuzzer keeps
// the input that broke it; and texts made from raw input hold no zero byte, as texts never do.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

namespace quillreap::fuzz {

[[noreturn]] inline void fail(const char* what) {
  std::fprintf(stderr, "check failed: %s\n", what);
  std::abort();
}

#define QUILLREAP_FUZZ_CHECK(condition)                    \
  do {                                                     \
    if (!(condition)) ::quillreap::fuzz::fail(#condition); \
  } while (false)

// A zero byte would end a text early in the program's own terms; raw input may hold any.
inline std::string without_zero(std::string bytes) {
  for (char& c : bytes)
    if (c == '\0') c = '0';
  return bytes;
}

inline std::string take_text(FuzzedDataProvider& input, std::size_t max_length) {
  return without_zero(input.ConsumeRandomLengthString(max_length));
}
inline std::string rest_text(FuzzedDataProvider& input) {
  return without_zero(input.ConsumeRemainingBytesAsString());
}

}  // namespace quillreap::fuzz
