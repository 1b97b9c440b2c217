// The retry policy against a loopback server that fails on purpose: which failures are
// tried again and how often, Retry-After, and a cancel that ends a long pause.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>

#include "http/retry.hpp"
#include "http/timeouts.hpp"
#include "tools/loopback/http_server.hpp"

namespace quillreap::http {
namespace {

using loopback::HttpServer;
using loopback::Request;
using loopback::Response;
using namespace std::chrono_literals;

Response page(std::string body, int status = 200) {
  Response r;
  r.status = status;
  r.reason = status == 200 ? "OK" : "Failed";
  r.body = std::move(body);
  return r;
}

RetryPolicy quick(int tries) {
  RetryPolicy policy;
  policy.tries = tries;
  policy.first_pause = 1ms;
  return policy;
}

class RetryTest : public ::testing::Test {
 protected:
  // The first `failures` requests get `failure`; later ones the page.
  // Set between fetches on the test's thread, read by the server's: under the mutex.
  int failures_ = 0;
  Response failure_ = page("busy", 503);
  std::mutex mutex_;
  std::atomic<int> seen_{0};
  HttpServer server_{[this](const Request&) {
    std::lock_guard lock(mutex_);
    return seen_.fetch_add(1) < failures_ ? failure_ : page("the page");
  }};

  void fail(int failures, Response failure) {
    std::lock_guard lock(mutex_);
    seen_ = 0;
    failures_ = failures;
    failure_ = std::move(failure);
  }

  std::string address() { return "http://" + server_.host() + "/c/1.html"; }
  int requests() { return static_cast<int>(server_.requests().size()); }
};

TEST_F(RetryTest, TransientFailuresAreTriedAgainUpToTheTries) {
  struct Case {
    const char* name;
    Response failure;
  };
  Response reset;
  reset.action = Response::Action::kReset;
  Response cut = page(std::string(5000, 'x'));
  cut.action = Response::Action::kResetMidBody;
  const Case cases[] = {{"503", page("busy", 503)},
                        {"500", page("oops", 500)},
                        {"429", page("slow down", 429)},
                        {"reset", reset},
                        {"cut short", cut}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // Two failures, then the page: the third of three tries gets it.
    fail(2, c.failure);
    RetriedFetch got = fetch_with_retries(address(), quick(3));
    EXPECT_FALSE(got.result.failed);
    EXPECT_EQ(std::string(got.result.body.begin(), got.result.body.end()), "the page");
    EXPECT_EQ(got.tries, 3);

    // Failing every time: exactly `tries` requests, and the last failure comes back.
    fail(100, c.failure);
    got = fetch_with_retries(address(), quick(2));
    EXPECT_TRUE(got.result.failed);
    EXPECT_TRUE(is_transient(got.result));
    EXPECT_EQ(got.tries, 2);
    EXPECT_EQ(seen_.load(), 2);
  }
}

TEST_F(RetryTest, PermanentFailuresAreTriedOnce) {
  for (int status : {404, 403, 400, 410}) {
    SCOPED_TRACE(status);
    fail(100, page("no", status));
    const RetriedFetch got = fetch_with_retries(address(), quick(5));
    EXPECT_TRUE(got.result.failed);
    EXPECT_EQ(got.result.status, status);
    EXPECT_EQ(got.tries, 1);
    EXPECT_EQ(seen_.load(), 1);
  }
  // An address that cannot be sent never reaches the server.
  seen_ = 0;
  const RetriedFetch bad = fetch_with_retries(address() + "\r\nX: y", quick(5));
  EXPECT_EQ(bad.result.reason, FailureReason::kAddressRefused);
  EXPECT_EQ(bad.tries, 1);
  EXPECT_EQ(seen_.load(), 0);
  // Tries outside 1..5 are held to them.
  fail(100, page("busy", 503));
  EXPECT_EQ(fetch_with_retries(address(), quick(0)).tries, 1);
  EXPECT_EQ(fetch_with_retries(address(), quick(50)).tries, RetryPolicy::kMostTries);
}

TEST_F(RetryTest, RetryAfterReplacesThePauseUpToItsLimit) {
  Response busy = page("busy", 503);
  busy.headers = {{"Retry-After", "1"}};
  fail(1, busy);
  auto start = std::chrono::steady_clock::now();
  RetriedFetch got = fetch_with_retries(address(), quick(2));
  EXPECT_FALSE(got.result.failed);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 950ms);

  // An hour is cut to the policy's longest wait.
  busy.headers = {{"Retry-After", "3600"}};
  fail(1, busy);
  RetryPolicy policy = quick(2);
  policy.longest_retry_after = 20ms;
  start = std::chrono::steady_clock::now();
  got = fetch_with_retries(address(), policy);
  EXPECT_FALSE(got.result.failed);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 30s);

  EXPECT_EQ(retry_after_seconds("HTTP/1.1 503 x\r\nretry-after:  7 \r\n"), 7);
  EXPECT_EQ(retry_after_seconds("HTTP/1.1 503 x\r\nRetry-After: Wed, 21 Oct 2026 07:28:00 GMT\r\n"),
            -1);
  EXPECT_EQ(retry_after_seconds("HTTP/1.1 503 x\r\nX-Retry-After: 3\r\n"), -1);
}

TEST_F(RetryTest, StopEndsAPauseAtOnceAndStopsFurtherTries) {
  fail(100, page("busy", 503));
  RetryPolicy policy = quick(5);
  policy.first_pause = 60s;
  std::stop_source stop;
  std::chrono::steady_clock::time_point asked;
  // The stop comes once the first answer is in, so it finds the fetch in its pause.
  std::thread closer([&] {
    while (seen_.load() == 0) std::this_thread::sleep_for(1ms);
    std::this_thread::sleep_for(200ms);
    asked = std::chrono::steady_clock::now();
    stop.request_stop();
  });
  const RetriedFetch got = fetch_with_retries(address(), policy, stop.get_token());
  const auto ended = std::chrono::steady_clock::now();
  closer.join();
  // The pause wakes on the stop itself, not on a later look at it.
  EXPECT_LT(ended - asked, 500ms);
  EXPECT_TRUE(got.stopped);
  EXPECT_EQ(got.tries, 1);

  // Already stopped: nothing is fetched.
  seen_ = 0;
  const RetriedFetch none = fetch_with_retries(address(), policy, stop.get_token());
  EXPECT_TRUE(none.stopped);
  EXPECT_EQ(none.tries, 0);
  EXPECT_EQ(seen_.load(), 0);
}

// A page that never answers ends by the time-outs, try after try, on both transports: left
// to its own default, WinInet waits far longer than libcurl is told to.
TEST_F(RetryTest, PageThatNeverAnswersEndsWithinTheTimeOutTimesTheTries) {
  Response never;
  never.action = Response::Action::kStall;
  fail(3, never);
  constexpr auto kTimeout = 1s;
  RetryPolicy policy = quick(3);
  policy.timeouts = {.connect = kTimeout, .send = kTimeout, .receive = kTimeout};
  const auto started = std::chrono::steady_clock::now();
  const RetriedFetch got = fetch_with_retries(address(), policy);
  const auto took = std::chrono::steady_clock::now() - started;
  EXPECT_EQ(got.tries, 3);
  EXPECT_EQ(got.result.reason, FailureReason::kTimeout);
  EXPECT_TRUE(got.result.body.empty());
  // Each try waits the time-out. The slack is for the platform's clock and a loaded
  // machine, and still far below one try at the default 30 s.
  EXPECT_GE(took, 3 * kTimeout * 9 / 10);
  EXPECT_LE(took, 3 * kTimeout + 10s);
}

}  // namespace
}  // namespace quillreap::http
