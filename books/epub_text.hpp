// The text rules of the EPUB book: GBK to UTF-8 through the program's own code page 936
// table (so both builds give the same bytes), markup escaping, paragraphs, the split of a
// long chapter, the identifier and the time stamps.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillreap::books {

// GBK as UTF-8 fit for XML character data: '?' for a byte sequence that is no GBK
// character, the characters XML 1.0 forbids dropped, & < > escaped.
std::string xml_text(std::string_view gbk);

// A chapter's paragraphs as the lines of its XHTML files, "<p>...</p>\n" each, one after
// another: a paragraph for each line that still holds something once its leading spaces
// (ASCII and U+3000) are left to the stylesheet, its text as xml_text gives it.
struct ParagraphLines {
  std::string markup;
  std::vector<std::size_t> ends;  // where each line ends in markup
};
ParagraphLines xml_paragraphs(std::string_view gbk);

// Where the chapter's files end in lines.markup: each file's lines take at most budget
// bytes; a single line over the budget goes alone. Always at least one file.
std::vector<std::size_t> split_paragraphs(const ParagraphLines& lines, std::size_t budget);

// "xxxxxxxx-xxxx-5xxx-yxxx-xxxxxxxxxxxx": the name-based (SHA-1) UUID of name in the URL
// namespace.
std::string url_uuid(std::string_view name);

// "CCYY-MM-DDThh:mm:ssZ"
std::string w3c_time(std::chrono::sys_seconds moment);
// SOURCE_DATE_EPOCH when it holds a whole number of seconds, else the present moment.
std::int64_t book_time();

}  // namespace quillreap::books
