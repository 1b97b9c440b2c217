// Code-page conversion on Linux through iconv's "CP936". The whole text goes through one
// iconv call; only where iconv refuses a character does one '?' stand in for it, and the
// conversion carries on behind it. UTF-8 is decoded to UTF-32 first, as Windows goes
// through UTF-16, so that broken bytes and characters beyond U+FFFF are settled up front.
#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "text/codepage.hpp"
#include "text/codepage_rules.hpp"

namespace quillreap::text {
namespace {

struct IconvCloser {
  void operator()(void* cd) const noexcept { iconv_close(static_cast<iconv_t>(cd)); }
};
using Iconv = std::unique_ptr<void, IconvCloser>;

Iconv open_iconv(const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return nullptr;
  return Iconv(cd);
}

// Converts in whole into a buffer of about expected_size bytes (grown if need be);
// refused_size tells how many input bytes one '?' replaces where iconv stops on something
// it cannot take. "" when the converter cannot be opened.
std::string convert(const char* to, const char* from, std::string_view in,
                    std::size_t expected_size, std::size_t (*refused_size)(std::string_view)) {
  if (in.empty()) return {};
  const Iconv cd = open_iconv(to, from);
  if (!cd) return {};
  auto* handle = static_cast<iconv_t>(cd.get());
  std::string out(expected_size + 16, '\0');
  std::size_t written = 0;
  char* in_at = const_cast<char*>(in.data());
  std::size_t in_left = in.size();
  while (in_left > 0) {
    char* out_at = out.data() + written;
    std::size_t out_left = out.size() - written;
    const std::size_t done = iconv(handle, &in_at, &in_left, &out_at, &out_left);
    const int error = errno;
    written = static_cast<std::size_t>(out_at - out.data());
    if (done != static_cast<std::size_t>(-1)) break;
    if (error == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    // EILSEQ or EINVAL: a character the target lacks, or bytes that are not one.
    if (written == out.size()) out.resize(out.size() * 2);
    out[written++] = '?';
    const std::size_t skip = std::max<std::size_t>(1, refused_size({in_at, in_left}));
    in_at += skip;
    in_left -= skip;
  }
  out.resize(written);
  return out;
}

// The body's code points, one wchar_t (UTF-32) each. Whatever GBK cannot hold in any case
// is already '?' here: each byte that is not UTF-8, and each code point beyond U+FFFF.
std::wstring decode_utf8(std::string_view utf8) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(utf8[i]); };
  const auto sequence_size = [&](std::size_t i) {
    return byte(i) < 0x80 ? 1 : utf8_sequence_size(utf8.substr(i));
  };
  std::size_t count = 0;
  for (std::size_t i = 0; i < utf8.size(); ++count) i += std::max<std::size_t>(1, sequence_size(i));
  std::wstring units(count, L'\0');
  std::size_t out = 0;
  for (std::size_t i = 0; i < utf8.size(); ++out) {
    const std::size_t size = sequence_size(i);
    const auto low = [&](std::size_t k) { return byte(i + k) & 0x3Fu; };
    switch (size) {
      case 1:
        units[out] = byte(i);
        break;
      case 2:
        units[out] = static_cast<wchar_t>((byte(i) & 0x1Fu) << 6 | low(1));
        break;
      case 3:
        units[out] = static_cast<wchar_t>((byte(i) & 0x0Fu) << 12 | low(1) << 6 | low(2));
        break;
      default:  // a code point beyond U+FFFF (4), or a byte that starts no sequence (0)
        units[out] = L'?';
        break;
    }
    i += std::max<std::size_t>(1, size);
  }
  return units;
}

std::size_t one_unit(std::string_view) {
  return sizeof(wchar_t);
}

}  // namespace

Text utf8_to_ansi(std::string_view utf8) {
  // A zero byte ends the text: nothing behind it can be part of it.
  const std::wstring units = decode_utf8(utf8.substr(0, utf8.find('\0')));
  // From wchar_t iconv converts in a single step, so a refused character costs no more
  // than picking the conversion up again behind it.
  return convert(
      "CP936", "WCHAR_T",
      std::string_view(reinterpret_cast<const char*>(units.data()), units.size() * sizeof(wchar_t)),
      units.size() * 2, one_unit);
}

Text utf8_to_ansi(const Bytes& utf8) {
  if (utf8.empty()) return {};
  return utf8_to_ansi(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size()));
}

std::string ansi_to_utf8(std::string_view gbk) {
  return convert("UTF-8", "CP936", gbk, gbk.size() * 3 / 2, gbk_refused_size);
}

}  // namespace quillreap::text
