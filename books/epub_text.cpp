// The EPUB's text rules. Portable: the conversion reads the code page 936 table directly
// instead of the platform's converter, which on Windows is the system's own.
#include "books/epub_text.hpp"

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

bool xml_allows(char16_t unit) {
  if (unit < 0x20) return unit == '\t' || unit == '\n' || unit == '\r';
  return unit != 0xFFFE && unit != 0xFFFF && (unit < 0xD800 || unit > 0xDFFF);
}

// A whole book's text goes through here a character at a time, so it writes through a
// pointer into room made beforehand instead of appending to a string character by character.
// A GBK byte becomes at most five ("&amp;"), a paragraph's markup adds eight.
constexpr std::size_t kMostBytesPerByte = 5;
constexpr std::string_view kOpen = "<p>";
constexpr std::string_view kClose = "</p>\n";

char* put(char* out, std::string_view bytes) {
  for (const char c : bytes) *out++ = c;
  return out;
}

// One allowed unit as UTF-8, with the three characters XML gives a meaning escaped.
char* put_escaped(char* out, char16_t unit) {
  if (unit == '&') return put(out, "&amp;");
  if (unit == '<') return put(out, "&lt;");
  if (unit == '>') return put(out, "&gt;");
  return text::put_utf8(out, unit);
}

// Makes room for room bytes at the end of out, calls write(start of that room), and keeps
// what write wrote: it returns where it stopped.
template <typename Write>
void append_written(std::string& out, std::size_t room, Write&& write) {
  const std::size_t start = out.size();
  out.resize(start + room);
  char* const begin = out.data() + start;
  out.resize(start + static_cast<std::size_t>(write(begin) - begin));
}

}  // namespace

std::string xml_text(std::string_view gbk) {
  std::string out;
  append_written(out, gbk.size() * kMostBytesPerByte, [&](char* p) {
    text::for_each_cp936_unit(gbk, [&](char16_t unit) {
      if (xml_allows(unit)) p = put_escaped(p, unit);
    });
    return p;
  });
  return out;
}

ParagraphLines xml_paragraphs(std::string_view gbk) {
  ParagraphLines lines;
  // At most one paragraph for every two bytes: one of text and the line break behind it.
  const std::size_t room =
      gbk.size() * kMostBytesPerByte + (gbk.size() / 2 + 1) * (kOpen.size() + kClose.size());
  append_written(lines.markup, room, [&](char* const begin) {
    char* p = begin;
    bool open = false;  // a paragraph holds something on this line
    text::for_each_cp936_unit(gbk, [&](char16_t unit) {
      if (!xml_allows(unit)) return;
      if (unit == '\r' || unit == '\n') {
        if (open) {
          p = put(p, kClose);
          lines.ends.push_back(static_cast<std::size_t>(p - begin));
          open = false;
        }
        return;
      }
      if (!open) {
        if (unit == u' ' || unit == u'\u3000') return;  // leading spaces: the stylesheet indents
        p = put(p, kOpen);
        open = true;
      }
      p = put_escaped(p, unit);
    });
    if (open) {
      p = put(p, kClose);
      lines.ends.push_back(static_cast<std::size_t>(p - begin));
    }
    return p;
  });
  return lines;
}

std::vector<std::size_t> split_paragraphs(const ParagraphLines& lines, std::size_t budget) {
  std::vector<std::size_t> files;
  std::size_t file_start = 0, line_start = 0;
  for (const std::size_t end : lines.ends) {
    if (line_start > file_start && end - file_start > budget) {
      files.push_back(line_start);
      file_start = line_start;
    }
    line_start = end;
  }
  files.push_back(lines.markup.size());
  return files;
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
