// The build's site configuration: hosts and fetch settings from the generated CMake header.
#include "sites/site_config.hpp"

#include <quillreap/site_defaults.hpp>

#include "sites/builtin_sites.hpp"

namespace quillreap::sites {

SiteConfig SiteConfig::defaults() {
  SiteConfig config;
  config.search_host = defaults::kSearchHost;
  config.search_id = defaults::kSearchId;
  config.source1_host = defaults::kSource1Host;
  config.source2_host = defaults::kSource2Host;
  config.source2_label = defaults::kSource2Label;
  config.update_host = defaults::kUpdateHost;
  config.connections = defaults::kConnections;
  config.tries = defaults::kTries;
  config.request_pause_ms = defaults::kRequestPauseMs;
  return config;
}

void use_site_files(SiteConfig& config, std::vector<Site> sites) {
  for (const Site& site : sites) {
    if (site.id == kSource1Id) config.source1_host = site.host;
    if (site.id == kSource2Id) {
      config.source2_host = site.host;
      config.source2_label = site.label;
    }
  }
  config.site_files = std::move(sites);
}

}  // namespace quillreap::sites
