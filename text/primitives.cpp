// The GBK text and byte-buffer operations: 1-based positions, -1 for "not found", and a
// character walk that steps over each two-byte character whole, so no match ever starts
// on a trail byte. Every operation reads its arguments once and builds a new value.
#include "text/primitives.hpp"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstdint>
#include <cstring>

namespace quillreap::text {
namespace {

constexpr std::size_t kNone = std::string_view::npos;

unsigned char byte_at(std::string_view t, std::size_t i) {
  return static_cast<unsigned char>(t[i]);
}

// Byte size of the character that starts at i: 1 or 2, or 0 for a lead byte that the end
// of the text cuts off (a lone lead byte ends every walk).
std::size_t char_size(std::string_view t, std::size_t i) {
  if (byte_at(t, i) < 0x80) return 1;
  return i + 1 < t.size() ? 2 : 0;
}

unsigned char fold(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

bool is_full_width_space(std::string_view t, std::size_t i) {
  return i + 1 < t.size() && byte_at(t, i) == 0xA1 && byte_at(t, i + 1) == 0xA1;
}

bool is_letter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Compares sought with the bytes of text at i. A folded sought (already small letters)
// is compared with the text folded byte by byte.
class Matcher {
 public:
  Matcher(std::string_view sought, bool ignore_case) : ignore_case_(ignore_case) {
    if (ignore_case) {
      folded_.resize(sought.size());
      std::transform(sought.begin(), sought.end(), folded_.begin(),
                     [](char c) { return static_cast<char>(fold(static_cast<unsigned char>(c))); });
      sought_ = folded_;
      // 0x20 where sought holds a letter: a byte with that bit set equals the small letter
      // exactly when it is the letter in either case.
      case_bits_.resize(sought.size());
      std::transform(folded_.begin(), folded_.end(), case_bits_.begin(), [](char c) {
        return is_letter(static_cast<unsigned char>(c)) ? '\x20' : '\0';
      });
    } else {
      sought_ = sought;
    }
    anchor_ = choose_anchor();
  }

  std::size_t size() const { return sought_.size(); }

  // The byte of sought that a search looks for with memchr, and its offset in sought; no
  // anchor (kNone) when case is ignored and every byte is a letter.
  std::size_t anchor() const { return anchor_; }
  char anchor_byte() const { return sought_[anchor_]; }

  bool at(std::string_view text, std::size_t i) const {
    if (!ignore_case_) {
      return text[i] == sought_[0] && std::memcmp(text.data() + i, sought_.data(), size()) == 0;
    }
    const std::size_t n = size();
    std::size_t k = 0;
    for (; n - k >= 8; k += 8) {  // eight bytes at a time
      std::uint64_t t, bits, s;
      std::memcpy(&t, text.data() + i + k, 8);
      std::memcpy(&bits, case_bits_.data() + k, 8);
      std::memcpy(&s, sought_.data() + k, 8);
      if ((t | bits) != s) return false;
    }
    for (; k < n; ++k) {
      if ((text[i + k] | case_bits_[k]) != sought_[k]) return false;
    }
    return true;
  }

 private:
  // How often a byte turns up in a GBK page, roughly: Chinese text is all bytes of 0x80
  // and above (the common characters lead with 0xB0 to 0xD7, punctuation with 0xA1 to
  // 0xA3), tags are brackets and letters, attributes add spaces, quotes, '=' and '/'.
  // Only the speed depends on it: the rarest byte of sought has the fewest candidates.
  static int commonness(unsigned char c) {
    if (c >= 0x80) return c >= 0xA1 && c <= 0xD7 ? 6 : 5;
    if (c == '<' || c == '>') return 4;
    if (is_letter(c)) return 3;
    if (c == ' ' || c == '"' || c == '=' || c == '/' || c == '&' || c == ';' || c == '\r' ||
        c == '\n') {
      return 2;
    }
    return c >= '0' && c <= '9' ? 1 : 0;
  }

  // A letter cannot be the anchor when case is ignored.
  std::size_t choose_anchor() const {
    std::size_t best = kNone;
    for (std::size_t k = 0; k < sought_.size(); ++k) {
      const unsigned char c = byte_at(sought_, k);
      if (ignore_case_ && is_letter(c)) continue;
      if (best == kNone || commonness(c) < commonness(byte_at(sought_, best))) best = k;
    }
    return best;
  }

  bool ignore_case_;
  std::string folded_;
  std::string case_bits_;
  std::string_view sought_;
  std::size_t anchor_ = kNone;
};

// Whether a character walk that starts at from steps on p (from <= p). Past the last byte
// below 0x80 a character always starts, whether that byte stood alone or was a trail
// byte; from there on every byte is a lead or a trail, so p is a character start when an
// even number of them lie between.
bool walk_reaches(std::string_view t, std::size_t from, std::size_t p) {
  std::size_t q = p;
  if constexpr (std::endian::native == std::endian::little) {
    // Eight bytes at a time: a run of Chinese text is long.
    while (q - from >= 8) {
      std::uint64_t word;
      std::memcpy(&word, t.data() + q - 8, 8);
      const std::uint64_t low = ~word & 0x8080808080808080ull;
      if (low != 0) {
        q -= static_cast<std::size_t>(std::countl_zero(low)) / 8;
        return (p - q) % 2 == 0;
      }
      q -= 8;
    }
  }
  while (q > from && byte_at(t, q - 1) >= 0x80) --q;
  return (p - q) % 2 == 0;
}

// The character walk itself, for a sought text with no anchor byte.
std::size_t walk_find(std::string_view text, const Matcher& sought, std::size_t from) {
  const std::size_t n = text.size();
  const std::size_t s = sought.size();
  std::size_t i = from;
  while (i < n && n - i >= s) {
    const std::size_t step = char_size(text, i);
    if (step == 0) return kNone;
    if (sought.at(text, i)) return i;
    i += step;
  }
  return kNone;
}

// Offset of the first match at a character start at or after from (walking from from),
// or kNone. sought is not empty. The anchor byte is found with memchr and only its
// candidates are checked for a character start, so a page is not walked byte by byte.
std::size_t find_from(std::string_view text, const Matcher& sought, std::size_t from) {
  const std::size_t n = text.size();
  const std::size_t s = sought.size();
  if (from >= n || n - from < s) return kNone;
  const std::size_t k = sought.anchor();
  if (k == kNone) return walk_find(text, sought, from);
  const char anchor = sought.anchor_byte();
  const std::size_t last_anchor = n - s + k;
  std::size_t walked = from;  // a character start of the walk, never after the candidate
  std::size_t next = from + k;
  while (next <= last_anchor) {
    const void* hit = std::memchr(text.data() + next, anchor, last_anchor - next + 1);
    if (hit == nullptr) break;
    const std::size_t j = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
    const std::size_t start = j - k;
    next = j + 1;
    // Comparing first is cheaper: most candidates differ, and only a match needs the walk.
    if (!sought.at(text, start)) continue;
    if (walk_reaches(text, walked, start)) {
      // A lone lead byte ends the walk before any comparison.
      return start + 1 == n && byte_at(text, start) >= 0x80 ? kNone : start;
    }
    walked = start + 1;  // start is a trail byte, so a character starts behind it
  }
  return kNone;
}

int to_position(std::size_t offset) {
  return offset > static_cast<std::size_t>(INT_MAX) - 1 ? INT_MAX : static_cast<int>(offset + 1);
}

// Offset where a 1-based start points, never below 0.
std::size_t start_offset(int start) {
  return start > 1 ? static_cast<std::size_t>(start) - 1 : 0;
}

}  // namespace

int text_length(std::string_view text) {
  return text.size() > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(text.size());
}

Text text_left(std::string_view text, int n) {
  if (n <= 0) return {};
  return Text(text.substr(0, static_cast<std::size_t>(n)));
}

Text text_right(std::string_view text, int n) {
  if (n <= 0) return {};
  const std::size_t keep = std::min(text.size(), static_cast<std::size_t>(n));
  return Text(text.substr(text.size() - keep));
}

Text text_mid(std::string_view text, int start, int n) {
  if (start < 1 || n <= 0 || static_cast<std::size_t>(start) > text.size()) return {};
  return Text(text.substr(static_cast<std::size_t>(start) - 1, static_cast<std::size_t>(n)));
}

int find_text(std::string_view text, std::string_view sought, int start, bool ignore_case) {
  const std::size_t from = start_offset(start);
  if (from >= text.size()) return -1;
  if (sought.empty()) return 1;
  const std::size_t at = find_from(text, Matcher(sought, ignore_case), from);
  return at == kNone ? -1 : to_position(at);
}

int find_text_reverse(std::string_view text, std::string_view sought, std::optional<int> start,
                      bool ignore_case) {
  // Only the first `region` bytes are searched; the last match wholly inside them counts.
  std::size_t region = text.size();
  if (start) {
    if (*start <= 1) return -1;
    region = std::min(region, static_cast<std::size_t>(*start) - 1);
  }
  if (sought.empty() || sought.size() > region) return -1;
  const Matcher matcher(sought, ignore_case);
  std::size_t last = kNone;
  for (std::size_t i = 0; i < region && region - i >= sought.size();) {
    const std::size_t step = char_size(text, i);
    if (step == 0) break;
    if (matcher.at(text, i)) last = i;
    i += step;
  }
  return last == kNone ? -1 : to_position(last);
}

Text replace_text(std::string_view text, std::string_view find, std::string_view replacement,
                  int start, std::optional<int> count, bool case_sensitive) {
  const std::size_t from = start_offset(start);
  if (text.empty() || find.empty() || from >= text.size() || (count && *count <= 0)) {
    return Text(text);
  }
  const Matcher matcher(find, !case_sensitive);
  const std::size_t n = text.size();
  const std::size_t f = find.size();
  Text out;
  out.reserve(n);
  out.append(text.substr(0, from));
  std::size_t i = from;  // where the walk goes on; text[i, ...) still waits to be copied
  int done = 0;
  for (;;) {
    const std::size_t at = find_from(text, matcher, i);
    if (at == kNone) break;
    out.append(text.substr(i, at - i));
    out.append(replacement);
    i = at + f;
    if (count && ++done == *count) {
      out.append(text.substr(i));
      return out;
    }
  }
  // A one-byte find walks up to the last byte: a lone lead byte there is dropped.
  if (f == 1 && i < n && byte_at(text, n - 1) >= 0x80 && walk_reaches(text, i, n - 1)) {
    out.append(text.substr(i, n - 1 - i));
    return out;
  }
  out.append(text.substr(i));
  return out;
}

TextArray split_text(std::string_view text, std::string_view delimiter, std::optional<int> limit) {
  TextArray pieces;
  if (text.empty() || (limit && *limit <= 0)) return pieces;
  if (delimiter.empty()) {
    pieces.emplace_back(text);
    return pieces;
  }
  const Matcher matcher(delimiter, false);
  const std::size_t n = text.size();
  std::size_t piece = 0;
  for (;;) {
    // A lone lead byte ends the walk and stays in the last piece.
    const std::size_t at = find_from(text, matcher, piece);
    if (at == kNone) break;
    pieces.emplace_back(text.substr(piece, at - piece));
    piece = at + delimiter.size();
    if (limit && pieces.size() == static_cast<std::size_t>(*limit)) return pieces;
  }
  if (piece < n) pieces.emplace_back(text.substr(piece));
  return pieces;
}

Text trim_spaces(std::string_view text) {
  const std::size_t n = text.size();
  std::size_t begin = 0;
  while (begin < n) {
    if (text[begin] == ' ') {
      ++begin;
    } else if (is_full_width_space(text, begin)) {
      begin += 2;
    } else {
      break;
    }
  }
  std::size_t end = begin;  // end of the last character that is not a space
  for (std::size_t i = begin; i < n;) {
    const std::size_t step = char_size(text, i);
    // A lone lead byte is cut off; the spaces before it are no longer trailing.
    if (step == 0) return Text(text.substr(begin, i - begin));
    if (!(text[i] == ' ' || is_full_width_space(text, i))) end = i + step;
    i += step;
  }
  return Text(text.substr(begin, end - begin));
}

Text remove_all_spaces(std::string_view text) {
  Text out;
  out.reserve(text.size());
  std::size_t kept = 0;  // text[kept, i) is a run of characters still to be copied
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t step = char_size(text, i);
    if (step == 0) break;
    if (text[i] == ' ' || is_full_width_space(text, i)) {
      out.append(text.substr(kept, i - kept));
      kept = i + step;
    }
    i += step;
  }
  out.append(text.substr(kept, i - kept));
  return out;
}

Text to_lower(std::string_view text) {
  Text out(text);
  for (std::size_t i = 0; i < out.size();) {
    const std::size_t step = char_size(out, i);
    if (step == 0) break;
    if (step == 1) out[i] = static_cast<char>(fold(byte_at(out, i)));
    i += step;
  }
  return out;
}

Text char_of(unsigned char code) {
  if (code == 0) return {};
  return Text(1, static_cast<char>(code));
}

Text spaces(int n) {
  return n < 1 ? Text() : Text(static_cast<std::size_t>(n), ' ');
}

std::int32_t to_int(std::string_view text) {
  // Full-width forms first: the 0xA3 row holds the full-width ASCII signs and digits
  // (0xA3 0xA1 '!' up to 0xA3 0xFD '}', bar 0xA3 0xA4, the yuan sign), 0xA1 0xA1 is the
  // full-width space.
  std::string half;
  half.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t step = char_size(text, i);
    if (step == 0) break;
    if (step == 2) {
      const unsigned char lead = byte_at(text, i);
      const unsigned char trail = byte_at(text, i + 1);
      if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFD && trail != 0xA4) {
        half.push_back(static_cast<char>(trail - 0x80));
      } else if (lead == 0xA1 && trail == 0xA1) {
        half.push_back(' ');
      } else {
        half.append(text.substr(i, 2));
      }
    } else {
      half.push_back(text[i]);
    }
    i += step;
  }

  std::size_t i = 0;
  while (i < half.size() && (half[i] == ' ' || (half[i] >= '\t' && half[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < half.size() && (half[i] == '+' || half[i] == '-')) negative = half[i++] == '-';
  // Accumulate as a negative number so that INT32_MIN is reachable; clamp beyond it.
  std::int64_t value = 0;
  for (; i < half.size() && half[i] >= '0' && half[i] <= '9'; ++i) {
    value = value * 10 - (half[i] - '0');
    if (value < INT32_MIN) {
      value = INT32_MIN;
      break;
    }
  }
  if (negative) return static_cast<std::int32_t>(value);
  return value < -INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(-value);
}

Text to_text(const Bytes& bytes) {
  const auto zero = std::find(bytes.begin(), bytes.end(), 0);
  return Text(bytes.begin(), zero);
}

int text_equal(std::string_view a, std::string_view b) {
  // string_view compares as unsigned bytes (char_traits<char>::compare is memcmp).
  const int c = a.compare(b);
  return (c > 0) - (c < 0);
}

Bytes to_bytes(std::string_view text) {
  return Bytes(text.begin(), text.end());
}

int bytes_length(const Bytes& bytes) {
  return bytes.size() > static_cast<std::size_t>(INT_MAX) ? INT_MAX
                                                          : static_cast<int>(bytes.size());
}

Bytes bytes_left(const Bytes& bytes, int n) {
  if (n <= 0) return {};
  const std::size_t keep = std::min(bytes.size(), static_cast<std::size_t>(n));
  return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(keep));
}

Bytes zero_bytes(int n) {
  return n <= 0 ? Bytes() : Bytes(static_cast<std::size_t>(n), 0);
}

Text bytes_read_value(const Bytes& bytes, int type, int position) {
  if (type != kValueText || position < 1 || static_cast<std::size_t>(position) > bytes.size()) {
    return {};
  }
  const auto from = bytes.begin() + (position - 1);
  return Text(from, std::find(from, bytes.end(), 0));
}

}  // namespace quillreap::text
