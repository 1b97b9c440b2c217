// The kinds of cut step: for each, the file's word, how its arguments are read and what it
// does. Adding a kind is one reading function, one running function and one table row.
// Every running function calls the toolkit (text_between, replace_many and the text
// primitives) and nothing of its own.
#include <algorithm>
#include <array>
#include <optional>

#include "http/url.hpp"
#include "sites/cut_interpreter.hpp"
#include "sites/page.hpp"
#include "text/markers.hpp"

namespace quillreap::sites {
namespace {

using nlohmann::json;

// Two markers: ["left", "right"], or {"left": ..., "right": ..., "ignore_case": ...}.
void read_markers(const JsonSource& source, const json& args, std::size_t offset,
                  std::string_view word, CutStep& step) {
  if (args.is_array()) {
    if (args.size() != 2 || !args[0].is_string() || !args[1].is_string())
      source.fail(offset, word, "takes two texts [\"left\", \"right\"]");
    step.left = gbk_of(args[0]);
    step.right = gbk_of(args[1]);
  } else {
    const JsonObject object(source, args, word, offset, {"left", "right", "ignore_case"});
    step.left = object.text("left", true);
    step.right = object.text("right", true);
    step.ignore_case = object.flag("ignore_case");
  }
  if (step.left.empty() || step.right.empty()) source.fail(offset, word, "a marker is empty");
}

void read_between(const JsonSource& source, const json& args, std::size_t offset, CutStep& step) {
  read_markers(source, args, offset, "between", step);
}

void read_remove_between(const JsonSource& source, const json& args, std::size_t offset,
                         CutStep& step) {
  read_markers(source, args, offset, "remove_between", step);
}

// ["find", "with", ...] or {"pairs": [...], "case_sensitive": true}.
void read_replace(const JsonSource& source, const json& args, std::size_t offset, CutStep& step) {
  const json* pairs = &args;
  std::optional<JsonObject> object;
  if (args.is_object()) {
    object.emplace(source, args, "replace", offset,
                   std::vector<std::string_view>{"pairs", "case_sensitive"});
    pairs = &object->at("pairs");
    step.case_sensitive = object->flag("case_sensitive");
  }
  if (!pairs->is_array() || pairs->size() % 2 != 0 ||
      !std::all_of(pairs->begin(), pairs->end(), [](const json& v) { return v.is_string(); }))
    source.fail(offset, "replace", "takes texts in pairs [\"find\", \"with\", ...]");
  for (std::size_t i = 0; i < pairs->size(); i += 2) {
    if ((*pairs)[i].get_ref<const std::string&>().empty())
      source.fail(offset, "replace", "a text to find is empty");
    step.pairs.emplace_back(gbk_of((*pairs)[i]), gbk_of((*pairs)[i + 1]));
  }
}

void read_one_text(const JsonSource& source, const json& args, std::size_t offset,
                   std::string_view word, Text& into) {
  if (!args.is_string() || args.get_ref<const std::string&>().empty())
    source.fail(offset, word, "takes one text");
  into = gbk_of(args);
}

void read_template(const JsonSource& source, const json& args, std::size_t offset, CutStep& step) {
  read_one_text(source, args, offset, "template", step.pattern_text);
}

void read_drop_lines(const JsonSource& source, const json& args, std::size_t offset,
                     CutStep& step) {
  read_one_text(source, args, offset, "drop_lines", step.text);
}

void read_resolve(const JsonSource& source, const json& args, std::size_t offset, CutStep&) {
  if (args != json(true)) source.fail(offset, "resolve", "takes true");
}

Text run_between(const CutStep& step, Text running, const CutPlace&) {
  return text::text_between(running, step.left, step.right, 0, step.ignore_case);
}

Text run_replace(const CutStep& step, Text running, const CutPlace&) {
  // The toolkit takes five pairs a call; each pair works on what the ones before left, so
  // the calls chain exactly as one long table would.
  const auto& p = step.pairs;
  for (std::size_t i = 0; i < p.size(); i += 5) {
    const auto pair = [&](std::size_t k, bool with) -> std::string_view {
      if (i + k >= p.size()) return {};
      return with ? std::string_view(p[i + k].second) : std::string_view(p[i + k].first);
    };
    running = text::replace_many(running, std::nullopt, 1, step.case_sensitive,  //
                                 pair(0, false), pair(0, true), pair(1, false), pair(1, true),
                                 pair(2, false), pair(2, true), pair(3, false), pair(3, true),
                                 pair(4, false), pair(4, true));
  }
  return running;
}

Text run_template(const CutStep& step, Text running, const CutPlace& place) {
  return fill(step.pattern, running, place.index_address);
}

Text run_resolve(const CutStep&, Text running, const CutPlace& place) {
  return http::resolve_address(place.page_address, text::trim_spaces(running));
}

Text run_drop_lines(const CutStep& step, Text running, const CutPlace&) {
  Text kept;
  kept.reserve(running.size());
  bool first = true;
  for (const Text& line : text::split_text(running, "\n")) {
    if (text::find_text(line, step.text) > 0) continue;
    if (!first) kept += '\n';
    kept += line;
    first = false;
  }
  return kept;
}

Text run_remove_between(const CutStep& step, Text running, const CutPlace&) {
  // Each round takes out one whole "left ... right", so the rounds end.
  const Text left = text::replace_text(step.left, text::kQuoteToken, "\"");
  const Text right = text::replace_text(step.right, text::kQuoteToken, "\"");
  while (has_markers(running, left, right)) {
    const Text inner = text::text_between(running, left, right);
    Text rest = text::replace_text(running, text::concat(left, inner, right), {}, 1, 1);
    if (rest == running) break;
    running = std::move(rest);
  }
  return running;
}

struct CutKind {
  std::string_view word;
  void (*read)(const JsonSource&, const json&, std::size_t, CutStep&);
  CutFunction run;
};

constexpr std::array kCutKinds{
    CutKind{"between", read_between, run_between},
    CutKind{"replace", read_replace, run_replace},
    CutKind{"template", read_template, run_template},
    CutKind{"resolve", read_resolve, run_resolve},
    CutKind{"drop_lines", read_drop_lines, run_drop_lines},
    CutKind{"remove_between", read_remove_between, run_remove_between},
};

std::vector<std::string_view> cut_words() {
  std::vector<std::string_view> words;
  for (const CutKind& kind : kCutKinds) words.push_back(kind.word);
  return words;
}

CutStep read_step(const JsonSource& source, const json& value, std::size_t offset) {
  const JsonObject object(source, value, "step", offset, cut_words());
  if (value.size() != 1) source.fail(offset, "step", "names exactly one kind of cut");
  CutStep step;
  step.kind = value.begin().key();
  for (const CutKind& kind : kCutKinds) {
    if (kind.word != step.kind) continue;
    kind.read(source, value.begin().value(), object.offset_of(kind.word), step);
    step.run = kind.run;
  }
  return step;
}

}  // namespace

Cut read_cut(const JsonObject& parent, std::string_view name) {
  if (!parent.has(name)) return {};
  const json& steps = parent.at(name);
  if (!steps.is_array()) parent.fail(name, "must be a list of cut steps [ {...}, ... ]");
  Cut cut;
  std::size_t offset = parent.offset_of(name);
  for (const json& step : steps) {
    cut.push_back(read_step(parent.source(), step, offset));
    // The next step's field stands after this one's.
    offset = parent.source().locate(cut.back().kind, offset) + 1;
  }
  return cut;
}

}  // namespace quillreap::sites
