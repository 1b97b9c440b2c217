// Code-page conversion on Linux through iconv's "CP936". The whole text goes through one
// iconv call; only where iconv refuses a character does one '?' stand in for it, and the
// conversion carries on behind it.
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

// Converts in whole; refused_size tells how many input bytes one '?' replaces where iconv
// stops on something it cannot take. "" when the converter cannot be opened.
std::string convert(const char* to, const char* from, std::string_view in,
                    std::size_t (*refused_size)(std::string_view)) {
  if (in.empty()) return {};
  const Iconv cd = open_iconv(to, from);
  if (!cd) return {};
  auto* handle = static_cast<iconv_t>(cd.get());
  std::string out(in.size() + 16, '\0');
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

std::size_t utf8_refused_size(std::string_view rest) {
  // A whole sequence whose code point GBK lacks, or a single byte that starts none.
  return std::max<std::size_t>(1, utf8_sequence_size(rest));
}

}  // namespace

Text utf8_to_ansi(std::string_view utf8) {
  // A zero byte ends the text: nothing behind it can be part of it.
  const std::size_t zero = utf8.find('\0');
  return convert("CP936", "UTF-8", utf8.substr(0, zero), utf8_refused_size);
}

Text utf8_to_ansi(const Bytes& utf8) {
  if (utf8.empty()) return {};
  return utf8_to_ansi(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size()));
}

std::string ansi_to_utf8(std::string_view gbk) {
  return convert("UTF-8", "CP936", gbk, gbk_refused_size);
}

}  // namespace quillreap::text
