// The retry loop over fetch_page: which failures are worth another try, how long to wait
// before it, and a wait that a cancel flag ends within a few milliseconds.
#include "http/retry.hpp"

#include <algorithm>
#include <thread>

#include "http/response_headers.hpp"
#include "text/primitives.hpp"

namespace quillreap::http {

namespace {

using std::chrono::milliseconds;

constexpr milliseconds kCancelCheck{10};

bool is_cancelled(const std::atomic<bool>* cancelled) {
  return cancelled && cancelled->load();
}

// Sleeps in short slices so that a cancel is seen promptly; false when cancelled.
bool pause(milliseconds length, const std::atomic<bool>* cancelled) {
  const auto until = std::chrono::steady_clock::now() + length;
  while (!is_cancelled(cancelled)) {
    const auto now = std::chrono::steady_clock::now();
    if (now >= until) return true;
    std::this_thread::sleep_for(
        std::min<std::chrono::steady_clock::duration>(until - now, kCancelCheck));
  }
  return false;
}

milliseconds pause_before(int next_try, const RetryPolicy& policy, std::string_view headers) {
  const int asked = retry_after_seconds(headers);
  if (asked >= 0) return std::min(milliseconds(asked * 1000LL), policy.longest_retry_after);
  // The second try waits first_pause, the third twice that, and so on.
  return policy.first_pause * (1LL << std::max(0, next_try - 2));
}

}  // namespace

bool is_transient(const FetchResult& result) {
  switch (result.reason) {
    case FailureReason::kNoConnection:
    case FailureReason::kConnectionRefused:
    case FailureReason::kReset:
    case FailureReason::kCutShort:
    case FailureReason::kTimeout:
      return true;
    case FailureReason::kHttpStatus:
      return result.status >= 500 || result.status == 429;
    case FailureReason::kNone:
    case FailureReason::kAddressRefused:
    case FailureReason::kTooManyRedirects:
    case FailureReason::kClientError:
      return false;
  }
  return false;
}

int retry_after_seconds(std::string_view raw_headers) {
  // Only the seconds form: a date would need the clock the site keeps.
  const Text value = header_line_value(raw_headers, "Retry-After");
  if (value.empty() || value.size() > 9 ||
      !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return -1;
  return std::stoi(value);
}

RetriedFetch fetch_with_retries(std::string_view address, const RetryPolicy& policy,
                                const std::atomic<bool>* cancelled) {
  const int tries = std::clamp(policy.tries, 1, RetryPolicy::kMostTries);
  RetriedFetch out;
  Text headers;
  for (;;) {
    if (is_cancelled(cancelled)) {
      out.cancelled = true;
      return out;
    }
    headers.clear();
    const auto exchange = [&] {
      return fetch_page_until_stopped(cancelled, address, kGet, {}, nullptr, nullptr, nullptr,
                                      &headers);
    };
    out.result = policy.around_try ? policy.around_try(exchange) : exchange();
    ++out.tries;
    // An exchange cut short by the stop is no failure of the site's.
    if (is_cancelled(cancelled)) {
      out.cancelled = true;
      return out;
    }
    if (!is_transient(out.result) || out.tries >= tries) return out;
    if (!pause(pause_before(out.tries + 1, policy, headers), cancelled)) {
      out.cancelled = true;
      return out;
    }
  }
}

}  // namespace quillreap::http
