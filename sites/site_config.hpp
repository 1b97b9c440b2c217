// The hosts the built-in sites are made with, and how a download fetches. Fixed at build
// time (the QUILLREAP_* CMake cache variables); tests and the command line pass their own
// values. What a site cuts and cleans is its site file's.
#pragma once

#include <vector>

#include "http/timeouts.hpp"
#include "sites/site.hpp"
#include "text/primitives.hpp"

namespace quillreap::sites {

using text::Text;

// Every text is GBK.
struct SiteConfig {
  Text search_host;  // site-search service used by the source 1 search
  Text search_id;    // its 19-digit identifier, the value of the query key s
  Text source1_host;
  Text source2_host;
  // Found in a book address, it marks a source 2 book; "" follows source2_host (or the
  // label source 2's file names).
  Text source2_label;
  Text update_host;

  // Chapter pages fetched at once (1 to PagesAhead::kMostConnections), and tries per page
  // (1 to RetryPolicy::kMostTries; book page, index, chapter; a search page is tried once).
  int connections = 4;
  int tries = 3;
  // The pause each connection leaves between two requests, 0 to RequestPace::kLongestPauseMs.
  int request_pause_ms = 0;
  // What every request waits for a connection and for the answer; only tests shorten them.
  http::Timeouts timeouts = http::kDefaultTimeouts;
  // A PEM file of the CAs https servers are checked against instead of the system's; only
  // tests set it, to trust their own CA (no setting turns the check off). Empty: the
  // system's. WinInet always uses the system's store.
  Text ca_file;

  // Users' site files as read, in the source box's order; one with a built-in site's id
  // stands in that site's place (use_site_files).
  std::vector<Site> site_files;

  // The build's configuration.
  static SiteConfig defaults();
};

// Takes users' sites into the config. A file with a built-in site's id replaces that site,
// its host and label becoming the config's (which a host option given afterwards overrides).
void use_site_files(SiteConfig& config, std::vector<Site> sites);

// Whether a book address is source 2's: the row decides, not the source drop-down; the
// label in exact letter case, anywhere in the address. (Written with the built-in sites.)
bool belongs_to_source2(const Text& book_address, const SiteConfig& config);

}  // namespace quillreap::sites
