// Chapters a serial's site has not filled in yet: the page holds a stand-in ("正在手打中…")
// where the text will go. A download writes such a chapter into the book as fetched but
// keeps it out of the chapter store, so the next download asks for it again.
#pragma once

#include <cstddef>
#include <string_view>

namespace quillreap::download {

// A cleaned chapter with fewer bytes of text than this is taken for a placeholder.
inline constexpr std::size_t kShortestRealChapter = 64;

// Whether a cleaned chapter text (GBK) looks like a placeholder: fewer than
// kShortestRealChapter bytes once spaces and line breaks are left out, or holding one of
// the placeholder phrases. Left out are the ASCII space, tab, CR and LF and the full-width
// space (A1 A1, taken only as a whole character, never across two); every other byte
// counts, punctuation included. An empty chapter is a placeholder.
bool looks_like_placeholder(std::string_view cleaned_text);

}  // namespace quillreap::download
