// The bundled sample sites: the site-search service, source 1 and source 2, each on its own
// loopback HTTP server, serving pages in the markup the two sources' searches and downloads
// cut. Tests start them in-process on free ports; quillreap-sample-sites runs them for demos.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "sources/site_config.hpp"

namespace quillreap::sample_sites {

// 0 picks a free port.
struct Ports {
  std::uint16_t search = 0;
  std::uint16_t source1 = 0;
  std::uint16_t source2 = 0;
};

// The benchmark book "测试巨著" on both sources: `chapters` chapters whose text markup is
// `chapter_bytes` bytes each. No chapters: the sites do not list it.
struct BigBook {
  int chapters = 0;
  int chapter_bytes = 0;
};

class SampleSites {
 public:
  // Serves `base`'s source 2 display name and advertising sentences; the hosts come from
  // the ports the servers listen on.
  explicit SampleSites(sources::SiteConfig base = sources::SiteConfig::defaults(), Ports ports = {},
                       BigBook big = {});
  ~SampleSites();
  SampleSites(const SampleSites&) = delete;
  SampleSites& operator=(const SampleSites&) = delete;

  std::string search_host() const;  // "127.0.0.1:" + port
  std::string source1_host() const;
  std::string source2_host() const;
  // `base` with the three hosts set to the servers' and the source 2 label set to the
  // source 2 host followed by "/", so that it never matches inside a source 1 address
  // whose port merely begins with the same digits.
  sources::SiteConfig config() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quillreap::sample_sites
