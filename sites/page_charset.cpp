// Pages in GBK, GB18030 or UTF-8, turned into the GBK the program holds. GB18030's
// two-byte characters are GBK's own; its four-byte ones are characters GBK lacks.
#include <algorithm>

#include "sites/page.hpp"
#include "text/codepage.hpp"
#include "text/markers.hpp"

namespace quillreap::sites {
namespace {

// The charset named by the page's <meta> (either form) within its head.
Charset meta_charset(const text::Bytes& body) {
  constexpr std::size_t kHeadBytes = 4096;
  const std::size_t size = std::min(body.size(), kHeadBytes);
  if (size >= 3 && body[0] == 0xEF && body[1] == 0xBB && body[2] == 0xBF) return Charset::kUtf8;
  const std::string_view head(reinterpret_cast<const char*>(body.data()), size);
  const int at = text::find_text(head, "charset=", 1, true);
  if (at < 0) return Charset::kGbk;
  Text name = text::to_lower(head.substr(static_cast<std::size_t>(at) + 7, 12));
  name.erase(0, name.find_first_not_of("\"' "));
  if (name.rfind("utf-8", 0) == 0 || name.rfind("utf8", 0) == 0) return Charset::kUtf8;
  if (name.rfind("gb18030", 0) == 0) return Charset::kGb18030;
  return Charset::kGbk;
}

Text gb18030_to_gbk(const Text& page) {
  Text out;
  out.reserve(page.size());
  for (std::size_t i = 0; i < page.size();) {
    const unsigned char lead = static_cast<unsigned char>(page[i]);
    if (lead < 0x81 || lead == 0xFF || i + 1 >= page.size()) {
      out += page[i++];
      continue;
    }
    const unsigned char second = static_cast<unsigned char>(page[i + 1]);
    if (second >= 0x30 && second <= 0x39) {
      out += '?';  // four bytes: a character outside GBK
      i += std::min<std::size_t>(4, page.size() - i);
    } else {
      out.append(page, i, 2);
      i += 2;
    }
  }
  return out;
}

}  // namespace

Text page_in_gbk(const text::Bytes& body, Charset charset) {
  if (charset == Charset::kAuto) charset = meta_charset(body);
  switch (charset) {
    case Charset::kUtf8:
      return text::utf8_to_ansi(body);
    case Charset::kGb18030:
      return gb18030_to_gbk(text::to_text(body));
    default:
      return text::to_text(body);
  }
}

}  // namespace quillreap::sites
