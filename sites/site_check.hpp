// Checking a site file against its site: a search, the first hit's book page, its index, its
// first and last chapters, each step said in one line as it ends. For whoever writes a site
// file, so the lines are English; the texts they quote are GBK like all the program's.
#pragma once

#include <functional>

#include "sites/site_config.hpp"
#include "sites/source_pages.hpp"

namespace quillreap::sites {

// Tries the site's steps in order and says each in one line through say as it ends; the
// first step that fails says why, and the steps after it are named as not tried. word ""
// searches the file's test word. True when every step was good. The lines hold nothing
// that varies from run to run but what the site's pages gave.
bool check_site(const SourcePages& pages, const Text& word, const SiteConfig& config,
                const std::function<void(const Text&)>& say);

}  // namespace quillreap::sites
