// PagesAhead with fetch functions that count and hold their calls, and once over a real
// loopback server: order, the bound on pages held ahead, one connection, the stop, a page
// that fails; and the ordered window under it with work that is no page (a shelf's checks).
#include "download/pages_ahead.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "tools/loopback/http_server.hpp"

namespace quillreap::download {
namespace {

using namespace std::chrono_literals;
using http::FetchResult;
using text::Text;

std::vector<Text> addresses(int count, const std::string& prefix = "/c/") {
  std::vector<Text> out;
  for (int i = 0; i < count; ++i) out.push_back(prefix + std::to_string(i) + ".html");
  return out;
}

FetchResult page_of(const Text& body) {
  FetchResult result;
  result.body.assign(body.begin(), body.end());
  result.failed = false;
  result.status = 200;
  result.reason = http::FailureReason::kNone;
  return result;
}

std::string body_of(const FetchResult& result) {
  return std::string(result.body.begin(), result.body.end());
}

// A page fetch from a function of the address alone: one try, deaf to the stop.
template <typename Fetch>
PageFetch tried(Fetch fetch) {
  return [fetch](const Text& address, std::stop_token) {
    http::RetriedFetch page;
    page.result = fetch(address);
    page.tries = 1;
    return page;
  };
}

// Polls until done() holds or two seconds pass; the threads under test run on their own.
template <typename Done>
bool eventually(Done done) {
  const auto until = std::chrono::steady_clock::now() + 2s;
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

TEST(PagesAheadTest, PagesComeBackInIndexOrderWhateverOrderTheyArrive) {
  // Later pages come back sooner than earlier ones.
  const std::vector<Text> list = addresses(120);
  PagesAhead pages(
      list, tried([](const Text& address) {
        std::this_thread::sleep_for(std::chrono::microseconds(100 * (7 - address.size() % 8)));
        return page_of(address);
      }),
      8);
  EXPECT_EQ(pages.size(), list.size());
  for (const Text& address : list) {
    const auto page = pages.next();
    ASSERT_TRUE(page.has_value());
    EXPECT_EQ(body_of(page->fetched.result), address);
  }
  EXPECT_FALSE(pages.next().has_value());

  // The same over real connections, with the real fetch.
  loopback::HttpServer server([](const loopback::Request& request) {
    loopback::Response response;
    response.body = "page " + request.target;
    return response;
  });
  const std::vector<Text> remote = addresses(40, "http://" + server.host() + "/c/");
  PagesAhead fetched(
      remote,
      [](const Text& address, std::stop_token stop) {
        return http::fetch_with_retries(address, {}, stop);
      },
      4);
  for (std::size_t i = 0; i < remote.size(); ++i) {
    const auto page = fetched.next();
    ASSERT_TRUE(page.has_value());
    EXPECT_FALSE(page->fetched.result.failed);
    EXPECT_EQ(page->fetched.tries, 1);
    EXPECT_EQ(body_of(page->fetched.result), "page /c/" + std::to_string(i) + ".html");
  }
  EXPECT_EQ(server.requests().size(), remote.size());
}

TEST(PagesAheadTest, TheChapterCutWhereThePageWasFetchedComesWithIt) {
  const std::vector<Text> list = addresses(60);
  for (const int connections : {1, 4}) {
    PagesAhead pages(
        list,
        [](const Text& address, std::stop_token) {
          std::this_thread::sleep_for(std::chrono::microseconds(50 * (address.size() % 3)));
          return AheadPage{{page_of(address), 1}, true, "made from " + address};
        },
        connections);
    for (std::size_t i = 0; i < list.size(); ++i) {
      const auto page = pages.next();
      ASSERT_TRUE(page.has_value());
      EXPECT_EQ(body_of(page->fetched.result), list[i]) << connections;
      EXPECT_EQ(page->chapter, "made from " + list[i]) << connections;
    }
    EXPECT_FALSE(pages.next().has_value());
  }
}

TEST(PagesAheadTest, EightConnectionsFetchTogetherButHoldAtMostSixteenAhead) {
  std::mutex mutex;
  std::condition_variable changed;
  int in_flight = 0;
  int most_in_flight = 0;
  std::atomic<int> fetches{0};
  // The first fetches wait until eight are under way at once, so the test sees all eight
  // connections used without relying on timing.
  PagesAhead pages(addresses(100), tried([&](const Text& address) {
                     std::unique_lock lock(mutex);
                     ++in_flight;
                     most_in_flight = std::max(most_in_flight, in_flight);
                     changed.notify_all();
                     if (fetches.load() < 8)
                       changed.wait_for(lock, 5s, [&] { return most_in_flight >= 8; });
                     --in_flight;
                     ++fetches;
                     return page_of(address);
                   }),
                   8);

  // Nothing consumed yet: the threads fill the window and stop there.
  ASSERT_TRUE(eventually([&] { return fetches.load() >= 16; }));
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(fetches.load(), 16);
  // Each page handed out makes room for one more.
  ASSERT_TRUE(pages.next().has_value());
  EXPECT_TRUE(eventually([&] { return fetches.load() == 17; }));
  while (pages.next()) {
  }
  EXPECT_EQ(fetches.load(), 100);
  EXPECT_EQ(most_in_flight, 8);
  EXPECT_LE(pages.most_held_ahead(), 16u);
  EXPECT_GE(pages.most_held_ahead(), 8u);
}

TEST(PagesAheadTest, OneConnectionFetchesEachPageWhenAskedOnTheCallersThread) {
  std::vector<Text> asked;
  std::vector<std::thread::id> threads;
  PagesAhead pages(addresses(3), tried([&](const Text& address) {
                     asked.push_back(address);
                     threads.push_back(std::this_thread::get_id());
                     return page_of(address);
                   }));
  std::this_thread::sleep_for(50ms);
  EXPECT_TRUE(asked.empty());
  ASSERT_TRUE(pages.next().has_value());
  EXPECT_EQ(asked, std::vector<Text>{"/c/0.html"});
  while (pages.next()) {
  }
  EXPECT_EQ(asked, addresses(3));
  for (const auto& id : threads) EXPECT_EQ(id, std::this_thread::get_id());
  EXPECT_EQ(pages.most_held_ahead(), 1u);
}

TEST(PagesAheadTest, StopEndsNewFetchesAndAWaitingNext) {
  for (int connections : {1, 4}) {
    SCOPED_TRACE(connections);
    std::stop_source stop;
    std::atomic<int> fetches{0};
    std::atomic<bool> release{false};
    PagesAhead pages(addresses(50), tried([&](const Text& address) {
                       ++fetches;
                       // Page 3 holds on until the test lets it go, as a stalled server would.
                       if (address == "/c/3.html") eventually([&] { return release.load(); });
                       return page_of(address);
                     }),
                     connections, stop.get_token());
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(pages.next().has_value());
    if (connections > 1) {
      std::thread closer([&] {
        std::this_thread::sleep_for(50ms);
        stop.request_stop();
      });
      const auto start = std::chrono::steady_clock::now();
      EXPECT_FALSE(pages.next().has_value());  // waits for page 3, which never comes
      EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
      closer.join();
    } else {
      stop.request_stop();
      EXPECT_FALSE(pages.next().has_value());
    }
    release = true;
    const int after_stop = fetches.load();
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(fetches.load(), after_stop);
    EXPECT_LT(after_stop, 50);
    EXPECT_FALSE(pages.next().has_value());
  }
}

// Going away with fetches under way tells them to give up: a fetch that waits for its
// stop ends the destructor's wait at once.
TEST(PagesAheadTest, DestructorStopsTheFetchesUnderWay) {
  std::atomic<int> started{0};
  const auto start = std::chrono::steady_clock::now();
  {
    PagesAhead pages(
        addresses(10),
        [&](const Text&, std::stop_token stop) {
          ++started;
          std::mutex mutex;
          std::condition_variable_any never;
          std::unique_lock lock(mutex);
          never.wait_for(lock, stop, 60s, [] { return false; });
          return http::RetriedFetch{};
        },
        4);
    ASSERT_TRUE(eventually([&] { return started.load() == 4; }));
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

// A failed page is the site's doing and comes back as such; a fetch that threw is a fault
// of the program's and throws on the caller's thread at its page's turn.
TEST(PagesAheadTest, AFailedPageComesBackInItsPlaceAndAThrownFetchThrowsAtItsTurn) {
  for (int connections : {1, 8}) {
    SCOPED_TRACE(connections);
    PagesAhead pages(addresses(20), tried([](const Text& address) {
                       if (address == "/c/5.html") return FetchResult{};  // failed, no connection
                       if (address == "/c/9.html") throw std::bad_alloc();
                       return page_of(address);
                     }),
                     connections);
    for (int i = 0; i < 9; ++i) {
      SCOPED_TRACE(i);
      const std::optional<AheadPage> page = pages.next();
      ASSERT_TRUE(page.has_value());
      EXPECT_EQ(page->fetched.result.failed, i == 5);
      if (!page->fetched.result.failed) {
        EXPECT_EQ(body_of(page->fetched.result), "/c/" + std::to_string(i) + ".html");
      }
    }
    EXPECT_THROW(pages.next(), std::bad_alloc);
  }
}

TEST(AheadWindowTest, AnyWorkComesBackInOrderWithinTheWindow) {
  constexpr std::size_t kItems = 40;
  std::vector<int> made(kItems, -1);
  std::atomic<int> running{0}, most_running{0};
  AheadWindow window(
      kItems,
      [&](std::size_t index, std::stop_token) {
        const int now = ++running;
        for (int seen = most_running; now > seen && !most_running.compare_exchange_weak(seen, now);)
          ;
        // Later items finish sooner, so they arrive out of order.
        std::this_thread::sleep_for(std::chrono::microseconds(200 * (kItems - index) % 3000));
        made[index] = static_cast<int>(index) * 10;
        --running;
      },
      3);
  for (std::size_t expected = 0; expected < kItems; ++expected) {
    const std::optional<std::size_t> index = window.next();
    ASSERT_EQ(index, expected);
    EXPECT_EQ(made[*index], static_cast<int>(expected) * 10);
  }
  EXPECT_EQ(window.next(), std::nullopt);
  EXPECT_LE(most_running.load(), 3);
  EXPECT_LE(window.most_held_ahead(), 6u);
}

}  // namespace
}  // namespace quillreap::download
