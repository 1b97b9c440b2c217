// RequestPace: connections as slots, each busy or free from a point in time. A request
// waits for a free slot among those in use: until one is freed, until the first pause ends,
// or until the download's stop.
#include "download/request_pace.hpp"

#include <quillreap/site_defaults.hpp>

#include <algorithm>

namespace quillreap::download {

// A build setting above the limit stops the build here, with the limit's name.
static_assert(sites::defaults::kRequestPauseMs <= RequestPace::kLongestPauseMs,
              "QUILLREAP_REQUEST_PAUSE_MS is above RequestPace::kLongestPauseMs");
namespace {

bool asks_to_slow_down(const http::FetchResult& result) {
  return result.status == 429 || result.status == 503;
}

}  // namespace

RequestPace::RequestPace(int connections, int pause_ms, std::stop_token stop)
    : pause_(std::chrono::milliseconds(std::clamp(pause_ms, 0, kLongestPauseMs))),
      stop_(std::move(stop)),
      connections_(static_cast<std::size_t>(std::max(connections, 1))),
      in_use_(static_cast<int>(connections_.size())),
      told_(in_use_) {}

int RequestPace::ready_connection(Clock::time_point now) const {
  for (int i = 0; i < in_use_; ++i) {
    const Connection& connection = connections_[static_cast<std::size_t>(i)];
    if (!connection.busy && connection.free_from <= now) return i;
  }
  return -1;
}

std::optional<RequestPace::Clock::time_point> RequestPace::next_pause_end() const {
  std::optional<Clock::time_point> first;
  for (int i = 0; i < in_use_; ++i) {
    const Connection& connection = connections_[static_cast<std::size_t>(i)];
    if (!connection.busy && (!first || connection.free_from < *first)) first = connection.free_from;
  }
  return first;
}

http::FetchResult RequestPace::request(const std::function<http::FetchResult()>& exchange) {
  int taken = -1;
  {
    std::unique_lock lock(mutex_);
    const auto ready = [this] { return ready_connection(Clock::now()) >= 0; };
    while ((taken = ready_connection(Clock::now())) < 0) {
      if (stop_.stop_requested()) {
        http::FetchResult none;
        none.reason = http::FailureReason::kClientError;
        return none;
      }
      if (const std::optional<Clock::time_point> pause_end = next_pause_end())
        changed_.wait_until(lock, stop_, *pause_end, ready);
      else
        changed_.wait(lock, stop_, ready);
    }
    connections_[static_cast<std::size_t>(taken)].busy = true;
  }
  // Frees the connection however the exchange ends, a throw included.
  struct Release {
    RequestPace& pace;
    int index;
    bool slow_down = false;
    ~Release() {
      {
        std::lock_guard lock(pace.mutex_);
        Connection& connection = pace.connections_[static_cast<std::size_t>(index)];
        connection.busy = false;
        connection.free_from = Clock::now() + pace.pause_;
        if (slow_down) pace.in_use_ = std::max(1, pace.in_use_ / 2);
      }
      pace.changed_.notify_all();
    }
  } release{*this, taken};
  http::FetchResult result = exchange();
  release.slow_down = asks_to_slow_down(result);
  return result;
}

std::optional<int> RequestPace::lowered_since_asked() {
  std::lock_guard lock(mutex_);
  if (in_use_ >= told_) return std::nullopt;
  told_ = in_use_;
  return in_use_;
}

}  // namespace quillreap::download
