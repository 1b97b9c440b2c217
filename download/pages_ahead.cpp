// PagesAhead: a few fetching threads take chapter indexes in order while there is room in
// the window, and park each page in its slot; next() waits for its slot. Every wait also
// wakes on the stop, which whoever requests it needs to know nothing about these threads.
#include "download/pages_ahead.hpp"

#include <quillreap/site_defaults.hpp>

#include <algorithm>

namespace quillreap::download {

// A build setting above the limit stops the build here, with the limit's name.
static_assert(sites::defaults::kConnections <= PagesAhead::kMostConnections,
              "QUILLREAP_CONNECTIONS is above PagesAhead::kMostConnections");

PagesAhead::PagesAhead(std::vector<text::Text> addresses, PageFetch fetch, int connections,
                       std::stop_token stop)
    : PagesAhead(
          std::move(addresses),
          [fetch = std::move(fetch)](const text::Text& address, std::stop_token token) {
            return AheadPage{fetch(address, std::move(token)), false, std::nullopt};
          },
          connections, std::move(stop)) {}

PagesAhead::PagesAhead(std::vector<text::Text> addresses, ChapterFetch fetch, int connections,
                       std::stop_token stop)
    : addresses_(std::move(addresses)),
      fetch_(std::move(fetch)),
      connections_(static_cast<std::size_t>(std::clamp(connections, 1, kMostConnections))),
      window_(2 * connections_),
      stop_link_(std::move(stop), [this] { stop_.request_stop(); }),
      pages_(addresses_.size()) {
  if (connections_ == 1) return;
  const std::size_t threads = std::min(connections_, addresses_.size());
  for (std::size_t i = 0; i < threads; ++i) threads_.emplace_back([this] { fetch_pages(); });
}

PagesAhead::~PagesAhead() {
  stop_.request_stop();
  for (std::thread& thread : threads_) thread.join();
}

std::size_t PagesAhead::most_held_ahead() const {
  std::lock_guard lock(mutex_);
  return most_held_;
}

// Runs on each fetching thread until every page is taken or the stop.
void PagesAhead::fetch_pages() {
  const std::stop_token stop = stop_.get_token();
  std::unique_lock lock(mutex_);
  for (;;) {
    const bool room = room_.wait(lock, stop, [this] {
      return next_to_fetch_ >= addresses_.size() || next_to_fetch_ < handed_out_ + window_;
    });
    if (!room || next_to_fetch_ >= addresses_.size()) return;
    const std::size_t index = next_to_fetch_++;
    most_held_ = std::max(most_held_, next_to_fetch_ - handed_out_);
    lock.unlock();
    Slot slot;
    try {
      slot.page = fetch_(addresses_[index], stop);
    } catch (...) {
      // Carried to the download thread, which reports it as the fault it is: on this
      // thread it would end the program, and as a failed page it would pass for a chapter
      // the site did not give.
      slot.thrown = std::current_exception();
    }
    lock.lock();
    pages_[index] = std::move(slot);
    // Only the page next() waits for wakes it: one that arrives ahead of its turn would
    // send it back to sleep, and each thread switch costs as much as a page's cleaning.
    if (index == handed_out_) page_ready_.notify_one();
  }
}

std::optional<AheadPage> PagesAhead::next() {
  const std::stop_token stop = stop_.get_token();
  if (handed_out_ >= addresses_.size() || stop.stop_requested()) return std::nullopt;
  if (connections_ == 1) {
    {
      std::lock_guard lock(mutex_);
      most_held_ = std::max<std::size_t>(most_held_, 1);
    }
    const std::size_t index = handed_out_++;
    return fetch_(addresses_[index], stop);
  }
  std::unique_lock lock(mutex_);
  if (!page_ready_.wait(lock, stop, [this] { return pages_[handed_out_].ready(); }))
    return std::nullopt;
  Slot slot = std::move(pages_[handed_out_]);
  pages_[handed_out_] = {};
  ++handed_out_;
  lock.unlock();
  if (slot.thrown) std::rethrow_exception(slot.thrown);
  // One page handed out makes room for one more fetch: waking every fetching thread for
  // it would send all but one back to sleep, a few thread switches for each page.
  room_.notify_one();
  return std::move(slot.page);
}

}  // namespace quillreap::download
