// Which site a search or a download runs on: the source box's items (源站①, 源站②, then each
// user site by its name), a site's id, or the book address itself.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "sites/site_config.hpp"
#include "sites/source_pages.hpp"

namespace quillreap::sites {

// The source box's items, in order.
std::vector<Text> site_choices(const SiteConfig& config);
// The site of the source box's item; nothing chosen (-1), or an item past the last, is
// source 2, as any item but the first always was.
SourcePages pages_for_choice(int choice, const SiteConfig& config);
// The item of the site of that id; nullopt when no site has it.
std::optional<int> choice_of_site(std::string_view id, const SiteConfig& config);

// The site a book address belongs to: source 2 when it holds source 2's label (exact case,
// anywhere), then the first user site whose host or label it holds, else source 1.
SourcePages pages_for_address(const Text& book_address, const SiteConfig& config);
// A book of the shelf: the site its store names, when one has that id; else by its address.
SourcePages pages_for_book(const Text& book_address, const Text& site_id, const SiteConfig& config);

// What a site is called where a book's files must tell two sites apart: "源站①", "源站②",
// or a user site's name.
Text site_caption(const Site& site);

}  // namespace quillreap::sites
