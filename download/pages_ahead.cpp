// AheadWindow: a few working threads take the items in order while there is room in the
// window, and mark each done; next() waits for its item. Every wait also wakes on the stop,
// which whoever requests it needs to know nothing about these threads. PagesAhead keeps a
// chapter page for each item.
#include "download/pages_ahead.hpp"

#include <quillreap/site_defaults.hpp>

#include <algorithm>

namespace quillreap::download {

// A build setting above the limit stops the build here, with the limit's name.
static_assert(sites::defaults::kConnections <= AheadWindow::kMostConnections,
              "QUILLREAP_CONNECTIONS is above PagesAhead::kMostConnections");

AheadWindow::AheadWindow(std::size_t count, Work work, int connections, std::stop_token stop)
    : count_(count),
      work_(std::move(work)),
      connections_(static_cast<std::size_t>(std::clamp(connections, 1, kMostConnections))),
      window_(2 * connections_),
      stop_link_(std::move(stop), [this] { stop_.request_stop(); }),
      states_(count, State::kWaiting),
      thrown_(count) {
  if (connections_ == 1) return;
  const std::size_t threads = std::min(connections_, count_);
  for (std::size_t i = 0; i < threads; ++i) threads_.emplace_back([this] { work_on_items(); });
}

AheadWindow::~AheadWindow() {
  stop_.request_stop();
  for (std::thread& thread : threads_) thread.join();
}

std::size_t AheadWindow::most_held_ahead() const {
  std::lock_guard lock(mutex_);
  return most_held_;
}

// Runs on each working thread until every item is taken or the stop.
void AheadWindow::work_on_items() {
  const std::stop_token stop = stop_.get_token();
  std::unique_lock lock(mutex_);
  for (;;) {
    const bool room = room_.wait(lock, stop, [this] {
      return next_to_work_ >= count_ || next_to_work_ < handed_out_ + window_;
    });
    if (!room || next_to_work_ >= count_) return;
    const std::size_t index = next_to_work_++;
    most_held_ = std::max(most_held_, next_to_work_ - handed_out_);
    lock.unlock();
    State state = State::kDone;
    std::exception_ptr thrown;
    try {
      work_(index, stop);
    } catch (...) {
      // Carried to the caller's thread, which reports it as the fault it is: on this thread
      // it would end the program, and as a failed page it would pass for a chapter the
      // site did not give.
      state = State::kThrew;
      thrown = std::current_exception();
    }
    lock.lock();
    states_[index] = state;
    thrown_[index] = std::move(thrown);
    // Only the item next() waits for wakes it: one that ends ahead of its turn would send it
    // back to sleep, and each thread switch costs as much as a page's cleaning.
    if (index == handed_out_) done_.notify_one();
  }
}

std::optional<std::size_t> AheadWindow::next() {
  const std::stop_token stop = stop_.get_token();
  if (handed_out_ >= count_ || stop.stop_requested()) return std::nullopt;
  if (connections_ == 1) {
    {
      std::lock_guard lock(mutex_);
      most_held_ = std::max<std::size_t>(most_held_, 1);
    }
    const std::size_t index = handed_out_++;
    work_(index, stop);
    return index;
  }
  std::unique_lock lock(mutex_);
  if (!done_.wait(lock, stop, [this] { return states_[handed_out_] != State::kWaiting; }))
    return std::nullopt;
  const std::size_t index = handed_out_++;
  const std::exception_ptr thrown = std::move(thrown_[index]);
  lock.unlock();
  // One item handed back makes room for one more: waking every working thread for it
  // would send all but one back to sleep, a few thread switches for each item.
  room_.notify_one();
  if (thrown) std::rethrow_exception(thrown);
  return index;
}

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
      pages_(addresses_.size()),
      window_(
          addresses_.size(),
          [this](std::size_t index, std::stop_token token) {
            pages_[index] = fetch_(addresses_[index], std::move(token));
          },
          connections, std::move(stop)) {}

std::optional<AheadPage> PagesAhead::next() {
  const std::optional<std::size_t> index = window_.next();
  if (!index) return std::nullopt;
  std::optional<AheadPage> page = std::move(pages_[*index]);
  pages_[*index].reset();
  return page;
}

}  // namespace quillreap::download
