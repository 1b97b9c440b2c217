// The build's site configuration: hosts from the generated CMake header, and the source 2
// site's display name and advertising sentences, which are fixed texts of this program.
// The sentences spell the site's host (www.52xs.com) in look-alike characters.
#include "sites/site_config.hpp"

#include <quillreap/site_defaults.hpp>

#include "text/primitives.hpp"

namespace quillreap::sites {

SiteConfig SiteConfig::defaults() {
  SiteConfig config;
  config.search_host = defaults::kSearchHost;
  config.search_id = defaults::kSearchId;
  config.source1_host = defaults::kSource1Host;
  config.source2_host = defaults::kSource2Host;
  config.source2_label = defaults::kSource2Label;
  config.source2_display_name = "\xCE\xE5\xB6\xFE\xD0\xA1\xCB\xB5\xCD\xF8";  // 五二小说网
  config.source2_ad_sentences = {
      // 。更多最新章节访问:ｗＷω.⑤㈡ⅹｓ.ｃОｍ 。
      "\xA1\xA3\xB8\xFC\xB6\xE0\xD7\xEE\xD0\xC2\xD5\xC2\xBD\xDA\xB7\xC3\xCE\xCA:\xA3\xF7\xA3\xD7"
      "\xA6\xD8.\xA2\xDD\xA2\xE6\xA2\xAA\xA3\xF3.\xA3\xE3\xA7\xB0\xA3\xED \xA1\xA3",
      // ,最新章节访问:ωＷｗ.５㈡Ｘｓ.Ｃοｍ 。
      ",\xD7\xEE\xD0\xC2\xD5\xC2\xBD\xDA\xB7\xC3\xCE\xCA:\xA6\xD8\xA3\xD7\xA3\xF7.\xA3\xB5\xA2\xE6"
      "\xA3\xD8\xA3\xF3.\xA3\xC3\xA6\xCF\xA3\xED \xA1\xA3",
      // .最快更新访问:ＷωＷ.㈤２хＳ.сＯＭ 。
      ".\xD7\xEE\xBF\xEC\xB8\xFC\xD0\xC2\xB7\xC3\xCE\xCA:\xA3\xD7\xA6\xD8\xA3\xD7.\xA2\xE9\xA3\xB2"
      "\xA7\xE7\xA3\xD3.\xA7\xE3\xA3\xCF\xA3\xCD \xA1\xA3",
      // 。ｗωｗ.⑤②ⅹＳ.Ｃ０ｍ 更新好快。
      "\xA1\xA3\xA3\xF7\xA6\xD8\xA3\xF7.\xA2\xDD\xA2\xDA\xA2\xAA\xA3\xD3.\xA3\xC3\xA3\xB0\xA3\xED "
      "\xB8\xFC\xD0\xC2\xBA\xC3\xBF\xEC\xA1\xA3",
  };
  config.update_host = defaults::kUpdateHost;
  config.connections = defaults::kConnections;
  config.tries = defaults::kTries;
  config.request_pause_ms = defaults::kRequestPauseMs;
  return config;
}

bool belongs_to_source2(const Text& book_address, const SiteConfig& config) {
  return text::find_text(book_address, config.source2_label) > -1;
}

}  // namespace quillreap::sites
