// Users' site files: every "*.json" of a folder read into sites, each mistake kept as one
// line naming its file, so that the program starts with the sites that were read.
#pragma once

#include <vector>

#include "sites/site.hpp"
#include "sites/site_config.hpp"

namespace quillreap::sites {

struct SiteFolder {
  std::vector<Site> sites;    // in the order of their file names
  std::vector<Text> reasons;  // one line per file that could not be used, naming it
};

// A folder that is not there holds no sites, and is no mistake.
SiteFolder read_site_folder(const Text& directory);

// Reads the folder's files into the config (use_site_files); returns why any file was not.
std::vector<Text> take_site_folder(SiteConfig& config, const Text& directory);

// The window's status line for a folder's reasons: "站点文件有误: " and the first, and how
// many more there are. "" when there are none.
Text site_folder_line(const std::vector<Text>& reasons);

}  // namespace quillreap::sites
