// How politely one download asks its site. Every request (book page, index, each chapter,
// each try again) takes one of the download's connections; a connection leaves a pause
// between the end of one request and the start of its next, and when the site answers 429
// or 503 the connections in use are halved, down to one, for the rest of the download.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <vector>

#include "http/fetch.hpp"

namespace quillreap::download {

class RequestPace {
 public:
  // The longest pause a build or the command line may set.
  static constexpr int kLongestPauseMs = 10'000;

  // connections is held to 1 or more, pause_ms to 0..kLongestPauseMs. A stop requested on
  // stop ends a wait for a connection at once.
  RequestPace(int connections, int pause_ms, std::stop_token stop = {});
  RequestPace(const RequestPace&) = delete;
  RequestPace& operator=(const RequestPace&) = delete;

  // Any thread: waits for a connection that is free and has paused, runs exchange on it
  // and frees it again; a 429 or 503 answer halves the connections. When stopped while
  // waiting, exchange is not run and a failed result comes back.
  http::FetchResult request(const std::function<http::FetchResult()>& exchange);

  // The download worker's question: the connections in use, when they fell since it last
  // asked; nullopt otherwise.
  std::optional<int> lowered_since_asked();

 private:
  using Clock = std::chrono::steady_clock;
  struct Connection {
    bool busy = false;
    Clock::time_point free_from{};  // the end of its last request plus the pause
  };

  // Under mutex_: the index of a connection that may take a request now, or -1.
  int ready_connection(Clock::time_point now) const;
  // Under mutex_: when the first free connection in use ends its pause; nullopt when every
  // one is busy, so that only a freed connection can help.
  std::optional<Clock::time_point> next_pause_end() const;

  const Clock::duration pause_;
  const std::stop_token stop_;
  mutable std::mutex mutex_;
  std::condition_variable_any changed_;  // a connection freed or the count lowered
  std::vector<Connection> connections_;
  int in_use_;  // connections_[0, in_use_) take requests
  int told_;    // in_use_ as the worker last heard it
};

}  // namespace quillreap::download
