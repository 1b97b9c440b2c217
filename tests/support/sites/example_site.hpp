// The worked example of docs/sites.md, the site file of the sample sites' source 3, read
// through the reader as a user's file is, with the host the test serves it on; edited, the
// first `replaced` of the file's text becomes `with`.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "sites/site_file.hpp"
#include "sites/source_pages.hpp"

namespace quillreap::sites {

inline SourcePages example_site(const Text& host, std::string_view replaced = {},
                                std::string_view with = {}) {
  const std::string path = QUILLREAP_FIXTURES_DIR "/sites/example.json";
  std::ifstream file(path, std::ios::binary);
  std::stringstream read;
  read << file.rdbuf();
  std::string json = read.str();
  if (!replaced.empty()) json.replace(json.find(replaced), replaced.size(), with);
  SiteSettings settings;
  settings.host = host;
  return SourcePages(make_site(read_site_file(json, path), settings));
}

}  // namespace quillreap::sites
