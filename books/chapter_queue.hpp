// Hands a download's chapters to a writer on a thread of its own, in order, through a
// bounded queue: the download thread only copies each chapter in, and waits only when the
// writer has fallen a few chapters or a few megabytes behind (a disk slower than the
// network), so that memory stays bounded.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "books/chapter_sink.hpp"
#include "text/primitives.hpp"

namespace quillreap::books {

using text::Text;

// How far the writer may fall behind: chapters handed over and not yet written, the one
// being written among them, and their titles' and texts' bytes. A single chapter larger
// than the bytes still goes, alone.
struct QueueBound {
  std::size_t chapters = 16;
  std::size_t bytes = 4 << 20;
};

class ChapterQueue : public ChapterSink {
 public:
  // Called on the queue's thread, once per chapter, in the order they were handed over.
  using WriteChapter = std::function<void(std::string_view title, const Text* text)>;

  explicit ChapterQueue(WriteChapter write, QueueBound bound = {});
  // Chapters not written yet are dropped: a book not finished is thrown away.
  ~ChapterQueue() override;
  ChapterQueue(const ChapterQueue&) = delete;
  ChapterQueue& operator=(const ChapterQueue&) = delete;

  // Called on the download thread. Rethrows, there, what the writer threw on its own.
  void chapter(std::string_view title, const Text* text) override;
  // No chapter follows: once the last is written, the queue's thread runs last (the book's
  // end) and ends. Called on the download thread.
  void close(std::function<void()> last);
  // Waits until every chapter handed over is written (and what close() gave has run) and
  // ends the queue's thread; rethrows what the writer threw.
  void finish();

 private:
  struct Entry {
    std::string title;
    std::optional<Text> text;
    std::size_t bytes = 0;
  };
  bool has_room(std::size_t bytes) const;
  bool worth_waking() const;
  void write_all();  // the queue's thread
  void rethrow_failure();

  WriteChapter write_;
  QueueBound bound_;
  std::mutex mutex_;
  std::condition_variable room_;  // the download thread waits here while the queue is full
  std::condition_variable work_;  // the writer waits here for chapters
  std::deque<Entry> entries_;
  std::size_t unwritten_ = 0;  // chapters handed over and not written yet
  std::size_t unwritten_bytes_ = 0;
  bool wants_room_ = false;       // the download thread waits for the writer
  std::size_t wanted_bytes_ = 0;  // of the chapter it waits to hand over
  bool closing_ = false;          // close() or finish(): write what is left, then end
  std::function<void()> last_;    // run on the queue's thread after the last chapter
  bool dropping_ = false;         // the destructor: end now
  std::exception_ptr failure_;
  std::jthread thread_;  // last: started once the rest exists, joined before it goes
};

}  // namespace quillreap::books
