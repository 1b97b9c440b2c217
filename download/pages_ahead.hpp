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

// The ordered window both a download's chapter pages and a shelf's checks run ahead
// through: items 0 to count - 1, each worked on by one of up to `connections` threads, never
// more than 2 x connections beyond the last one handed back, and handed back strictly in
// order. With one connection nothing runs in the background: next() does each item's work
// itself, when asked for it, as a plain loop would.
class AheadWindow {
 public:
  static constexpr int kMostConnections = 16;

  // Does item `index`, keeping what it makes where next()'s caller finds it; stop is
  // requested once the window's stop is (or the window ends), and the work should give up.
  using Work = std::function<void(std::size_t index, std::stop_token stop)>;

  // connections is held to 1..kMostConnections. Once stop is requested no new work starts
  // and the work under way is told to give up.
  AheadWindow(std::size_t count, Work work, int connections = 1, std::stop_token stop = {});
  // Stops the work as the stop would, and waits for the working threads.
  ~AheadWindow();
  AheadWindow(const AheadWindow&) = delete;
  AheadWindow& operator=(const AheadWindow&) = delete;

  // The next item in order once its work is done: its index. nullopt after the last item,
  // or at once when the stop is requested. Work that threw (a fault in the program, out of
  // memory) throws here, on the caller's thread, when its item's turn comes. What the work
  // kept is the caller's from here on. Called from one thread.
  std::optional<std::size_t> next();

  std::size_t size() const { return count_; }
  // The most items ever worked on or waiting at once beyond those handed back.
  std::size_t most_held_ahead() const;
  // The window's stop, requested by the one given or by the destructor.
  std::stop_token stop_token() const { return stop_.get_token(); }

 private:
  enum class State : unsigned char { kWaiting, kDone, kThrew };
  void work_on_items();  // each working thread

  const std::size_t count_;
  const Work work_;
  const std::size_t connections_;
  const std::size_t window_;
  // Requested by the caller's stop (through stop_link_) or by the destructor.
  std::stop_source stop_;
  std::stop_callback<std::function<void()>> stop_link_;

  mutable std::mutex mutex_;
  std::condition_variable_any done_;  // an item's work ended
  std::condition_variable_any room_;  // an item was handed back
  std::vector<State> states_;
  std::vector<std::exception_ptr> thrown_;
  std::size_t handed_out_ = 0;
  std::size_t next_to_work_ = 0;
  std::size_t most_held_ = 0;
  std::vector<std::thread> threads_;  // last: started once everything above exists
};

class PagesAhead {
 public:
  static constexpr int kMostConnections = AheadWindow::kMostConnections;

  // connections is held to 1..kMostConnections. With one, nothing runs in the background:
  // each page is fetched by next() itself, when asked for, as a plain loop would. With
  // more, that many threads fetch, never more than 2 x connections pages beyond the last
  // one handed out. Once stop is requested no new fetch starts and those under way are
  // told to give up.
  PagesAhead(std::vector<text::Text> addresses, PageFetch fetch, int connections = 1,
             std::stop_token stop = {});
  PagesAhead(std::vector<text::Text> addresses, ChapterFetch fetch, int connections = 1,
             std::stop_token stop = {});
  PagesAhead(const PagesAhead&) = delete;
  PagesAhead& operator=(const PagesAhead&) = delete;

  // The next page in index order, failed or not, once it is there; nullopt after the last
  // page, or at once when the stop is requested (the pages not yet handed out are
  // dropped). A fetch that threw (a fault in the page code, out of memory) throws here, on
  // the caller's thread, when its page's turn comes. Called from one thread, the download's.
  std::optional<AheadPage> next();

  std::size_t size() const { return addresses_.size(); }
  // The most pages ever held at once beyond those handed out (in flight plus waiting).
  std::size_t most_held_ahead() const { return window_.most_held_ahead(); }

 private:
  const std::vector<text::Text> addresses_;
  const ChapterFetch fetch_;
  std::vector<std::optional<AheadPage>> pages_;  // handed-out ones are emptied
  AheadWindow window_;                           // last: its threads use everything above
};

}  // namespace quillreap::download
