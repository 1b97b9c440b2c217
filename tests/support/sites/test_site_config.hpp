// A site configuration for tests: hosts filled in by the test, advertising sentences in
// the shape the source 2 site writes them (a host spelled in look-alike characters).
#pragma once

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
  config.source2_display_name = "笔趣阁";
  config.source2_ad_sentences = {
      "。更多最新章节访问:ｗｗＷ.ｂｉｑｕ.ｃｏＭ 。",
      ",最新章节访问:ＷⅰＷ.ｂＩｑｕ.ｃ〇ｍ 。",
      ".最快更新访问:ｗＷｗ.ｂｉＱｕ.①ｏｍ 。",
      "。ｗｗｗ.ＢＩＱＵ.ＣＯＭ 更新好快。",
  };
  config.update_host = search_host;
  return config;
}

}  // namespace quillreap::sites
