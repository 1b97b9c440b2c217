// Site files: each cut kind and option as the interpreter runs it, each kind of mistake in
// a file as its message reads, and pages in each charset as the cuts see them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "sites/page.hpp"
#include "sites/site_file.hpp"
#include "sites/source_pages.hpp"
#include "tests/support/golden_book.hpp"

namespace quillreap::sites {
namespace {

// A small sound site file; CLEANING and LIST stand for the parts a case fills in. (The test
// sources are GBK: a file's non-ASCII text is written as u8.)
std::string site_file(std::string_view cleaning = "[]",
                      std::string_view list = R"(["<dd>", "</dd>"])") {
  std::string file = R"({
  "id": "t",
  "name": "T",
  "host": "h.test",
  "charset": "gbk",
  "values": { "v": "V" },
  "search": { "address": "http://{{host}}/s?q={{key}}" },
  "hits": { "list": { "between_all": ["<li>", "</li>"] }, "address": [ { "resolve": true } ],
            "name": [] },
  "book": { "index_on_book_page": true },
  "index": {
    "list": { "between_all": LIST },
    "address": [ { "between": ["href=\"", "\""] }, { "resolve": true } ],
    "title": [ { "between": [">", "<"] } ]
  },
  "chapter": { "text": ["<div id=\"content\">", "</div>"], "cleaning": CLEANING }
})";
  file.replace(file.find("LIST"), 4, list);
  file.replace(file.find("CLEANING"), 8, cleaning);
  return file;
}

std::string utf8(std::u8string_view text) {
  return std::string(text.begin(), text.end());
}

SourcePages pages_of(const std::string& file) {
  return SourcePages(make_site(read_site_file(file, "t.json"), {}));
}

TEST(CutInterpreter, EachKindAndOption) {
  struct Case {
    const char* cut;
    Text input, expected;
  } cases[] = {
      {R"([{"between": ["<b>", "</b>"]}])", "x<b>y</b>z<b>w</b>", "y"},
      {R"([{"between": ["<B>", "</B>"]}])", "<b>y</b>", ""},
      {R"([{"between": {"left": "<B>", "right": "</B>", "ignore_case": true}}])", "<b>y</b>", "y"},
      {reinterpret_cast<const char*>(u8R"([{"between": ["id=#引号", "#引号"]}])"), "<p id=\"q\">",
       "q"},
      {R"([{"replace": ["<BR>", "\n", "a", "b"]}])", "x<br>a", "x\nb"},
      {R"([{"replace": {"pairs": ["<BR>", "\n"], "case_sensitive": true}}])", "x<br>", "x<br>"},
      // The sixth pair works on what the first five left.
      {R"([{"replace": ["a","b", "c","d", "e","f", "g","h", "i","j", "b","z"]}])", "a", "z"},
      {R"([{"template": "[{{text}}|{{host}}|{{v}}|{{name}}]"}])", "x", "[x|h.test|V|T]"},
      {R"([{"drop_lines": "AD"}])", "one\nan AD line\r\ntwo\nAD", "one\ntwo"},
      {R"([{"remove_between": ["<script", "</script>"]}])",
       "a<script>x</script>b<script src=1></script>c<script>", "abc<script>"},
      {R"([{"between": ["[", "]"]}, {"replace": ["-", "+"]}])", "[a-b]-", "a+b"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(pages_of(site_file(c.cut)).clean_chapter(c.input), c.expected) << c.cut;
}

TEST(CutInterpreter, ListCutOptions) {
  struct Case {
    const char* list;
    Text expected;  // the pieces joined by '|'
  } cases[] = {
      {R"(["<dd>", "</dd>"])", "a|B|cc|d"},
      {R"({"left": "<dd>", "right": "</dd>", "case_sensitive": true})", "a|cc|d"},
      {R"x({"left": "<dd>", "right": "</dd>", "prefix": "(", "suffix": ")"})x",
       "(a)|(B)|(cc)|()|(d)"},
      {R"({"left": "<dd>", "right": "</dd>", "include_left": true, "max_length": 6})",
       "<dd>a|<dd>B|<dd>d"},
  };
  const Text page = "<dd>a</dd><DD>B</DD><dd> cc </dd><dd></dd><dd>d</dd>";
  for (const Case& c : cases) {
    Text joined;
    for (const Text& piece : pages_of(site_file("[]", c.list)).index_entries(page))
      joined += (joined.empty() ? "" : "|") + piece;
    EXPECT_EQ(joined, c.expected) << c.list;
  }
}

TEST(CutInterpreter, IndexLinksResolveAgainstTheIndexAddress) {
  const SourcePages pages = pages_of(site_file());
  const ChapterLink link = pages.chapter_link("<a href=\"../2/1.html\">One<", "http://h.test/b/1/");
  EXPECT_EQ(link.address, "http://h.test/b/2/1.html");
  EXPECT_EQ(link.title, "One");
}

TEST(SiteFiles, MistakesReadLikeACompilersMessages) {
  struct Case {
    std::string find, replace;
    std::string message;  // what follows "t.json:LINE:COLUMN: "
    int line = 0;         // 0: the line of the change
  } cases[] = {
      {R"("title":)", R"("titel":)", R"("titel": unknown field (did you mean "title"?))"},
      {R"("book":)", R"("Book":)", R"("Book": unknown field (did you mean "book"?))"},
      // A control character in a name is written as its escape: the message stays one line
      // (placed at the file's start, as the escaped name is not found in the text).
      {R"("book":)", R"("bo\nok":)", R"("bo\nok": unknown field)", 1},
      {R"({ "between": ["href)", R"({ "betwen": ["href)",
       R"("betwen": unknown field (did you mean "between"?))"},
      // A missing field is placed at the object that lacks it.
      {R"("name": "T",)", "", R"("name": missing field)", 1},
      {"{{key}}", "{{kee}}", R"("{{kee}}": no such value)"},
      {R"("gbk")", R"("latin1")", R"("charset": must be "gbk", "gb18030", "utf-8" or "auto")"},
      {R"("V" })", R"("V", })", "JSON syntax"},
      {R"("V" })", R"("V", "n": 1e999 })", "JSON syntax: number overflow"},
      {R"("resolve": true)", R"("resolve": 1)", R"("resolve": takes true)"},
  };
  for (const Case& c : cases) {
    std::string file = site_file();
    const std::size_t at = file.find(c.find);
    if (at != std::string::npos) file.replace(at, c.find.size(), c.replace);
    try {
      (void)read_site_file(file, "t.json");
      EXPECT_EQ(c.message, "") << c.find;
    } catch (const SiteFileError& error) {
      const std::string what = error.what();
      // The line is the one the mistake stands on.
      const std::string line =
          std::to_string(c.line ? c.line : 1 + std::count(file.begin(), file.begin() + at, '\n'));
      EXPECT_EQ(what.rfind("t.json:" + line + ":", 0), 0u) << what;
      EXPECT_NE(what.find(c.message), std::string::npos) << what;
      EXPECT_EQ(what.find('\n'), std::string::npos) << what;
    }
  }
}

TEST(SiteFiles, PagesInEachCharsetReachTheCutsAsGbk) {
  struct Case {
    std::string body;
    Charset charset;
    Text expected;
  } cases[] = {
      {"\xD6\xD0\xCE\xC4", Charset::kGbk, "中文"},
      {utf8(u8"中文\u2603"), Charset::kUtf8, "中文?"},  // outside GBK: '?'
      {"\xD6\xD0\x95\x32\x82\x36", Charset::kGb18030, "中?"},
      {utf8(u8"<meta charset=\"UTF-8\">中"), Charset::kAuto, "<meta charset=\"UTF-8\">中"},
      {"<meta content=\"text/html; charset=gbk\">\xD6\xD0", Charset::kAuto,
       "<meta content=\"text/html; charset=gbk\">中"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(page_in_gbk(text::Bytes(c.body.begin(), c.body.end()), c.charset), c.expected)
        << c.body;
}

// A reader of docs/sites.md copies its worked example: it must be the file the tests run.
TEST(SiteFiles, TheDocsWorkedExampleIsTheTestedFile) {
  const std::string doc = test_support::file_bytes(QUILLREAP_FIXTURES_DIR "/../../docs/sites.md");
  const std::string file = test_support::fixture_bytes("sites/example.json");
  const std::size_t example = doc.find("## A worked example");
  const std::size_t start = doc.find("```json\n", example);
  ASSERT_NE(start, std::string::npos);
  EXPECT_EQ(doc.substr(start + 8, file.size() + 3), file + "```");
}

}  // namespace
}  // namespace quillreap::sites
