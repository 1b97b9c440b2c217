// A site configuration for tests, hosts filled in by the test; and what source 2's site
// file says the site writes into its chapters, for tests that build such chapters.
#pragma once

#include <array>
#include <string>

#include "sites/builtin_sites.hpp"
#include "sites/site_config.hpp"

namespace quillreap::sites {

inline SiteConfig test_site_config(const Text& search_host = "127.0.0.1:1",
                                   const Text& source1_host = "127.0.0.1:2",
                                   const Text& source2_host = "127.0.0.1:3") {
  SiteConfig config;
  config.search_host = search_host;
  config.search_id = "1000000000000000001";
  config.source1_host = source1_host;
  config.source2_host = source2_host;
  config.source2_label = source2_host;
  config.update_host = search_host;
  return config;
}

// Source 2's name inside its site-name anchor.
inline Text source2_display_name(const SiteConfig& config) {
  return builtin_site(kSource2Id, config).value("display_name");
}

// Source 2's four advertising sentences, sentence 1 first.
inline std::array<Text, 4> source2_ad_sentences(const SiteConfig& config) {
  const Site site = builtin_site(kSource2Id, config);
  std::array<Text, 4> ads;
  for (std::size_t k = 0; k < ads.size(); ++k)
    ads[k] = site.value(text::concat("ad_sentence_", std::to_string(k + 1)));
  return ads;
}

}  // namespace quillreap::sites
