// The part of the controls every binding shares: the book buffer (the log box's bytes) and
// its saving. A text widget is no byte store for a book of tens of megabytes (it converts
// the bytes and lays them out again on every append), so each binding keeps the book here
// and writes the file from the buffer itself, on the interface thread, with no copy: in a
// 32-bit program a second copy of a large book would double the download's peak.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "app/controls.hpp"
#include "app/interface_thread.hpp"

namespace quillreap::app {

class BookBufferControls : public Controls {
 public:
  // Any thread; each runs on the interface thread.
  void append_log(std::string_view text) override;
  void log_clear() override;
  Text log_text() override;
  bool write_log_file(const Text& path) override;
  void expect_log_growth(std::size_t times) override;

  // Interface thread: the buffer itself.
  const std::string& book_buffer() const { return book_; }

  // Test seam, interface thread: what writes the buffer's bytes to a file (by default
  // text::write_text_file), so a test can see which bytes it is handed.
  using FileWriter = std::function<bool(std::string_view path, std::string_view bytes)>;
  void set_file_writer(FileWriter writer) { write_file_ = std::move(writer); }

 protected:
  // interface_thread carries every call there; it may be a member of the binding still to
  // be constructed, as it is used only once the binding is whole.
  explicit BookBufferControls(InterfaceThread& interface_thread);

 private:
  InterfaceThread& interface_thread_;
  std::string book_;
  FileWriter write_file_;
};

}  // namespace quillreap::app
