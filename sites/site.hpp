// A site as the program runs it: what one site file says (its search, hits, book page,
// index, chapter cuts and cleaning), with its host and named values filled in.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "text/primitives.hpp"

namespace quillreap::sites {

using text::Text;

// How a site's pages are written; every page becomes GBK before it is cut.
enum class Charset { kGbk, kGb18030, kUtf8, kAuto };

// What a template's slot is filled with when the cut runs.
enum class Slot { kNone, kText, kIndex, kKey };

// An address or body template: literal pieces and slots, in order. The site's own values
// ({{host}}, {{name}}, the file's values) are filled in when the site is made, so only the
// running text, the index address and the search word are left as slots.
struct TemplatePiece {
  Text literal;
  Slot slot = Slot::kNone;
};
using Template = std::vector<TemplatePiece>;

struct CutStep;
// What a cut step reads besides the running text: the page's own address (the base of a
// relative link) and the index address.
struct CutPlace {
  std::string_view page_address;
  std::string_view index_address;
};
using CutFunction = Text (*)(const CutStep& step, Text running, const CutPlace& place);

// One step of a cut, of the kind its file word names; the fields its kind uses are set.
struct CutStep {
  std::string kind;
  CutFunction run = nullptr;
  Text left, right;                          // between, remove_between
  bool ignore_case = false;                  // between
  bool case_sensitive = false;               // replace
  std::vector<std::pair<Text, Text>> pairs;  // replace, in order
  Text pattern_text;                         // template, as the file writes it
  Template pattern;                          // the same with the site's values filled in
  Text text;                                 // drop_lines
};
// Steps run in order, each on what the one before left.
using Cut = std::vector<CutStep>;

// The list cut: every piece between two markers (a hit, an index entry).
struct ListCut {
  Text left, right;
  bool case_sensitive = false;
  int max_length = 0;
  Text prefix, suffix;
  bool include_left = false, include_right = false;
};

struct SearchRequest {
  Text address_text, body_text;  // as the file writes them
  Template address;
  bool post = false;
  Template body;
  std::vector<std::pair<Text, Text>> headers;
  // The word as the site's charset writes it, percent-encoded; or its GBK bytes as they are.
  bool raw_key = false;
  Charset charset = Charset::kGbk;  // of the result page
};

struct HitCuts {
  ListCut list;
  Cut prepare;  // run on each hit before its cells are cut
  Cut address, name, intro, author;
};

struct BookCuts {
  Text refuse_if;  // a book page holding it is one the site marks as broken
  bool index_on_book_page = false;
  Cut index_address;
};

struct IndexCuts {
  ListCut list;
  Cut address, title;
};

struct ChapterCuts {
  Text left, right;  // the markers around the text; a page without them lost its text
  Cut next_page;     // the address of the chapter's next page; empty: none
  int most_pages = 1;
  Cut cleaning;
};

struct Site {
  Text id;
  Text name;  // as the source box lists it
  Text host;
  Text label;  // found in a book address, it marks a book of this site
  Charset charset = Charset::kGbk;
  std::map<std::string, Text> values;  // the file's named texts
  Text file;                           // where it was read; "" for a built-in site
  Text test_word;                      // a word the site surely finds; "" when it names none
  SearchRequest search;
  HitCuts hits;
  BookCuts book;
  IndexCuts index;
  ChapterCuts chapter;

  // A value of the file ("" when it has none).
  Text value(const std::string& name) const;
};

}  // namespace quillreap::sites
