// The source 1 cleaning table. No advertising is removed for this site.
#include <optional>

#include "sites/cleanup.hpp"
#include "text/markers.hpp"

namespace quillreap::sites {

Text clean_source1_chapter(const Text& chapter) {
  // Pairs apply in order to the running text, so the "<br />" turned into CR LF are
  // halved by the third pair too.
  return text::replace_many(chapter, std::nullopt, 1, false,  //
                            "&nbsp;", " ",                    //
                            "<br />", "\r\n",                 //
                            "\r\n\r\n", "\r\n");
}

}  // namespace quillreap::sites
