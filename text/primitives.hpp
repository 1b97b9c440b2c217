// The text and byte-buffer operations the whole program is written in.
// Texts hold GBK bytes; positions are 1-based byte positions and -1 means not found.
// Every scanning operation steps over a two-byte character (lead byte >= 0x80) as one unit.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillreap::text {

// A GBK text; never holds a zero byte. An absent text and "" are the same value.
using Text = std::string;
// A counted byte buffer (a page body, a file's content); may hold zero bytes.
using Bytes = std::vector<unsigned char>;
// An ordered list of texts; element 1 of the description is index 0 here.
using TextArray = std::vector<Text>;

int text_length(std::string_view text);
Text text_left(std::string_view text, int n);
Text text_right(std::string_view text, int n);
Text text_mid(std::string_view text, int start, int n);

int find_text(std::string_view text, std::string_view sought, int start = 1,
              bool ignore_case = false);
// start omitted: the whole text is searched.
int find_text_reverse(std::string_view text, std::string_view sought,
                      std::optional<int> start = std::nullopt, bool ignore_case = false);
// count omitted: every occurrence.
Text replace_text(std::string_view text, std::string_view find, std::string_view replacement = {},
                  int start = 1, std::optional<int> count = std::nullopt,
                  bool case_sensitive = true);
// limit omitted: no limit.
TextArray split_text(std::string_view text, std::string_view delimiter = ",",
                     std::optional<int> limit = std::nullopt);
Text trim_spaces(std::string_view text);
Text remove_all_spaces(std::string_view text);
Text to_lower(std::string_view text);
Text char_of(unsigned char code);
Text spaces(int n);
std::int32_t to_int(std::string_view text);
Text to_text(const Bytes& bytes);
int text_equal(std::string_view a, std::string_view b);

template <typename... Parts>
Text concat(const Parts&... parts) {
  Text out;
  out.reserve((std::string_view(parts).size() + ... + 0));
  (out.append(std::string_view(parts)), ...);
  return out;
}

Bytes to_bytes(std::string_view text);
int bytes_length(const Bytes& bytes);
Bytes bytes_left(const Bytes& bytes, int n);
Bytes zero_bytes(int n);
// Only type 10 (text) is used: the bytes from position up to the first zero byte.
inline constexpr int kValueText = 10;
Text bytes_read_value(const Bytes& bytes, int type, int position = 1);

template <typename... Ints>
std::int32_t bit_or(Ints... values) {
  return static_cast<std::int32_t>((static_cast<std::uint32_t>(values) | ...));
}

// Handles pending window messages of the calling thread: runs the pump its front end
// installed with set_event_pump; returns at once on a thread without one (the worker,
// the command line, tests).
void do_events();
// Installs (or, with an empty function, removes) the calling thread's event pump.
void set_event_pump(std::function<void()> pump);

}  // namespace quillreap::text
