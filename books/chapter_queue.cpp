// The chapter queue between the download thread and the writer's thread. Each side wakes
// the other only once half the bound has gathered (or is free again), rather than for
// every chapter: a wake-up costs the download thread a system call and both a switch.
#include "books/chapter_queue.hpp"

#include <utility>

namespace quillreap::books {

ChapterQueue::ChapterQueue(WriteChapter write, QueueBound bound)
    : write_(std::move(write)), bound_(bound), thread_([this] { write_all(); }) {}

ChapterQueue::~ChapterQueue() {
  {
    const std::lock_guard lock(mutex_);
    dropping_ = true;
  }
  work_.notify_one();
  // thread_ joins as it goes, before the members the thread uses.
}

bool ChapterQueue::has_room(std::size_t bytes) const {
  if (unwritten_ == 0) return true;
  if (unwritten_ >= bound_.chapters || unwritten_bytes_ + bytes > bound_.bytes) return false;
  // Once it had to wait, the download thread goes on only when half the bound is free
  // again: the two threads then take turns a batch at a time, not a chapter at a time.
  return !wants_room_ ||
         (unwritten_ <= bound_.chapters / 2 && unwritten_bytes_ <= bound_.bytes / 2);
}

bool ChapterQueue::worth_waking() const {
  if (closing_ || dropping_) return true;
  if (entries_.empty()) return false;
  return wants_room_ || entries_.size() >= (bound_.chapters + 1) / 2 ||
         unwritten_bytes_ >= bound_.bytes / 2;
}

void ChapterQueue::rethrow_failure() {
  if (failure_) std::rethrow_exception(failure_);
}

void ChapterQueue::chapter(std::string_view title, const Text* text) {
  Entry entry{std::string(title), text ? std::optional<Text>(*text) : std::nullopt, 0};
  entry.bytes = entry.title.size() + (text ? text->size() : 0);
  std::unique_lock lock(mutex_);
  if (!has_room(entry.bytes)) {
    wants_room_ = true;
    wanted_bytes_ = entry.bytes;
    work_.notify_one();
    room_.wait(lock, [&] { return failure_ || has_room(entry.bytes); });
    wants_room_ = false;
  }
  rethrow_failure();
  ++unwritten_;
  unwritten_bytes_ += entry.bytes;
  entries_.push_back(std::move(entry));
  if (worth_waking()) work_.notify_one();
}

void ChapterQueue::close(std::function<void()> last) {
  {
    const std::lock_guard lock(mutex_);
    closing_ = true;
    last_ = std::move(last);
  }
  work_.notify_one();
}

void ChapterQueue::finish() {
  {
    const std::lock_guard lock(mutex_);
    closing_ = true;
  }
  work_.notify_one();
  if (thread_.joinable()) thread_.join();
  rethrow_failure();
}

void ChapterQueue::write_all() {
  std::unique_lock lock(mutex_);
  // What the writer throws is carried to the download thread, which reports it as any
  // fault of the download.
  const auto run = [&](const auto& job) {
    lock.unlock();
    try {
      job();
    } catch (...) {
      lock.lock();
      failure_ = std::current_exception();
      room_.notify_one();
      return false;
    }
    lock.lock();
    return true;
  };
  for (;;) {
    work_.wait(lock, [&] { return worth_waking(); });
    if (dropping_) return;
    if (closing_ && entries_.empty()) {
      if (last_) run(std::exchange(last_, nullptr));
      return;
    }
    while (!entries_.empty() && !dropping_) {
      Entry entry = std::move(entries_.front());
      entries_.pop_front();
      if (!run([&] { write_(entry.title, entry.text ? &*entry.text : nullptr); })) return;
      --unwritten_;
      unwritten_bytes_ -= entry.bytes;
      if (wants_room_ && has_room(wanted_bytes_)) room_.notify_one();
    }
  }
}

}  // namespace quillreap::books
