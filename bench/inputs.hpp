// Inputs for the benchmarks, shaped like the pages the downloads read: GBK chapter pages
// of Chinese prose in the sites' markup, a chapter index, and a UTF-8 result page.
// Everything is generated from a fixed seed, so every run measures the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "sites/site_config.hpp"
#include "text/primitives.hpp"

namespace quillreap::bench {

using text::Text;

// The source 2 chapter text as its page holds it: indented paragraphs between "<br><br>",
// with the site's anchors, its four advertising sentences (one written with "&nbsp;" for
// its space) and its slogan scattered through. About `size` bytes, whole characters only;
// another seed gives other prose in the same layout.
Text source2_chapter_markup(std::size_t size, const sites::SiteConfig& config,
                            std::uint32_t seed = 2);

// A whole source 2 chapter page of about `size` bytes: head, title, the contentbox holding
// source2_chapter_markup, and the page's foot.
Text source2_chapter_page(std::size_t size, const sites::SiteConfig& config,
                          std::uint32_t seed = 2);

// The source 1 chapter text: indented paragraphs between "<br /><br />".
Text source1_chapter_markup(std::size_t size);

// A source 2 chapter index of `entries` list items of about `size` bytes in all.
Text source2_index_page(int entries, std::size_t size);

// A source 2 chapter page of about `size` bytes converted to UTF-8 (the site-search
// service's pages arrive as UTF-8), cut to `size` bytes at a character boundary.
std::string utf8_page(std::size_t size, const sites::SiteConfig& config);

// A chapter heading as the downloads append it: "\r\n\r\n" + title + "\r\n\r\n".
Text chapter_heading(int number);

// `size` bytes of prose without markup.
Text prose(std::size_t size, std::uint32_t seed);

}  // namespace quillreap::bench
