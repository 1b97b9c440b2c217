// The EPUB's text rules. Portable: the conversion reads the code page 936 table directly
// instead of the platform's converter, which on Windows is the system's own.
#include "books/epub_text.hpp"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "text/codepage_rules.hpp"
#include "text/cp936.hpp"
#include "text/sha1.hpp"

namespace quillreap::books {
namespace {

constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";  // U+3000 in UTF-8

bool xml_allows(char16_t unit) {
  if (unit < 0x20) return unit == '\t' || unit == '\n' || unit == '\r';
  return unit != 0xFFFE && unit != 0xFFFF && (unit < 0xD800 || unit > 0xDFFF);
}

// One unit as UTF-8, with the three characters XML gives a meaning escaped.
void append_escaped(std::string& out, char16_t unit) {
  if (unit == '&') {
    out += "&amp;";
  } else if (unit == '<') {
    out += "&lt;";
  } else if (unit == '>') {
    out += "&gt;";
  } else {
    text::append_utf8(out, unit);
  }
}

}  // namespace

std::string xml_text(std::string_view gbk) {
  std::string out;
  out.reserve(gbk.size() * 3 / 2);
  text::for_each_cp936_unit(gbk, [&](char16_t unit) {
    if (xml_allows(unit)) append_escaped(out, unit);
  });
  return out;
}

std::vector<std::string> xml_paragraphs(std::string_view gbk) {
  const std::string all = xml_text(gbk);
  std::vector<std::string> paragraphs;
  // find_first_of would look each character up in the set of two: a plain scan is several
  // times faster on a chapter.
  const auto line_break = [](char c) { return c == '\r' || c == '\n'; };
  std::size_t start = 0;
  while (start < all.size()) {
    const std::size_t end = static_cast<std::size_t>(
        std::find_if(all.begin() + static_cast<std::ptrdiff_t>(start), all.end(), line_break) -
        all.begin());
    std::string_view line(all.data() + start, end - start);
    for (;;) {
      if (!line.empty() && line.front() == ' ') {
        line.remove_prefix(1);
      } else if (line.starts_with(kIdeographicSpace)) {
        line.remove_prefix(kIdeographicSpace.size());
      } else {
        break;
      }
    }
    if (!line.empty()) paragraphs.emplace_back(line);
    start = end + 1;
  }
  return paragraphs;
}

std::vector<std::vector<std::string>> split_paragraphs(std::vector<std::string> paragraphs,
                                                       std::size_t budget) {
  constexpr std::size_t kMarkup = sizeof("<p></p>\n") - 1;
  std::vector<std::vector<std::string>> runs(1);
  std::size_t used = 0;
  for (std::string& paragraph : paragraphs) {
    const std::size_t size = paragraph.size() + kMarkup;
    if (used > 0 && used + size > budget) {
      runs.emplace_back();
      used = 0;
    }
    used += size;
    runs.back().push_back(std::move(paragraph));
  }
  return runs;
}

std::string url_uuid(std::string_view name) {
  // The URL namespace, 6ba7b811-9dad-11d1-80b4-00c04fd430c8, as bytes ahead of the name.
  static constexpr unsigned char kUrlNamespace[16] = {0x6b, 0xa7, 0xb8, 0x11, 0x9d, 0xad,
                                                      0x11, 0xd1, 0x80, 0xb4, 0x00, 0xc0,
                                                      0x4f, 0xd4, 0x30, 0xc8};
  std::string message(reinterpret_cast<const char*>(kUrlNamespace), 16);
  message.append(name);
  text::Sha1Digest hash = text::sha1(message);
  hash[6] = static_cast<std::uint8_t>((hash[6] & 0x0F) | 0x50);  // version 5
  hash[8] = static_cast<std::uint8_t>((hash[8] & 0x3F) | 0x80);  // the RFC 4122 variant
  static constexpr char kHex[] = "0123456789abcdef";
  std::string uuid;
  for (int i = 0; i < 16; ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) uuid.push_back('-');
    uuid.push_back(kHex[hash[i] >> 4]);
    uuid.push_back(kHex[hash[i] & 0x0F]);
  }
  return uuid;
}

std::string w3c_time(std::chrono::sys_seconds moment) {
  const auto day = std::chrono::floor<std::chrono::days>(moment);
  const std::chrono::year_month_day date(day);
  const std::chrono::hh_mm_ss clock(moment - day);
  char out[32];
  std::snprintf(out, sizeof out, "%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                static_cast<int>(clock.seconds().count()));
  return out;
}

std::int64_t book_time() {
  // The reproducible-builds convention: a fixed moment makes every download byte-identical.
  if (const char* fixed = std::getenv("SOURCE_DATE_EPOCH")) {
    const std::string_view value(fixed);
    std::int64_t seconds = 0;
    const auto [stop, error] = std::from_chars(value.data(), value.data() + value.size(), seconds);
    if (!value.empty() && error == std::errc() && stop == value.data() + value.size() &&
        seconds >= 0 && seconds <= 253402300799)  // up to 9999-12-31T23:59:59Z
      return seconds;
  }
  return static_cast<std::int64_t>(std::time(nullptr));
}

}  // namespace quillreap::books
