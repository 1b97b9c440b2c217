// Reading a site file: each part of the file into its part of the site, every mistake
// reported with the file, the place and the field.
#include "sites/site_file.hpp"

#include <nlohmann/json.hpp>

#include "sites/cut_interpreter.hpp"
#include "text/codepage.hpp"

namespace quillreap::sites {
namespace {

using nlohmann::json;

Charset read_charset(const JsonObject& object, Charset fallback) {
  if (!object.has("charset")) return fallback;
  const Text word = text::to_lower(object.text("charset"));
  if (word == "gbk" || word == "gb2312") return Charset::kGbk;
  if (word == "gb18030") return Charset::kGb18030;
  if (word == "utf-8" || word == "utf8") return Charset::kUtf8;
  if (word == "auto") return Charset::kAuto;
  object.fail("charset", "must be \"gbk\", \"gb18030\", \"utf-8\" or \"auto\"");
}

JsonObject part(const JsonObject& site, std::string_view name,
                std::vector<std::string_view> known) {
  return JsonObject(site.source(), site.at(name), name, site.offset_of(name), std::move(known));
}

void read_search(const JsonObject& site, Site& into) {
  const JsonObject search =
      part(site, "search", {"address", "method", "body", "headers", "key", "charset"});
  SearchRequest& request = into.search;
  request.address_text = search.text("address", true);
  const Text method = search.has("method") ? search.text("method") : Text("GET");
  if (method != "GET" && method != "POST") search.fail("method", "must be \"GET\" or \"POST\"");
  request.post = method == "POST";
  request.body_text = search.text("body");
  if (request.post && request.body_text.empty()) search.fail("body", "a POST search needs a body");
  if (search.has("headers") && !search.at("headers").is_object())
    search.fail("headers", "must be an object of texts {\"Name\": \"value\"}");
  const Text key = search.has("key") ? search.text("key") : Text("percent");
  if (key != "percent" && key != "raw") search.fail("key", "must be \"percent\" or \"raw\"");
  request.raw_key = key == "raw";
  request.charset = read_charset(search, into.charset);
}

void read_hits(const JsonObject& site, Site& into) {
  const JsonObject hits =
      part(site, "hits", {"list", "prepare", "address", "name", "intro", "author"});
  into.hits.list = read_list(hits, "list");
  into.hits.prepare = read_cut(hits, "prepare");
  (void)hits.at("address"), (void)hits.at("name");  // required
  into.hits.address = read_cut(hits, "address");
  into.hits.name = read_cut(hits, "name");
  into.hits.intro = read_cut(hits, "intro");
  into.hits.author = read_cut(hits, "author");
}

void read_book(const JsonObject& site, Site& into) {
  const JsonObject book = part(site, "book", {"refuse_if", "index_address", "index_on_book_page"});
  into.book.refuse_if = book.text("refuse_if");
  into.book.index_on_book_page = book.flag("index_on_book_page");
  if (!into.book.index_on_book_page) (void)book.at("index_address");
  into.book.index_address = read_cut(book, "index_address");
}

void read_index_and_chapter(const JsonObject& site, Site& into) {
  const JsonObject index = part(site, "index", {"list", "address", "title"});
  into.index.list = read_list(index, "list");
  (void)index.at("address"), (void)index.at("title");
  into.index.address = read_cut(index, "address");
  into.index.title = read_cut(index, "title");
  const JsonObject chapter = part(site, "chapter", {"text", "next_page", "most_pages", "cleaning"});
  const json& markers = chapter.at("text");
  if (!markers.is_array() || markers.size() != 2 || !markers[0].is_string() ||
      !markers[1].is_string() || markers[0] == "" || markers[1] == "")
    chapter.fail("text", "takes the two markers around the text [\"left\", \"right\"]");
  into.chapter.left = gbk_of(markers[0]);
  into.chapter.right = gbk_of(markers[1]);
  into.chapter.next_page = read_cut(chapter, "next_page");
  into.chapter.most_pages =
      chapter.number("most_pages", into.chapter.next_page.empty() ? 1 : 10, 1, 100);
  into.chapter.cleaning = read_cut(chapter, "cleaning");
}

void read_values(const JsonObject& site, Site& into) {
  if (!site.has("values")) return;
  const json& values = site.at("values");
  if (!values.is_object()) site.fail("values", "must be an object of texts");
  for (const auto& [name, value] : values.items()) {
    if (!value.is_string()) site.source().fail(site.offset_of(name), name, "must be a text");
    for (std::string_view setting : kSettingNames)
      if (name == setting) site.source().fail(site.offset_of(name), name, "is the program's own");
    into.values[name] = gbk_of(value);
  }
}

void read_identity(const JsonObject& site, Site& into) {
  into.id = site.text("id", true);
  if (into.id.empty() ||
      into.id.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789_-") != Text::npos)
    site.fail("id", "takes small letters, digits, '_' and '-'");
  into.name = site.text("name", true);
  into.host = site.text("host", true);
  if (into.host.empty() || into.host.find_first_of("/ ") != Text::npos)
    site.fail("host", "takes a host name and port, like \"www.example.com\"");
  into.label = site.text("label");
  into.charset = read_charset(site, Charset::kAuto);
}

}  // namespace

Site read_site_file(std::string_view json_utf8, std::string_view file_name) {
  const JsonSource source(file_name, json_utf8);
  const json document = source.parse();
  const JsonObject site(source, document, "site", 0,
                        {"id", "name", "host", "label", "charset", "values", "test_word", "search",
                         "hits", "book", "index", "chapter"});
  Site into;
  into.file = Text(file_name);
  read_identity(site, into);
  read_values(site, into);
  into.test_word = site.text("test_word");
  read_search(site, into);
  if (site.has("search") && site.at("search").contains("headers")) {
    for (const auto& [name, value] : site.at("search").at("headers").items()) {
      if (!value.is_string()) source.fail(source.locate(name, 0), name, "must be a text");
      into.search.headers.emplace_back(text::utf8_to_ansi(name), gbk_of(value));
    }
  }
  read_hits(site, into);
  read_book(site, into);
  read_index_and_chapter(site, into);
  // Every "{{name}}" must have a value: made once with stand-ins, a mistake shows now.
  try {
    (void)make_site(into, SiteSettings{});
  } catch (const SiteFileError& unknown) {
    const std::string name = unknown.what();
    source.fail(json_utf8.find("{{" + name + "}}"), "{{" + name + "}}",
                "no such value (a template takes {{text}}, {{index}}, {{key}}, the program's "
                "{{host}} {{label}} {{name}} {{id}} {{search_host}} {{search_id}}, or a "
                "name of \"values\")");
  }
  return into;
}

}  // namespace quillreap::sites
