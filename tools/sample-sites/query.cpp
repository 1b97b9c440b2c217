// Search-word handling of the sample sites: query values as raw GBK bytes, a match that
// respects double-byte characters, and the service's <em> marks placed on the UTF-8 name.
#include "tools/sample-sites/query.hpp"

#include "text/codepage_rules.hpp"

namespace quillreap::sample_sites {
namespace {

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string percent_decode(std::string_view in) {
  std::string out;
  for (std::size_t i = 0; i < in.size(); ++i) {
    if (in[i] == '%' && i + 2 < in.size()) {
      int hi = hex_digit(in[i + 1]), lo = hex_digit(in[i + 2]);
      if (hi >= 0 && lo >= 0) {
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
        continue;
      }
    }
    out += in[i];
  }
  return out;
}

char fold(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::size_t gbk_char_size(std::string_view text, std::size_t i) {
  return (text::gbk_lead_byte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
}

std::size_t utf8_char_size(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

// Byte offset in `utf8` of the character that is character `index` of the text.
std::size_t utf8_offset(std::string_view utf8, std::size_t index) {
  std::size_t at = 0;
  for (; index > 0 && at < utf8.size(); --index)
    at += utf8_char_size(static_cast<unsigned char>(utf8[at]));
  return at < utf8.size() ? at : utf8.size();
}

std::size_t gbk_chars_before(std::string_view gbk, std::size_t pos) {
  std::size_t chars = 0;
  for (std::size_t i = 0; i < pos && i < gbk.size(); i += gbk_char_size(gbk, i)) ++chars;
  return chars;
}

std::string key_marker(std::string_view key) {
  std::string marker(1, '&');
  marker.append(key);
  marker += '=';
  return marker;
}

}  // namespace

std::string query_value(std::string_view target, std::string_view key, std::string_view next_key) {
  std::size_t q = target.find('?');
  if (q == std::string_view::npos) return {};
  std::string_view query = target.substr(q + 1);
  const std::string opener = key_marker(key);  // "&key="
  std::size_t begin;
  if (query.substr(0, opener.size() - 1) == std::string_view(opener).substr(1)) {
    begin = opener.size() - 1;
  } else {
    std::size_t at = query.rfind(opener);
    if (at == std::string_view::npos) return {};
    begin = at + opener.size();
  }
  std::size_t end = query.rfind(key_marker(next_key));
  if (end == std::string_view::npos || end < begin) end = query.size();
  return percent_decode(query.substr(begin, end - begin));
}

std::size_t find_in_gbk(std::string_view text, std::string_view word) {
  if (word.empty()) return 0;
  for (std::size_t i = 0; i + word.size() <= text.size(); i += gbk_char_size(text, i)) {
    bool same = true;
    for (std::size_t k = 0; k < word.size() && same; ++k) same = fold(text[i + k]) == fold(word[k]);
    if (same) return i;
  }
  return std::string_view::npos;
}

std::string mark_utf8(std::string_view utf8, std::string_view gbk, std::size_t pos, std::size_t len,
                      std::string_view open, std::string_view close) {
  std::size_t from = utf8_offset(utf8, gbk_chars_before(gbk, pos));
  std::size_t to = utf8_offset(utf8, gbk_chars_before(gbk, pos + len));
  std::string out(utf8.substr(0, from));
  out.append(open).append(utf8.substr(from, to - from)).append(close);
  out.append(utf8.substr(to));
  return out;
}

}  // namespace quillreap::sample_sites
