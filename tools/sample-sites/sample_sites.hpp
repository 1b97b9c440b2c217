// The bundled sample sites: the site-search service, source 1 and source 2, each on its own
// loopback HTTP server, serving pages in the markup the two sources' searches and downloads
// cut. Tests start them in-process on free ports; quillreap-sample-sites runs them for demos.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sites/site_config.hpp"

namespace quillreap::sample_sites {

// 0 picks a free port.
struct Ports {
  std::uint16_t search = 0;
  std::uint16_t source1 = 0;
  std::uint16_t source2 = 0;
  std::uint16_t source3 = 0;
  // Source 3 over TLS as well (TlsFront::available() builds only); none by default.
  std::optional<std::uint16_t> source3_tls = std::nullopt;
};

// The benchmark book "测试巨著" on both sources: `chapters` chapters whose text markup is
// `chapter_bytes` bytes each. No chapters: the sites do not list it.
struct BigBook {
  int chapters = 0;
  int chapter_bytes = 0;
};

// Generated serials "连载1" ... "连载N" on both sources (source 1 ids "8_K", source 2 ids
// 80000 + K), chapters as the big book's, so that an update can be shown end to end:
// each starts with `chapters` chapters and gains more whenever grow_serials is called.
struct Serials {
  int books = 0;  // no books: the sites list none
  int chapters = 0;
  int chapter_bytes = 6000;
};

// How much the sites behave like real ones on a real network. The default: answers at
// once, never fail, one connection per page.
struct Behaviour {
  std::chrono::milliseconds delay{0};  // every answer waits this long; others go on meanwhile
  // K > 0: the first request for every K-th chapter page of a book fails, by a reset or a
  // 503 in turn (chapter K reset, 2K 503, 3K reset ...); asking again gets the page.
  int flaky_every = 0;
  bool keep_alive = false;  // answers leave the connection open for the next request
  // A chapter page asked for while the answer to another is still on its way (within
  // `delay` of its request) gets 429, as a site that allows one request at a time.
  bool one_at_a_time = false;
};

class SampleSites {
 public:
  // Serves source 2's display name and advertising sentences as its site file says them;
  // the hosts come from the ports the servers listen on, the rest from `base`.
  explicit SampleSites(sites::SiteConfig base = sites::SiteConfig::defaults(), Ports ports = {},
                       BigBook big = {}, Behaviour behaviour = {}, Serials serials = {});
  ~SampleSites();
  SampleSites(const SampleSites&) = delete;
  SampleSites& operator=(const SampleSites&) = delete;

  std::string search_host() const;  // "127.0.0.1:" + port
  std::string source1_host() const;
  std::string source2_host() const;
  // Source 3 is a site known only by its site file (the worked example of docs/sites.md),
  // so the configuration holds no host of it.
  std::string source3_host() const;
  // The same site over TLS with the test certificate; "" when not asked for.
  std::string source3_tls_host() const;
  // `base` with the three hosts set to the servers' and the source 2 label set to the
  // source 2 host followed by "/", so that it never matches inside a source 1 address
  // whose port merely begins with the same digits.
  sites::SiteConfig config() const;
  // Connections the servers have accepted so far.
  std::size_t accepted_connections() const;
  // When each chapter page request arrived, by the servers' clock, oldest first; and how
  // many of them got 429.
  std::vector<std::chrono::steady_clock::time_point> chapter_request_times() const;
  int too_many_requests() const;
  // Adds `chapters` chapters at the end of every serial, seen from the next request on;
  // earlier chapters keep their addresses, titles and texts. Returns how many chapters
  // each serial holds now.
  int grow_serials(int chapters = 1);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quillreap::sample_sites
