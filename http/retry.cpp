// The retry loop over fetch_page: which failures are worth another try, how long to wait
// before it, and a wait that the stop ends at once.
#include "http/retry.hpp"

#include <algorithm>
#include <condition_variable>
#include <mutex>

#include "http/response_headers.hpp"
#include "text/primitives.hpp"

namespace quillreap::http {

namespace {

using std::chrono::milliseconds;

// Waits length, or until stop is requested; false when it was.
bool pause(milliseconds length, const std::stop_token& stop) {
  std::mutex mutex;
  std::condition_variable_any woken;
  std::unique_lock lock(mutex);
  // Nothing else notifies: only the stop (through its callback) or the time ends the wait.
  woken.wait_for(lock, stop, length, [] { return false; });
  return !stop.stop_requested();
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
    case FailureReason::kUntrustedCertificate:
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
                                std::stop_token stop) {
  const int tries = std::clamp(policy.tries, 1, RetryPolicy::kMostTries);
  RetriedFetch out;
  Text headers;
  for (;;) {
    if (stop.stop_requested()) {
      out.stopped = true;
      return out;
    }
    headers.clear();
    const auto exchange = [&] {
      return fetch_page_until_stopped(stop, policy.timeouts, address, kGet, {}, nullptr, nullptr,
                                      nullptr, &headers, false, nullptr, {}, policy.ca_file);
    };
    out.result = policy.around_try ? policy.around_try(exchange) : exchange();
    ++out.tries;
    // An exchange cut short by the stop is no failure of the site's.
    if (stop.stop_requested()) {
      out.stopped = true;
      return out;
    }
    if (!is_transient(out.result) || out.tries >= tries) return out;
    if (!pause(pause_before(out.tries + 1, policy, headers), stop)) {
      out.stopped = true;
      return out;
    }
  }
}

}  // namespace quillreap::http
