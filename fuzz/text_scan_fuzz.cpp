// Fuzzes the text primitives and the marker cuts on arbitrary bytes: a found position is
// the start of a character where the sought bytes match and no earlier character start
// matches, pieces come out of the text, and no operation changes its arguments.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.hpp"
#include "text/markers.hpp"
#include "text/primitives.hpp"

namespace {

using quillreap::fuzz::rest_text;
using quillreap::fuzz::take_text;
namespace text = quillreap::text;

bool is_lead(char c) {
  return static_cast<unsigned char>(c) >= 0x80;
}

char fold(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool matches_at(std::string_view haystack, std::size_t at, std::string_view sought,
                bool ignore_case) {
  if (at + sought.size() > haystack.size()) return false;
  for (std::size_t i = 0; i < sought.size(); ++i) {
    const char a = haystack[at + i];
    const char b = sought[i];
    if (ignore_case ? fold(a) != fold(b) : a != b) return false;
  }
  return true;
}

// The character starts a walk from byte `from` reaches, with whether each is a lone lead
// byte (a lead byte with nothing behind it).
template <typename Visit>
void walk(std::string_view haystack, std::size_t from, Visit visit) {
  std::size_t i = from;
  while (i < haystack.size()) {
    const bool lone = is_lead(haystack[i]) && i + 1 >= haystack.size();
    if (!visit(i, lone)) return;
    i += is_lead(haystack[i]) ? 2 : 1;
  }
}

void check_find(const std::string& haystack, const std::string& sought, int start,
                bool ignore_case) {
  const int found = text::find_text(haystack, sought, start, ignore_case);
  const std::size_t from = start > 1 ? static_cast<std::size_t>(start - 1) : 0;
  if (sought.empty()) {
    QUILLREAP_FUZZ_CHECK(found == (from < haystack.size() ? 1 : -1));
    return;
  }
  bool reached = false;
  walk(haystack, from, [&](std::size_t at, bool lone) {
    if (found > 0 && at == static_cast<std::size_t>(found - 1)) {
      QUILLREAP_FUZZ_CHECK(matches_at(haystack, at, sought, ignore_case));
      reached = true;
      return false;
    }
    // No character start before the result matches (a lone lead byte ends the scan
    // either way).
    if (!lone) QUILLREAP_FUZZ_CHECK(!matches_at(haystack, at, sought, ignore_case));
    return true;
  });
  if (found > 0)
    QUILLREAP_FUZZ_CHECK(reached);
  else
    QUILLREAP_FUZZ_CHECK(found == -1);
}

void check_find_reverse(const std::string& haystack, const std::string& sought,
                        std::optional<int> start, bool ignore_case) {
  const int found = text::find_text_reverse(haystack, sought, start, ignore_case);
  if (sought.empty()) return;
  long region = start ? static_cast<long>(*start) - 1 : static_cast<long>(haystack.size());
  if (region > static_cast<long>(haystack.size())) region = static_cast<long>(haystack.size());
  if (region <= 0) {
    QUILLREAP_FUZZ_CHECK(found == -1);
    return;
  }
  // The last complete character start whose match lies wholly inside the region.
  long last = -1;
  walk(haystack, 0, [&](std::size_t at, bool lone) {
    if (!lone && static_cast<long>(at + sought.size()) <= region &&
        matches_at(haystack, at, sought, ignore_case))
      last = static_cast<long>(at) + 1;
    return true;
  });
  if (found != last) {
    // Only a lone lead byte at the very end may be read either way.
    QUILLREAP_FUZZ_CHECK(found > 0 && static_cast<std::size_t>(found) == haystack.size() &&
                         matches_at(haystack, haystack.size() - 1, sought, ignore_case));
  }
}

bool inside(std::string_view haystack, std::string_view piece) {
  return piece.empty() || haystack.find(piece) != std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const int start = input.ConsumeIntegralInRange<int>(-2, 80);
  const int count = input.ConsumeIntegralInRange<int>(-1, 4);
  const bool ignore_case = input.ConsumeBool();
  const bool has_start = input.ConsumeBool();
  const std::string sought = take_text(input, 6);
  const std::string other = take_text(input, 8);
  const std::string haystack = rest_text(input);
  const std::string sought_before = sought, other_before = other, haystack_before = haystack;

  check_find(haystack, sought, start, ignore_case);
  check_find_reverse(haystack, sought, has_start ? std::optional<int>(start) : std::nullopt,
                     ignore_case);

  const std::optional<int> replace_count = count < 0 ? std::nullopt : std::optional<int>(count);
  const text::Text replaced =
      text::replace_text(haystack, sought, other, start, replace_count, !ignore_case);
  if (sought.empty() || count == 0) QUILLREAP_FUZZ_CHECK(replaced == haystack);

  if (!sought.empty()) {
    const text::TextArray pieces = text::split_text(haystack, sought);
    text::Text joined;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
      if (i > 0) joined += sought;
      joined += pieces[i];
    }
    // Split and joined again it is the text, short of a delimiter at the very end.
    QUILLREAP_FUZZ_CHECK(joined == haystack || joined + sought == haystack);
  }

  const text::Text trimmed = text::trim_spaces(haystack);
  QUILLREAP_FUZZ_CHECK(inside(haystack, trimmed));
  QUILLREAP_FUZZ_CHECK(text::remove_all_spaces(haystack).size() <= haystack.size());
  QUILLREAP_FUZZ_CHECK(text::to_lower(haystack).size() <= haystack.size());
  QUILLREAP_FUZZ_CHECK(text::text_mid(haystack, start, count).size() <=
                       static_cast<std::size_t>(count < 0 ? 0 : count));
  (void)text::to_int(haystack);

  // The markers: every piece cut is a piece of the text (no quote token in play when
  // the markers hold none).
  const text::Text piece = text::text_between(haystack, sought, other, start, ignore_case);
  text::TextArray pieces;
  const int found = text::text_between_all(haystack, sought, other, pieces, !ignore_case, 0, {}, {},
                                           false, false, start);
  QUILLREAP_FUZZ_CHECK(found == static_cast<int>(pieces.size()));
  if (sought.find('#') == std::string::npos && other.find('#') == std::string::npos) {
    QUILLREAP_FUZZ_CHECK(inside(haystack, piece));
    for (const text::Text& each : pieces) QUILLREAP_FUZZ_CHECK(inside(haystack, each));
  }
  text::TextArray framed;
  text::text_between_all(haystack, sought, other, framed, ignore_case, count * 3, "<", ">", true,
                         true);
  (void)text::replace_many(haystack, replace_count, start, ignore_case, sought, other, other,
                           sought, "\r\n", "", "<br />", "\r\n");

  QUILLREAP_FUZZ_CHECK(sought == sought_before && other == other_before &&
                       haystack == haystack_before);
  return 0;
}
