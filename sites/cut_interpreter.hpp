// The one cut interpreter every site runs on: a cut is a list of steps, each of a kind the
// site file names by its word and each done by one of the toolkit's cuts.
#pragma once

#include <nlohmann/json_fwd.hpp>
#include <string_view>

#include "sites/json_fields.hpp"
#include "sites/site.hpp"

namespace quillreap::sites {

// The steps of a cut in order, each on what the one before left.
Text run_cut(const Cut& cut, Text text, const CutPlace& place = {});
// Every piece the list cut finds, in page order.
text::TextArray run_list(const ListCut& list, std::string_view page);
// The template with its slots filled.
Text fill(const Template& pattern, std::string_view text, std::string_view index = {},
          std::string_view key = {});

// A cut as the file writes it: an array of steps, each an object whose one field names its
// kind ("between", "replace", "template", "resolve", "drop_lines", "remove_between").
// Absent: the empty cut, which hands the text on as it is.
Cut read_cut(const JsonObject& parent, std::string_view name);
// A list cut: {"between_all": ["left", "right"]} or with its options as an object.
ListCut read_list(const JsonObject& parent, std::string_view name);

}  // namespace quillreap::sites
