// PagesAhead: a few fetching threads take chapter indexes in order while there is room in
// the window, and park each page in its slot; next() waits for its slot. A cancel flag set
// from outside is polled, since whoever sets it knows nothing of these threads.
#include "sources/pages_ahead.hpp"

#include <algorithm>
#include <chrono>

namespace quillreap::sources {

namespace {

// How often a wait looks at the cancel flag: well inside the second a closing window allows.
constexpr std::chrono::milliseconds kCancelCheck{20};

http::FetchResult fetch_failed_inside() {
  http::FetchResult failed;
  failed.reason = http::FailureReason::kClientError;
  return failed;
}

}  // namespace

PagesAhead::PagesAhead(std::vector<text::Text> addresses, PageFetch fetch, int connections,
                       const std::atomic<bool>* cancelled)
    : addresses_(std::move(addresses)),
      fetch_(std::move(fetch)),
      connections_(static_cast<std::size_t>(std::clamp(connections, 1, kMostConnections))),
      window_(2 * connections_),
      cancelled_(cancelled),
      pages_(addresses_.size()) {
  if (connections_ == 1) return;
  const std::size_t threads = std::min(connections_, addresses_.size());
  for (std::size_t i = 0; i < threads; ++i) threads_.emplace_back([this] { fetch_pages(); });
}

PagesAhead::~PagesAhead() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  room_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

http::FetchResult PagesAhead::fetch_one(const text::Text& address) const {
  try {
    return fetch_(address);
  } catch (...) {
    // A fetch that threw (out of memory) fails its page; on a fetching thread it would
    // otherwise end the program.
    return fetch_failed_inside();
  }
}

std::size_t PagesAhead::most_held_ahead() const {
  std::lock_guard lock(mutex_);
  return most_held_;
}

// Runs on each fetching thread until every page is taken, the owner stops, or a cancel.
void PagesAhead::fetch_pages() {
  std::unique_lock lock(mutex_);
  for (;;) {
    if (stopping_ || is_cancelled() || next_to_fetch_ >= addresses_.size()) return;
    if (next_to_fetch_ >= handed_out_ + window_) {
      room_.wait_for(lock, kCancelCheck);
      continue;
    }
    const std::size_t index = next_to_fetch_++;
    most_held_ = std::max(most_held_, next_to_fetch_ - handed_out_);
    lock.unlock();
    http::FetchResult page = fetch_one(addresses_[index]);
    lock.lock();
    pages_[index] = std::move(page);
    page_ready_.notify_all();
  }
}

std::optional<http::FetchResult> PagesAhead::next() {
  if (handed_out_ >= addresses_.size() || is_cancelled()) return std::nullopt;
  if (connections_ == 1) {
    {
      std::lock_guard lock(mutex_);
      most_held_ = std::max<std::size_t>(most_held_, 1);
    }
    return fetch_one(addresses_[handed_out_++]);
  }
  std::unique_lock lock(mutex_);
  while (!pages_[handed_out_]) {
    if (is_cancelled()) return std::nullopt;
    page_ready_.wait_for(lock, kCancelCheck);
  }
  std::optional<http::FetchResult> page = std::move(pages_[handed_out_]);
  pages_[handed_out_].reset();
  ++handed_out_;
  lock.unlock();
  room_.notify_all();
  return page;
}

}  // namespace quillreap::sources
