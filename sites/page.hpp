// What the searches and downloads share about a fetched page: its text, and whether the
// markers around a piece were there at all (a cut alone cannot tell "missing" from "empty").
#pragma once

#include <string_view>

#include "http/fetch.hpp"
#include "sites/site.hpp"
#include "text/primitives.hpp"

namespace quillreap::sites {

using text::Text;

// The page body as text; a failed fetch reads as the empty page, whatever error page the
// server sent with it.
Text page_text(const http::FetchResult& fetched);

// A page body in the site's charset as GBK text (which ends at the first zero byte).
// Characters GBK lacks become '?'; "auto" goes by the charset the page's own <meta> names,
// GBK when it names none.
Text page_in_gbk(const text::Bytes& body, Charset charset);

// True when left_marker occurs and right_marker occurs behind it (exact case, "#引号"
// standing for '"' as in text_between): the condition for text_between to cut anything.
bool has_markers(std::string_view text, std::string_view left_marker,
                 std::string_view right_marker);

}  // namespace quillreap::sites
