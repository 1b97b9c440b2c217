// Chapter pages fetched ahead of the download loop: up to `connections` fetches at once,
// handed back strictly in index order, with a bounded number held in flight and waiting,
// so a book of thousands of chapters never sits in memory whole.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "http/fetch.hpp"
#include "text/primitives.hpp"

namespace quillreap::sources {

// Called on a fetching thread (or, with one connection, on the thread calling next()).
using PageFetch = std::function<http::FetchResult(const text::Text& address)>;

class PagesAhead {
 public:
  static constexpr int kMostConnections = 16;

  // connections is held to 1..kMostConnections. With one, nothing runs in the background:
  // each page is fetched by next() itself, when asked for, as a plain loop would. With
  // more, that many threads fetch, never more than 2 x connections pages beyond the last
  // one handed out. cancelled (may be null) stops new fetches once set.
  PagesAhead(std::vector<text::Text> addresses, PageFetch fetch, int connections = 1,
             const std::atomic<bool>* cancelled = nullptr);
  // Stops the fetching threads and waits for the fetches under way.
  ~PagesAhead();
  PagesAhead(const PagesAhead&) = delete;
  PagesAhead& operator=(const PagesAhead&) = delete;

  // The next page in index order, failed or not, once it is there; nullopt after the last
  // page, or promptly once cancelled (the pages not yet handed out are dropped). Called
  // from one thread, the download's.
  std::optional<http::FetchResult> next();

  std::size_t size() const { return addresses_.size(); }
  // The most pages ever held at once beyond those handed out (in flight plus waiting).
  std::size_t most_held_ahead() const;

 private:
  bool is_cancelled() const { return cancelled_ && cancelled_->load(); }
  void fetch_pages();  // each fetching thread
  http::FetchResult fetch_one(const text::Text& address) const;

  const std::vector<text::Text> addresses_;
  const PageFetch fetch_;
  const std::size_t connections_;
  const std::size_t window_;
  const std::atomic<bool>* const cancelled_;

  mutable std::mutex mutex_;
  std::condition_variable page_ready_;                   // a fetch finished
  std::condition_variable room_;                         // a page was handed out, or stopping
  std::vector<std::optional<http::FetchResult>> pages_;  // handed-out ones are emptied
  std::size_t handed_out_ = 0;
  std::size_t next_to_fetch_ = 0;
  std::size_t most_held_ = 0;
  bool stopping_ = false;
  std::vector<std::thread> threads_;  // last: started once everything above exists
};

}  // namespace quillreap::sources
