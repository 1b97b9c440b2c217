// The worked example of docs/sites.md, the site file of the sample sites' source 3, read
// through the reader as a user's file is, with the host the test serves it on; scheme
// "https" for the site served over TLS.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

#include "sites/site_file.hpp"
#include "sites/source_pages.hpp"

namespace quillreap::sites {

inline SourcePages example_site(const Text& host, const std::string& scheme = "http") {
  const std::string path = QUILLREAP_FIXTURES_DIR "/sites/example.json";
  std::ifstream file(path, std::ios::binary);
  std::stringstream json;
  json << file.rdbuf();
  std::string text = json.str();
  const std::string plain = "http://{{host}}";
  if (const auto at = text.find(plain); at != std::string::npos) {
    text.replace(at, plain.size(), scheme + "://{{host}}");
  }
  SiteSettings settings;
  settings.host = host;
  return SourcePages(make_site(read_site_file(text, path), settings));
}

}  // namespace quillreap::sites
