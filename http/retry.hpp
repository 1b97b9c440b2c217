// Fetching a page again when the failure looks passing: a dropped or refused connection,
// a time-out, a body cut short, a busy server (5xx, 429). Sits above fetch_page, which
// stays one exchange; used for book pages, indexes and chapters, never for searches.
#pragma once

#include <chrono>
#include <functional>
#include <stop_token>
#include <string_view>

#include "http/fetch.hpp"

namespace quillreap::http {

struct RetryPolicy {
  static constexpr int kMostTries = 5;
  int tries = 3;  // every try included; held to 1..kMostTries
  // The pause before the second try; each later pause is twice the one before.
  std::chrono::milliseconds first_pause{500};
  // A Retry-After of whole seconds replaces the pause; one longer than this is cut to it,
  // so a site asking for an hour still gets its page tried again within the download.
  std::chrono::milliseconds longest_retry_after{10'000};
  // What each try waits for a connection and for the answer.
  Timeouts timeouts = kDefaultTimeouts;
  text::Text ca_file;  // see SiteConfig::ca_file
  // When set, each try's exchange runs through it on the fetching thread, so that the
  // caller may make it wait (a pace between requests) and sees every answer, not only the
  // last one's. It returns what the exchange returned.
  std::function<FetchResult(const std::function<FetchResult()>& exchange)> around_try;
};

struct RetriedFetch {
  FetchResult result;  // the last try's
  int tries = 0;       // tries made, 0 when stopped before the first
  bool stopped = false;
};

// Whether another try may get the page: not for an address that cannot be sent, a 4xx
// other than 429, too many redirects, or a fetch that did not fail.
bool is_transient(const FetchResult& result);

// The seconds of a "Retry-After: N" line in a raw header block; -1 without one, or when it
// holds a date instead.
int retry_after_seconds(std::string_view raw_headers);

// A GET of address with fetch_page's other arguments left out, tried again while the
// failure is transient and tries remain. stop is checked before each try, cuts an exchange
// under way short, and wakes a pause at once. Runs on the calling thread.
RetriedFetch fetch_with_retries(std::string_view address, const RetryPolicy& policy = {},
                                std::stop_token stop = {});

}  // namespace quillreap::http
