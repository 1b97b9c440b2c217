// Reading one site file's JSON: each object's fields by name, with a message like a
// compiler's for every mistake (file, line and column, the field, the fix).
#pragma once

#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "text/primitives.hpp"

namespace quillreap::sites {

// A mistake in a site file; what() is the whole one-line message.
class SiteFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The file being read: its name and text, to place a field by line and column.
class JsonSource {
 public:
  JsonSource(std::string_view file_name, std::string_view text) : file_(file_name), text_(text) {}

  // The parsed file; a syntax error is thrown with its line and column.
  nlohmann::json parse() const;
  // Where "name": stands, searching from offset on; offset itself when it is not found.
  std::size_t locate(std::string_view name, std::size_t offset) const;
  [[noreturn]] void fail(std::size_t offset, std::string_view field, std::string_view what) const;

 private:
  std::string file_;
  std::string_view text_;
};

// One JSON object of the file and the fields it may hold.
class JsonObject {
 public:
  // Throws for a value that is not an object, and for a field not among known.
  JsonObject(const JsonSource& source, const nlohmann::json& value, std::string_view name,
             std::size_t offset, std::vector<std::string_view> known);

  bool has(std::string_view name) const;
  const nlohmann::json& at(std::string_view name) const;  // throws when missing
  // A text of the file as GBK; "" (or fallback) when the field is absent unless required.
  text::Text text(std::string_view name, bool required = false) const;
  bool flag(std::string_view name, bool fallback = false) const;
  int number(std::string_view name, int fallback, int least, int most) const;
  // Where the field stands (for its own objects and messages).
  std::size_t offset_of(std::string_view name) const;
  [[noreturn]] void fail(std::string_view name, std::string_view what) const;
  const JsonSource& source() const { return source_; }

 private:
  const JsonSource& source_;
  const nlohmann::json& value_;
  std::size_t offset_;
};

// A JSON string as GBK text; characters GBK lacks become '?'.
text::Text gbk_of(const nlohmann::json& value);

}  // namespace quillreap::sites
