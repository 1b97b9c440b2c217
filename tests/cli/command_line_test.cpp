// quillreap-cli's command line read in-process: each command with an option it takes and one
// it does not, both value forms, repeats, exclusions, words out of place and each command's
// --help, with the exit status and the first words of what is said.
#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "app/cli/command_line.hpp"

namespace quillreap::app::cli {
namespace {

constexpr int kRuns = -1;  // the line runs its command

// The fields a line set away from their defaults, for comparing with the table.
std::string summary(const Invocation& run) {
  const Invocation plain;
  std::string text(command_word(run.command));
  const auto add = [&text](bool set, const std::string& field) {
    if (set) text += " " + field;
  };
  add(!run.word.empty(), "word=" + run.word);
  add(!run.source.empty() && run.source != "1", "source=" + run.source);
  add(!run.site.empty(), "site=" + run.site);
  add(!run.sites_directory.empty(), "sites=" + run.sites_directory);
  add(!run.address.empty(), "address=" + run.address + " name=" + run.name);
  add(!run.list.empty(), "list=" + run.list);
  add(run.row != 0, "row=" + std::to_string(run.row));
  add(run.out_directory != plain.out_directory, "out=" + run.out_directory);
  add(run.config.connections != plain.config.connections,
      "connections=" + std::to_string(run.config.connections));
  add(run.source1_host.has_value(), "source1=" + run.source1_host.value_or(""));
  add(run.epub, run.text_book ? "txt+epub" : "epub");
  add(!run.author.empty(), "author=" + run.author);
  add(run.range.has_value(), "range");
  add(run.fresh, "fresh");
  add(run.quiet, "quiet");
  add(run.progress != Progress::kAuto, "progress");
  add(!run.remove_name.empty(), "remove=" + run.remove_name);
  add(run.check, "check");
  for (const Text& name : run.names) text += " " + name;
  return text;
}

TEST(CommandLine, EachCommandTakesItsOwnOptionsAndSaysWhyALineMakesNoSense) {
  const struct Case {
    std::vector<Text> line;
    int exit_status;
    std::string said;  // the summary of a run, the start of the error, or a line of the help
  } cases[] = {
      {{}, 2, "quillreap-cli: no command given (see quillreap-cli --help)"},
      {{"fetch", "西游"}, 2, "quillreap-cli: unknown command 'fetch'"},
      {{"--out", "x", "get"}, 2, "quillreap-cli: the command comes first, before --out"},
      {{"--help"}, 0, "Usage: quillreap-cli [OPTIONS] COMMAND"},

      {{"search", "--source", "2", "西游", "--quiet"}, kRuns, "search word=西游 source=2 quiet"},
      {{"search", "--source=1", "--", "-西游"}, kRuns, "search word=-西游"},
      {{"search", "--source", "1", "西游", "--out", "x"},
       2,
       "quillreap-cli search: --out is not an option of search (see quillreap-cli search --help)"},
      {{"search", "西游"}, 2, "quillreap-cli search: --source is required"},
      {{"search", "--source", "example", "西游", "--sites=d"},
       kRuns,
       "search word=西游 source=example sites=d"},
      {{"search", "--source", "1", "西游", "记"},
       2,
       "quillreap-cli search: '记' is one word too many for search"},
      {{"search", "-h"}, 0, "Usage: quillreap-cli search [OPTIONS] WORD"},

      {{"download", "http://x/1.html", "书", "--format", "both", "--author=某"},
       kRuns,
       "download address=http://x/1.html name=书 txt+epub author=某"},
      {{"download", "--list=-", "--chapters", "3-", "--source1-host=h:1"},
       kRuns,
       "download list=- source1=h:1 range"},
      {{"download", "http://x/1.html", "书", "--source", "1"},
       2,
       "quillreap-cli download: --source is not an option of download"},
      {{"download", "http://x/1.html"},
       2,
       "quillreap-cli download: give ADDRESS and NAME, or --list FILE"},
      {{"download", "--list", "-", "--author", "某"}, 2, "quillreap-cli download: --list excludes"},
      {{"download", "x", "书", "--out", "a", "--out=b"},
       2,
       "quillreap-cli download: --out is given twice"},
      {{"download", "x", "书", "--format", "pdf"},
       2,
       "quillreap-cli download: --format takes txt, epub or both, not 'pdf'"},
      {{"download", "--help"}, 0, "Usage: quillreap-cli download [OPTIONS] [ADDRESS] [NAME]"},

      {{"get", "--source", "1", "西游", "--row=2", "--connections", "8", "--last", "3", "--fresh"},
       kRuns,
       "get word=西游 row=2 connections=8 range fresh"},
      {{"get", "--source", "1", "西游", "--author", "某"},
       2,
       "quillreap-cli get: --author is not an option of get"},
      {{"get", "--source", "1", "西游", "--intro", "-h"},
       2,
       "quillreap-cli get: --intro is not an option of get"},
      {{"get", "--source", "1", "西游", "--connections", "17"},
       2,
       "quillreap-cli get: --connections takes a whole number from 1 to 16, not '17'"},
      {{"get", "--source", "1", "西游", "--tries=6"},
       2,
       "quillreap-cli get: --tries takes a whole number from 1 to 5"},
      {{"get", "--source", "1", "西游", "--pause-ms", "0.5"},
       2,
       "quillreap-cli get: --pause-ms takes a whole number from 0 to 10000"},
      {{"get", "--source", "1", "西游", "--row", "-1"},
       2,
       "quillreap-cli get: --row takes a row number"},
      {{"get", "--source", "1", "西游", "--fresh", "--fresh"},
       2,
       "quillreap-cli get: --fresh is given twice"},
      {{"get", "--source", "1", "西游", "--fresh", "--no-store"},
       2,
       "quillreap-cli get: --fresh excludes --no-store"},
      {{"get", "--source", "1", "西游", "--chapters", "7-3"},
       2,
       "quillreap-cli get: --chapters takes A-B or A-"},
      {{"get", "--source", "1", "西游", "--chapters", "1-2", "--last", "3"},
       2,
       "quillreap-cli get: --chapters excludes --last"},
      {{"get", "--source", "1", "西游", "--quiet", "--progress=bar"},
       2,
       "quillreap-cli get: --progress excludes --quiet"},
      {{"get", "--source", "1", "西游", "--out"}, 2, "quillreap-cli get: --out needs a value"},
      {{"get", "--help"}, 0, "Usage: quillreap-cli get [OPTIONS] WORD"},

      {{"shelf", "--remove", "西游记", "--out=x"}, kRuns, "shelf out=x remove=西游记"},
      {{"shelf", "--connections", "4"},
       2,
       "quillreap-cli shelf: --connections is not an option of shelf"},
      {{"shelf", "西游记"}, 2, "quillreap-cli shelf: '西游记' is one word too many for shelf"},
      {{"shelf", "--help"}, 0, "Usage: quillreap-cli shelf [OPTIONS]"},

      {{"update", "--check", "甲", "乙", "--out", "x", "--connections=2"},
       kRuns,
       "update out=x connections=2 check 甲 乙"},
      {{"update", "--format", "epub"},
       2,
       "quillreap-cli update: --format is not an option of update"},
      {{"update", "--check", "--check"}, 2, "quillreap-cli update: --check is given twice"},
      {{"update", "-h"}, 0, "Usage: quillreap-cli update [OPTIONS] [NAME...]"},

      {{"sites", "--sites", "d"}, kRuns, "sites sites=d"},
      {{"sites", "check", "example", "西游"}, kRuns, "sites check word=西游 site=example"},
      {{"sites", "check", "--sites=d", "example"}, kRuns, "sites check site=example sites=d"},
      {{"sites", "check"}, 2, "quillreap-cli sites: ID is required"},
      {{"sites", "check", "a", "b", "c"}, 2, "quillreap-cli sites: 'c' is one word too many"},
      {{"sites", "--out", "x"}, 2, "quillreap-cli sites: --out is not an option of sites"},
  };
  for (const Case& each : cases) {
    std::string shown;
    for (const Text& argument : each.line) shown += argument + " ";
    SCOPED_TRACE(shown);
    const auto parsed = parse_command_line(each.line);
    if (each.exit_status == kRuns) {
      ASSERT_TRUE(std::holds_alternative<Invocation>(parsed)) << std::get<Reply>(parsed).error;
      EXPECT_EQ(summary(std::get<Invocation>(parsed)), each.said);
      continue;
    }
    ASSERT_TRUE(std::holds_alternative<Reply>(parsed));
    const Reply& reply = std::get<Reply>(parsed);
    EXPECT_EQ(reply.exit_status, each.exit_status);
    if (each.exit_status == 0) {
      EXPECT_NE(reply.out.find("\n" + each.said + "\n"), std::string::npos) << reply.out;
      EXPECT_EQ(reply.error, "");
    } else {
      EXPECT_EQ(reply.error.rfind(each.said, 0), 0u) << reply.error;
      EXPECT_EQ(reply.error.find('\n'), std::string::npos) << reply.error;
      EXPECT_EQ(reply.out, "");
    }
  }
}

}  // namespace
}  // namespace quillreap::app::cli
