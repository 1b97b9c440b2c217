// Making a site from what its file says: the host and label settled, and every "{{name}}"
// in its texts filled with the site's values, so that a cut never looks a value up.
#include <functional>

#include "sites/site_file.hpp"

namespace quillreap::sites {
namespace {

using Values = std::map<std::string, Text>;

// The text split at each "{{name}}": values filled in, the three slots kept.
Template compile(std::string_view raw, const Values& values) {
  Template pieces(1);
  std::size_t at = 0;
  for (;;) {
    const std::size_t open = raw.find("{{", at);
    const std::size_t close = open == std::string_view::npos ? open : raw.find("}}", open + 2);
    if (close == std::string_view::npos) {
      pieces.back().literal.append(raw.substr(at));
      return pieces;
    }
    pieces.back().literal.append(raw.substr(at, open - at));
    const std::string name(raw.substr(open + 2, close - open - 2));
    const Slot slot = name == "text"    ? Slot::kText
                      : name == "index" ? Slot::kIndex
                      : name == "key"   ? Slot::kKey
                                        : Slot::kNone;
    if (slot != Slot::kNone) {
      pieces.back().slot = slot;
      pieces.emplace_back();
    } else {
      const auto found = values.find(name);
      if (found == values.end()) throw SiteFileError(name);
      pieces.back().literal += found->second;
    }
    at = close + 2;
  }
}

// A marker or replacement holds no slot: only values are filled in.
void fill_values(Text& text, const Values& values) {
  if (text.find("{{") == Text::npos) return;
  const Template pieces = compile(text, values);
  if (pieces.size() != 1) throw SiteFileError("text");
  text = pieces.front().literal;
}

void fill_cut(Cut& cut, const Values& values) {
  for (CutStep& step : cut) {
    fill_values(step.left, values);
    fill_values(step.right, values);
    fill_values(step.text, values);
    for (auto& [find, with] : step.pairs) fill_values(find, values), fill_values(with, values);
    if (!step.pattern_text.empty()) step.pattern = compile(step.pattern_text, values);
  }
}

void fill_list(ListCut& list, const Values& values) {
  for (Text* text : {&list.left, &list.right, &list.prefix, &list.suffix})
    fill_values(*text, values);
}

}  // namespace

Site make_site(Site site, const SiteSettings& settings) {
  // A host given in the settings carries the label with it unless a label is given too:
  // the label is where the host shows in a book address.
  if (!settings.host.empty()) site.host = settings.host;
  if (!settings.label.empty()) {
    site.label = settings.label;
  } else if (!settings.host.empty() || site.label.empty()) {
    site.label = site.host;
  }
  Values values = site.values;
  for (const auto& [name, value] : settings.values) values[name] = value;
  values["host"] = site.host;
  values["label"] = site.label;
  values["name"] = site.name;
  values["id"] = site.id;
  values.try_emplace("search_host");
  values.try_emplace("search_id");
  site.search.address = compile(site.search.address_text, values);
  site.search.body = compile(site.search.body_text, values);
  for (auto& [name, value] : site.search.headers) fill_values(value, values);
  fill_list(site.hits.list, values);
  fill_list(site.index.list, values);
  for (Cut* cut : {&site.hits.prepare, &site.hits.address, &site.hits.name, &site.hits.intro,
                   &site.hits.author, &site.book.index_address, &site.index.address,
                   &site.index.title, &site.chapter.next_page, &site.chapter.cleaning})
    fill_cut(*cut, values);
  fill_values(site.book.refuse_if, values);
  fill_values(site.chapter.left, values);
  fill_values(site.chapter.right, values);
  return site;
}

Text Site::value(const std::string& name) const {
  const auto found = values.find(name);
  return found == values.end() ? Text() : found->second;
}

}  // namespace quillreap::sites
