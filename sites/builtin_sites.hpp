// The two sites built into the program: their files as the build embedded them, and each
// made into a site with the hosts of the settings (the build's, or the command line's).
#pragma once

#include <span>
#include <string_view>

#include "sites/site.hpp"
#include "sites/site_config.hpp"
#include "sites/source_pages.hpp"

namespace quillreap::sites {

// The ids of the built-in files, which the source box's first two choices stand for.
inline constexpr std::string_view kSource1Id = "source1";
inline constexpr std::string_view kSource2Id = "source2";

// A site file's name ("source1.json") and its text (UTF-8 JSON).
struct SiteFileText {
  std::string_view name;
  std::string_view text;
};
std::span<const SiteFileText> builtin_site_files();

// The built-in site of that id (kSource1Id or kSource2Id) with the config's host: source 1
// searches through the config's site-search service; source 2's label is the config's, or
// follows its host when the config names none.
Site builtin_site(std::string_view id, const SiteConfig& config);
SourcePages builtin_pages(std::string_view id, const SiteConfig& config);

}  // namespace quillreap::sites
