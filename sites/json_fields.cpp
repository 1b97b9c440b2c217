// Site-file fields: names checked against the fields an object may hold, texts turned to
// GBK, and every mistake placed by line and column for its message.
#include "sites/json_fields.hpp"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "text/codepage.hpp"

namespace quillreap::sites {
namespace {

std::string folded(std::string_view name) {
  std::string out;
  for (char c : name)
    if (c != '_' && c != '-') out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::size_t edit_distance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// The known field a misspelt one most likely meant: the same letters in another case or
// with underscores (chapterUrl, chapter_url), or a near spelling.
std::string_view closest(std::string_view name, const std::vector<std::string_view>& known) {
  std::string_view best;
  std::size_t best_distance = 3;
  for (std::string_view each : known) {
    const std::size_t distance = edit_distance(folded(name), folded(each));
    if (distance < best_distance) best = each, best_distance = distance;
  }
  return best;
}

// Appended, not "literal" + string: MinGW's GCC 12 warns falsely (-Wrestrict) on that.
std::string quoted(std::string_view name) {
  std::string out(1, '"');
  out += name;
  out += '"';
  return out;
}

// A message stays one line: a field name may hold any character JSON can escape, and a
// control character is written back as its escape.
std::string one_line(const std::string& message) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string line;
  for (const char c : message) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\n') {
      line += "\\n";
    } else if (byte < 0x20 || byte == 0x7F) {
      line += "\\u00";
      line += kHex[byte >> 4];
      line += kHex[byte & 15];
    } else {
      line += c;
    }
  }
  return line;
}

}  // namespace

nlohmann::json JsonSource::parse() const {
  try {
    return nlohmann::json::parse(text_);
  } catch (const nlohmann::json::parse_error& error) {
    // The library counts bytes from 1; the message names the byte where reading stopped.
    const std::size_t at = error.byte == 0 ? 0 : error.byte - 1;
    std::string why = error.what();
    const std::size_t colon = why.rfind(": ");
    if (colon != std::string::npos) why = why.substr(colon + 2);
    fail(std::min(at, text_.size()), "", "JSON syntax: " + why);
  } catch (const nlohmann::json::exception& error) {
    // A number too large for a double: the message quotes it, which places it in the file.
    std::string why = error.what();
    const std::size_t colon = why.rfind("] ");
    if (colon != std::string::npos) why = why.substr(colon + 2);
    const std::size_t open = why.find('\'');
    const std::size_t close = why.rfind('\'');
    std::size_t at = 0;
    if (open != std::string::npos && close > open)
      at = text_.find(why.substr(open + 1, close - open - 1));
    fail(at == std::string_view::npos ? 0 : at, "", "JSON syntax: " + why);
  }
}

std::size_t JsonSource::locate(std::string_view name, std::size_t offset) const {
  const std::string sought = quoted(name);
  for (std::size_t at = text_.find(sought, offset); at != std::string_view::npos;
       at = text_.find(sought, at + 1)) {
    std::size_t after = at + sought.size();
    while (after < text_.size() && std::isspace(static_cast<unsigned char>(text_[after]))) ++after;
    if (after < text_.size() && text_[after] == ':') return at;
  }
  return offset;
}

void JsonSource::fail(std::size_t offset, std::string_view field, std::string_view what) const {
  int line = 1, column = 1;
  for (std::size_t i = 0; i < offset && i < text_.size(); ++i) {
    if (text_[i] == '\n') {
      ++line, column = 1;
    } else if ((static_cast<unsigned char>(text_[i]) & 0xC0) != 0x80) {
      ++column;  // a character, not a byte, moves the column
    }
  }
  std::string message = file_ + ":" + std::to_string(line) + ":" + std::to_string(column) + ": ";
  if (!field.empty()) message += quoted(field) + ": ";
  throw SiteFileError(one_line(message + std::string(what)));
}

JsonObject::JsonObject(const JsonSource& source, const nlohmann::json& value, std::string_view name,
                       std::size_t offset, std::vector<std::string_view> known)
    : source_(source), value_(value), offset_(offset) {
  if (!value.is_object()) source.fail(offset, name, "must be an object { ... }");
  for (const auto& [field, _] : value.items()) {
    if (std::find(known.begin(), known.end(), field) != known.end()) continue;
    const std::string_view meant = closest(field, known);
    source.fail(
        source.locate(field, offset), field,
        meant.empty() ? "unknown field" : "unknown field (did you mean " + quoted(meant) + "?)");
  }
}

bool JsonObject::has(std::string_view name) const {
  return value_.contains(name);
}

const nlohmann::json& JsonObject::at(std::string_view name) const {
  if (!has(name)) source_.fail(offset_, name, "missing field");
  return value_.at(std::string(name));
}

text::Text JsonObject::text(std::string_view name, bool required) const {
  if (!required && !has(name)) return {};
  const nlohmann::json& value = at(name);
  if (!value.is_string()) fail(name, "must be a text \"...\"");
  return gbk_of(value);
}

bool JsonObject::flag(std::string_view name, bool fallback) const {
  if (!has(name)) return fallback;
  if (!at(name).is_boolean()) fail(name, "must be true or false");
  return at(name).get<bool>();
}

int JsonObject::number(std::string_view name, int fallback, int least, int most) const {
  if (!has(name)) return fallback;
  const nlohmann::json& value = at(name);
  if (!value.is_number_integer() || value.get<long long>() < least || value.get<long long>() > most)
    fail(name,
         "must be a whole number from " + std::to_string(least) + " to " + std::to_string(most));
  return value.get<int>();
}

std::size_t JsonObject::offset_of(std::string_view name) const {
  return source_.locate(name, offset_);
}

void JsonObject::fail(std::string_view name, std::string_view what) const {
  source_.fail(offset_of(name), name, what);
}

text::Text gbk_of(const nlohmann::json& value) {
  const std::string& utf8 = value.get_ref<const std::string&>();
  // A zero byte would end the text early; no marker means one.
  return text::utf8_to_ansi(std::string_view(utf8.data(), std::strlen(utf8.c_str())));
}

}  // namespace quillreap::sites
