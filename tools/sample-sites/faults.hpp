// A sample site that misbehaves on purpose, one fault per path, for the reliability tests
// and `quillreap-sample-sites --faults`. It serves both sources' markup on one loopback
// server; every book has two chapters, and each fault spoils one page of its own book.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sites/site_config.hpp"
#include "tools/loopback/http_server.hpp"

namespace quillreap::sample_sites {

struct FaultInfo {
  std::string_view name;  // leads the fault book's paths: /NAME/s1/... and /NAME/s2/...
  std::string_view what;
};

// Every fault served, "plain" (no fault) first.
const std::vector<FaultInfo>& faults();

// The text of chapter 1 and 2 of a book, as served in the page and as the book keeps it
// (no markup the cleaners change), and the chapter titles.
std::string fault_chapter_text(int chapter);
std::string fault_chapter_title(int chapter);

// The "bad-gbk" book's chapter 2: a title holding byte pairs that are no GBK character,
// and a text that ends in a lone lead byte; its page ends in one too.
inline constexpr std::string_view kBadGbkTitle = "Bad\x80 t\xFF\x7Fitle";
inline constexpr std::string_view kBadGbkText = "x\x80y\xFF z\xB2";

// Sizes of the big pages.
inline constexpr std::size_t kHugeChapterBytes = 30u << 20;  // "huge-chapter"
inline constexpr int kIndexEntries = 50'000;                 // "index-50000"
inline constexpr std::size_t kHeaderBlockBytes = 64u << 10;  // "big-headers-book"
inline constexpr int kSetCookieLines = 200;

class FaultSites {
 public:
  explicit FaultSites(std::uint16_t port = 0);
  ~FaultSites();
  FaultSites(const FaultSites&) = delete;
  FaultSites& operator=(const FaultSites&) = delete;

  std::string host() const;  // "127.0.0.1:" + port
  // A loopback address nothing listens on: connections to it are refused.
  std::string refused_host() const;
  // `base` with the search, source 1 and source 2 hosts all set to this server, and the
  // source 2 label "/s2/", which only source 2 book addresses hold.
  sites::SiteConfig config(sites::SiteConfig base = sites::SiteConfig::defaults()) const;
  // The book page of a fault's book on source 1 or 2 ("refused-book" on the refused host).
  std::string book_address(std::string_view fault, int source) const;
  // Every request received so far, oldest first.
  std::vector<loopback::Request> requests() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quillreap::sample_sites
