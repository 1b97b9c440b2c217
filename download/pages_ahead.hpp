// Chapter pages fetched ahead of the download loop: up to `connections` fetches at once,
// handed back strictly in index order, with a bounded number held in flight and waiting,
// so a book of thousands of chapters never sits in memory whole.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>
#include <vector>

#include "http/retry.hpp"
#include "text/primitives.hpp"

namespace quillreap::download {

// A chapter page as the download gets it: the fetch, and what the fetching thread made of
// it, so that the download thread only writes the chapters out in order.
struct AheadPage {
  http::RetriedFetch fetched;
  bool cut = false;                   // the chapter was cut out of the page already
  std::optional<text::Text> chapter;  // when cut: its text, nullopt for a page that lost it
};

// Called on a fetching thread (or, with one connection, on the thread calling next()):
// the page with the tries it took. A fetch under way gives up once stop is requested.
using PageFetch =
    std::function<http::RetriedFetch(const text::Text& address, std::stop_token stop)>;
// The same, cutting the chapter out of the page where it was fetched.
using ChapterFetch = std::function<AheadPage(const text::Text& address, std::stop_token stop)>;

class PagesAhead {
 public:
  static constexpr int kMostConnections = 16;

  // connections is held to 1..kMostConnections. With one, nothing runs in the background:
  // each page is fetched by next() itself, when asked for, as a plain loop would. With
  // more, that many threads fetch, never more than 2 x connections pages beyond the last
  // one handed out. Once stop is requested no new fetch starts and those under way are
  // told to give up.
  PagesAhead(std::vector<text::Text> addresses, PageFetch fetch, int connections = 1,
             std::stop_token stop = {});
  PagesAhead(std::vector<text::Text> addresses, ChapterFetch fetch, int connections = 1,
             std::stop_token stop = {});
  // Stops the fetches as the stop would, and waits for the fetching threads.
  ~PagesAhead();
  PagesAhead(const PagesAhead&) = delete;
  PagesAhead& operator=(const PagesAhead&) = delete;

  // The next page in index order, failed or not, once it is there; nullopt after the last
  // page, or at once when the stop is requested (the pages not yet handed out are
  // dropped). A fetch that threw (a fault in the page code, out of memory) throws here, on
  // the caller's thread, when its page's turn comes. Called from one thread, the download's.
  std::optional<AheadPage> next();

  std::size_t size() const { return addresses_.size(); }
  // The most pages ever held at once beyond those handed out (in flight plus waiting).
  std::size_t most_held_ahead() const;

 private:
  // A page's place: empty until its fetch ends with the page or with what it threw.
  struct Slot {
    std::optional<AheadPage> page;
    std::exception_ptr thrown;
    bool ready() const { return page || thrown; }
  };

  void fetch_pages();  // each fetching thread

  const std::vector<text::Text> addresses_;
  const ChapterFetch fetch_;
  const std::size_t connections_;
  const std::size_t window_;
  // Requested by the download's stop (through stop_link_) or by the destructor.
  std::stop_source stop_;
  std::stop_callback<std::function<void()>> stop_link_;

  mutable std::mutex mutex_;
  std::condition_variable_any page_ready_;  // a fetch finished
  std::condition_variable_any room_;        // a page was handed out
  std::vector<Slot> pages_;                 // handed-out ones are emptied
  std::size_t handed_out_ = 0;
  std::size_t next_to_fetch_ = 0;
  std::size_t most_held_ = 0;
  std::vector<std::thread> threads_;  // last: started once everything above exists
};

}  // namespace quillreap::download
