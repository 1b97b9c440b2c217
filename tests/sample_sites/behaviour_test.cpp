// The sample sites' real-network behaviour, seen through the program's own fetch: chapter
// pages that fail once, answers that wait without holding up other connections, and
// connections kept open between pages.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "http/fetch.hpp"
#include "tools/sample-sites/sample_sites.hpp"

namespace quillreap::sample_sites {
namespace {

using namespace std::chrono_literals;
using http::FailureReason;
using http::FetchResult;

// The three chapters of a book on each source.
std::vector<std::string> chapter_addresses(const SampleSites& sites) {
  std::vector<std::string> out;
  for (int n = 1; n <= 3; ++n) {
    out.push_back("http://" + sites.source1_host() + "/1_1/" + std::to_string(n) + ".html");
    out.push_back("http://" + sites.source2_host() + "/Html/1003/" + std::to_string(n) + ".html");
  }
  return out;
}

TEST(SampleSitesBehaviour, FlakyChaptersFailTheFirstRequestOnly) {
  Behaviour flaky;
  flaky.flaky_every = 1;
  SampleSites sites(sites::SiteConfig::defaults(), {}, {}, flaky);
  for (const std::string& address : chapter_addresses(sites)) {
    SCOPED_TRACE(address);
    const bool odd = address[address.size() - 6] != '2';
    const FetchResult first = http::fetch_page(address);
    EXPECT_TRUE(first.failed);
    // Chapters K, 3K ... are reset, 2K, 4K ... answered 503.
    EXPECT_EQ(first.reason, odd ? FailureReason::kReset : FailureReason::kHttpStatus);
    EXPECT_EQ(first.status, odd ? 0 : 503);
    EXPECT_FALSE(http::fetch_page(address).failed);
  }
  // Book pages and indexes never fail.
  EXPECT_FALSE(http::fetch_page("http://" + sites.source1_host() + "/1_1/index.html").failed);
  EXPECT_FALSE(http::fetch_page("http://" + sites.source2_host() + "/Html/1003/Index.html").failed);

  // Every third chapter only: chapters 1 and 2 come at once.
  Behaviour third;
  third.flaky_every = 3;
  SampleSites fewer(sites::SiteConfig::defaults(), {}, {}, third);
  const std::vector<std::string> addresses = chapter_addresses(fewer);
  for (std::size_t i = 0; i < addresses.size(); ++i) {
    EXPECT_EQ(http::fetch_page(addresses[i]).failed, i >= 4) << addresses[i];
  }
}

TEST(SampleSitesBehaviour, DelayedAnswersAreServedTogether) {
  Behaviour slow;
  slow.delay = 1000ms;
  SampleSites sites(sites::SiteConfig::defaults(), {}, {}, slow);
  // Six pages from one server, whose single thread serves every connection.
  std::vector<std::string> addresses;
  for (int i = 0; i < 6; ++i) {
    addresses.push_back("http://" + sites.source1_host() + "/1_1/" + std::to_string(i % 3 + 1) +
                        ".html");
  }
  std::vector<FetchResult> results(addresses.size());
  const auto start = std::chrono::steady_clock::now();
  std::vector<std::thread> fetches;
  for (std::size_t i = 0; i < addresses.size(); ++i) {
    fetches.emplace_back([&, i] { results[i] = http::fetch_page(addresses[i]); });
  }
  for (std::thread& fetch : fetches) fetch.join();
  const auto took = std::chrono::steady_clock::now() - start;
  for (const FetchResult& result : results) EXPECT_FALSE(result.failed);
  EXPECT_GE(took, 1000ms);
  // One after another they would take six seconds.
  EXPECT_LT(took, 3000ms);
}

TEST(SampleSitesBehaviour, KeptAliveConnectionsCarrySeveralPages) {
  for (bool keep_alive : {false, true}) {
    SCOPED_TRACE(keep_alive);
    Behaviour behaviour;
    behaviour.keep_alive = keep_alive;
    SampleSites sites(sites::SiteConfig::defaults(), {}, {}, behaviour);
    std::size_t pages = 0;
    for (int round = 0; round < 3; ++round) {
      for (const std::string& address : chapter_addresses(sites)) {
        EXPECT_FALSE(http::fetch_page(address).failed);
        ++pages;
      }
    }
    if (keep_alive) {
      // One connection per host would do; allow for a dropped one.
      EXPECT_LT(sites.accepted_connections(), pages / 2);
    } else {
      EXPECT_EQ(sites.accepted_connections(), pages);
    }
  }
}

}  // namespace
}  // namespace quillreap::sample_sites
