// Site files: reading one (JSON, UTF-8) into a site, and making the site a download runs
// from it, with its host and values filled in.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "sites/json_fields.hpp"
#include "sites/site.hpp"

namespace quillreap::sites {

// What the program fills in besides the file's own values: the site-search service of the
// build ({{search_host}}, {{search_id}}) and host or label options of the command line.
struct SiteSettings {
  Text host;   // "" keeps the file's
  Text label;  // "" keeps the file's, or else follows the host
  std::map<std::string, Text> values;
};

// The names a template or marker may hold between "{{" and "}}" besides the file's values.
inline constexpr std::string_view kSettingNames[] = {"host", "label",       "name",
                                                     "id",   "search_host", "search_id"};

// Reads a site file; a mistake throws SiteFileError with its one-line message, which begins
// with file_name and the line and column.
Site read_site_file(std::string_view json_utf8, std::string_view file_name);

// The site with its host, label and every value filled in; the templates ready to run.
// Throws SiteFileError, whose what() is the name, for a "{{name}}" the site has no value for.
Site make_site(Site site, const SiteSettings& settings);

}  // namespace quillreap::sites
