// The cleaning of a chapter text cut from a chapter page, one table per source site.
#pragma once

#include "sites/site_config.hpp"
#include "text/primitives.hpp"

namespace quillreap::sites {

// "&nbsp;" to a space, "<br />" to CR LF, then each pair of CR LF halved in one pass.
Text clean_source1_chapter(const Text& chapter);

// Two tables, the second run on the output of the first: entities, "<br>", the site-link
// anchor and advertising sentences 2 and 1; then the site-name anchor, sentences 4 and 3
// and the site's search slogan.
Text clean_source2_chapter(const Text& chapter, const SiteConfig& config);

}  // namespace quillreap::sites
