// The book buffer of every binding of the controls. Only the interface thread touches it.
#include "app/book_buffer_controls.hpp"

#include "text/files.hpp"
#include "text/memory.hpp"

namespace quillreap::app {

BookBufferControls::BookBufferControls(InterfaceThread& interface_thread)
    : interface_thread_(interface_thread), write_file_(&text::write_text_file) {}

void BookBufferControls::append_log(std::string_view text) {
  interface_thread_.call([&] { book_.append(text); });
}

void BookBufferControls::log_clear() {
  interface_thread_.call([&] { book_.clear(); });
}

Text BookBufferControls::log_text() {
  return interface_thread_.call([&] { return book_; });
}

bool BookBufferControls::write_log_file(const Text& path) {
  return interface_thread_.call([&] { return write_file_(path, book_); });
}

// Room for the book to grow to `times` its present size without moving, in large pages
// where the system has them: a book of thousands of chapters is megabytes of fresh memory.
void BookBufferControls::expect_log_growth(std::size_t times) {
  interface_thread_.call([&] {
    if (times <= 1 || book_.size() >= book_.max_size() / times) return;
    book_.reserve(book_.size() * times);
    text::prefer_large_pages(book_.data(), book_.capacity());
  });
}

}  // namespace quillreap::app
