// The name a part of a book goes by. GBK bytes spelled out; the text stands in the comment.
#include "books/book_part.hpp"

#include <string>

namespace quillreap::books {

text::Text part_name(std::string_view book_name, const BookPart& part) {
  return text::concat(book_name, "(\xB5\xDA", std::to_string(part.first), "-",  // (第
                      std::to_string(part.last), "\xD5\xC2)");                  // 章)
}

}  // namespace quillreap::books
