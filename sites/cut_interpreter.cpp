// Running a site's cuts: the steps of a cut in order, the list cut, and the templates.
#include "sites/cut_interpreter.hpp"

#include <nlohmann/json.hpp>

#include "text/markers.hpp"

namespace quillreap::sites {

Text run_cut(const Cut& cut, Text text, const CutPlace& place) {
  for (const CutStep& step : cut) text = step.run(step, std::move(text), place);
  return text;
}

text::TextArray run_list(const ListCut& list, std::string_view page) {
  text::TextArray pieces;
  text::text_between_all(page, list.left, list.right, pieces, list.case_sensitive, list.max_length,
                         list.prefix, list.suffix, list.include_left, list.include_right);
  return pieces;
}

Text fill(const Template& pattern, std::string_view text, std::string_view index,
          std::string_view key) {
  Text out;
  for (const TemplatePiece& piece : pattern) {
    out += piece.literal;
    if (piece.slot == Slot::kText) out += text;
    if (piece.slot == Slot::kIndex) out += index;
    if (piece.slot == Slot::kKey) out += key;
  }
  return out;
}

ListCut read_list(const JsonObject& parent, std::string_view name) {
  const JsonObject holder(parent.source(), parent.at(name), name, parent.offset_of(name),
                          {"between_all"});
  const nlohmann::json& args = holder.at("between_all");
  const std::size_t offset = holder.offset_of("between_all");
  ListCut list;
  if (args.is_array()) {
    if (args.size() != 2 || !args[0].is_string() || !args[1].is_string())
      parent.source().fail(offset, "between_all", "takes two texts [\"left\", \"right\"]");
    list.left = gbk_of(args[0]);
    list.right = gbk_of(args[1]);
  } else {
    const JsonObject options(parent.source(), args, "between_all", offset,
                             {"left", "right", "case_sensitive", "max_length", "prefix", "suffix",
                              "include_left", "include_right"});
    list.left = options.text("left", true);
    list.right = options.text("right", true);
    list.case_sensitive = options.flag("case_sensitive");
    list.max_length = options.number("max_length", 0, 0, 1 << 30);
    list.prefix = options.text("prefix");
    list.suffix = options.text("suffix");
    list.include_left = options.flag("include_left");
    list.include_right = options.flag("include_right");
  }
  if (list.left.empty() || list.right.empty())
    parent.source().fail(offset, "between_all", "a marker is empty");
  return list;
}

}  // namespace quillreap::sites
