// The build's site configuration: hosts and fetch settings from the generated CMake header.
#include "sites/site_config.hpp"

#include <quillreap/site_defaults.hpp>

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

}  // namespace quillreap::sites
