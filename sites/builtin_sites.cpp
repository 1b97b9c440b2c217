// The built-in sites: their embedded files read once, then made with the settings' hosts
// each time a search or download asks, so that a host given later always holds.
#include "sites/builtin_sites.hpp"

#include <map>

#include "sites/site_file.hpp"
#include "text/markers.hpp"

namespace quillreap::sites {
namespace {

// Read on first use and never changed after; a mistake in a built-in file is the build's
// own and stops the program at once.
const std::map<std::string, Site, std::less<>>& builtin_files() {
  static const std::map<std::string, Site, std::less<>> files = [] {
    std::map<std::string, Site, std::less<>> read;
    for (const SiteFileText& file : builtin_site_files()) {
      Site site = read_site_file(file.text, file.name);
      site.file.clear();
      read.emplace(site.id, std::move(site));
    }
    return read;
  }();
  return files;
}

SiteSettings settings_for(std::string_view id, const SiteConfig& config) {
  SiteSettings settings;
  if (id == kSource1Id) settings.host = config.source1_host;
  if (id == kSource2Id) {
    settings.host = config.source2_host;
    settings.label = config.source2_label;
  }
  settings.values["search_host"] = config.search_host;
  settings.values["search_id"] = config.search_id;
  return settings;
}

}  // namespace

Site builtin_site(std::string_view id, const SiteConfig& config) {
  // A user's file of the id stands in its place (use_site_files gave the config its host).
  for (const Site& file : config.site_files)
    if (file.id == id) return make_site(file, settings_for(id, config));
  return make_site(builtin_files().find(id)->second, settings_for(id, config));
}

SourcePages builtin_pages(std::string_view id, const SiteConfig& config) {
  return SourcePages(builtin_site(id, config));
}

bool belongs_to_source2(const Text& book_address, const SiteConfig& config) {
  // The label in exact letter case, anywhere in the address.
  return text::find_text(book_address, builtin_site(kSource2Id, config).label) > -1;
}

}  // namespace quillreap::sites
