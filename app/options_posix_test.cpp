#include "app/options_posix.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/test_files.h"

namespace prismet {
namespace {

using Action = ProgramOptions::Action;

ProgramOptions parse(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "prismet");
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  return parse_program_options(static_cast<int>(arguments.size()), argv.data());
}

TEST(ProgramOptions, SortsArgumentsTheLinuxWay) {
  using Files = std::vector<std::string>;
  struct Case {
    std::vector<std::string> arguments;
    Action action;
    Files files;
    std::string mode;
    bool forced;
  } const cases[] = {
      {{"a.cpp", "/no/such/file.cpp"}, Action::kConvert, {"a.cpp", "/no/such/file.cpp"}, "", false},
      {{"-"}, Action::kConvert, {"-"}, "", false},
      {{"-m", "web", "a"}, Action::kConvert, {"a"}, "web", false},
      {{"-mweb", "--mode=css", "a"}, Action::kConvert, {"a"}, "css", false},  // the later one counts
      {{"--mode", "web", "/MODE:css", "a"}, Action::kConvert, {"a"}, "css", false},
      {{"/dlg:0", "/DLG:1", "/dlg:2"}, Action::kConvert, {"/dlg:2"}, "", true},
      {{"--", "-h", "/dlg:1", "--"}, Action::kConvert, {"-h", "/dlg:1", "--"}, "", false},
      {{"a", "--help", "-x"}, Action::kHelp, {}, "", false},
      {{"-V"}, Action::kVersion, {}, "", false},
      {{"-x", "--help"}, Action::kUsageError, {}, "", false},
      {{"--moderate"}, Action::kUsageError, {}, "", false},
      {{"a", "-m"}, Action::kUsageError, {}, "", false},
      {{}, Action::kUsageError, {}, "", false},
  };
  for (const Case& c : cases) {
    const std::string trace = c.arguments.empty() ? "(none)" : c.arguments[0] + " ...";
    const ProgramOptions options = parse(c.arguments);
    EXPECT_EQ(options.action, c.action) << trace;
    if (c.action == Action::kUsageError) {
      EXPECT_FALSE(options.problem.empty()) << trace;
    }
    if (c.action != Action::kConvert) continue;
    EXPECT_EQ(options.command_line.files, c.files) << trace;
    EXPECT_EQ(options.command_line.mode, c.mode) << trace;
    EXPECT_EQ(options.command_line.forced, c.forced) << trace;
    EXPECT_EQ(options.command_line.argument_count, static_cast<int>(c.arguments.size()) + 1) << trace;
  }
}

TEST(ProgramOptions, EncodingForOneRun) {
  using E = SourceEncoding;
  struct Case {
    std::vector<std::string> arguments;
    std::optional<E> encoding;  // none: a usage error (or no option)
    bool usage_error;
  } const cases[] = {
      {{"a"}, std::nullopt, false},
      {{"-e", "utf-8", "a"}, E::kUtf8, false},
      {{"-eUTF-8", "a"}, E::kUtf8, false},
      {{"--encoding=Shift_JIS", "a"}, E::kShiftJis, false},
      {{"--encoding", "AUTO", "a"}, E::kAutomatic, false},
      {{"-e", "auto", "-e", "shift_jis", "a"}, E::kShiftJis, false},  // the later one counts
      {{"--", "-eutf-8"}, std::nullopt, false},
      {{"-e", "utf8", "a"}, std::nullopt, true},
      {{"--encoding=", "a"}, std::nullopt, true},
      {{"a", "-e"}, std::nullopt, true},
      {{"--encodingutf-8", "a"}, std::nullopt, true},
  };
  for (const Case& c : cases) {
    const ProgramOptions options = parse(c.arguments);
    EXPECT_EQ(options.action == Action::kUsageError, c.usage_error) << c.arguments[0];
    if (!c.usage_error) {
      EXPECT_EQ(options.command_line.encoding, c.encoding) << c.arguments[0];
    }
  }
}

TEST(ProgramOptions, TreeOptionsForOneRun) {
  const struct {
    std::vector<std::string> arguments;
    Action action;
    std::optional<std::string> output;
    std::optional<int> jobs;
    bool force;
    bool quiet;
  } cases[] = {
      {{"src"}, Action::kConvert, std::nullopt, std::nullopt, false, false},
      {{"-o", "site", "src"}, Action::kConvert, "site", std::nullopt, false, false},
      {{"-osite", "--output-dir=www", "src"}, Action::kConvert, "www", std::nullopt, false, false},
      {{"--output-dir", "a b", "src"}, Action::kConvert, "a b", std::nullopt, false, false},
      {{"-j", "2", "-j3", "src"}, Action::kConvert, std::nullopt, 3, false, false},
      {{"--jobs=256", "--force", "-q", "src"}, Action::kConvert, std::nullopt, 256, true, true},
      {{"--jobs", "1", "--quiet", "src"}, Action::kConvert, std::nullopt, 1, false, true},
      {{"-j", "0", "src"}, Action::kUsageError, std::nullopt, std::nullopt, false, false},
      {{"-j257", "src"}, Action::kUsageError, std::nullopt, std::nullopt, false, false},
      {{"--jobs=2x", "src"}, Action::kUsageError, std::nullopt, std::nullopt, false, false},
      {{"--jobs=-1", "src"}, Action::kUsageError, std::nullopt, std::nullopt, false, false},
      {{"src", "-o"}, Action::kUsageError, std::nullopt, std::nullopt, false, false},
      {{"--output-dir=", "src"}, Action::kUsageError, std::nullopt, std::nullopt, false, false},
      {{"-o", std::string(5000, 'd'), "src"}, Action::kUsageError, std::nullopt, std::nullopt, false, false},
      {{"--forced", "src"}, Action::kUsageError, std::nullopt, std::nullopt, false, false},
  };
  for (const auto& c : cases) {
    const ProgramOptions options = parse(c.arguments);
    std::string shown;
    for (const std::string& argument : c.arguments) shown += argument.substr(0, 20) + " ";
    EXPECT_EQ(options.action, c.action) << shown;
    if (c.action != Action::kConvert) continue;
    EXPECT_EQ(options.command_line.output_folder, c.output) << shown;
    EXPECT_EQ(options.command_line.jobs, c.jobs) << shown;
    EXPECT_EQ(options.command_line.rewrite_all, c.force) << shown;
    EXPECT_EQ(options.command_line.quiet, c.quiet) << shown;
    EXPECT_EQ(options.command_line.files, std::vector<std::string>{"src"}) << shown;
  }
}

TEST(ProgramOptions, VerboseNamesSkippedFiles) {
  const struct {
    std::vector<std::string> arguments;
    Action action;
    bool verbose;
    bool quiet;
  } cases[] = {
      {{"src"}, Action::kConvert, false, false},
      {{"-v", "src"}, Action::kConvert, true, false},
      {{"--verbose", "-q", "src"}, Action::kConvert, true, true},
      {{"-V", "src"}, Action::kVersion, false, false},
      {{"-vq", "src"}, Action::kUsageError, false, false},
      {{"--verbose=1", "src"}, Action::kUsageError, false, false},
  };
  for (const auto& c : cases) {
    const ProgramOptions options = parse(c.arguments);
    EXPECT_EQ(options.action, c.action) << c.arguments[0];
    if (c.action != Action::kConvert) continue;
    EXPECT_EQ(options.command_line.verbose, c.verbose) << c.arguments[0];
    EXPECT_EQ(options.command_line.quiet, c.quiet) << c.arguments[0];
    EXPECT_EQ(options.command_line.files, std::vector<std::string>{"src"}) << c.arguments[0];
  }
}

TEST(ProgramOptions, IncludeFoldersForOneRun) {
  const struct {
    std::vector<std::string> arguments;
    Action action;
    std::vector<std::string> folders;
  } cases[] = {
      {{"src"}, Action::kConvert, {}},
      {{"-I", "inc", "src"}, Action::kConvert, {"inc"}},
      {{"-Iinc", "--include-dir=/usr/include", "--include-dir", "a b", "src"},
       Action::kConvert,
       {"inc", "/usr/include", "a b"}},
      {{"-I", "inc", "-I", "inc", "src"}, Action::kConvert, {"inc", "inc"}},
      {{"src", "-I"}, Action::kUsageError, {}},
      {{"--include-dir=", "src"}, Action::kUsageError, {}},
      {{"--include-dirs=inc", "src"}, Action::kUsageError, {}},
  };
  for (const auto& c : cases) {
    const ProgramOptions options = parse(c.arguments);
    std::string shown;
    for (const std::string& argument : c.arguments) shown += argument + " ";
    EXPECT_EQ(options.action, c.action) << shown;
    if (c.action != Action::kConvert) continue;
    EXPECT_EQ(options.command_line.include_folders, c.folders) << shown;
    EXPECT_EQ(options.command_line.files, std::vector<std::string>{"src"}) << shown;
  }
}

struct Expected {
  std::optional<bool> line_numbers = std::nullopt;
  std::optional<bool> line_anchors = std::nullopt;
  std::optional<bool> expand_tabs = std::nullopt;
  std::optional<bool> nbsp = std::nullopt;
  std::optional<int> tab_width = std::nullopt;
  std::optional<std::string> extension = std::nullopt;
  std::optional<std::string> title = std::nullopt;
  bool fragment = false;
  std::optional<bool> site_navigation = std::nullopt;
  std::optional<bool> cross_references = std::nullopt;
};

void expect_page_choices(const CommandLine& line, const Expected& expected, const std::string& shown) {
  EXPECT_EQ(line.line_numbers, expected.line_numbers) << shown;
  EXPECT_EQ(line.line_anchors, expected.line_anchors) << shown;
  EXPECT_EQ(line.expand_tabs, expected.expand_tabs) << shown;
  EXPECT_EQ(line.nbsp_spaces, expected.nbsp) << shown;
  EXPECT_EQ(line.tab_width, expected.tab_width) << shown;
  EXPECT_EQ(line.extension, expected.extension) << shown;
  EXPECT_EQ(line.title, expected.title) << shown;
  EXPECT_EQ(line.fragment, expected.fragment) << shown;
  EXPECT_EQ(line.site_navigation, expected.site_navigation) << shown;
  EXPECT_EQ(line.cross_references, expected.cross_references) << shown;
}

TEST(ProgramOptions, PageChoicesForOneRun) {
  const struct {
    std::vector<std::string> arguments;
    std::optional<Expected> expected;  // none: a usage error
  } cases[] = {
      {{"a"}, Expected{}},
      {{"-n", "a"}, Expected{.line_numbers = true}},
      {{"--line-numbers", "--no-line-numbers", "a"}, Expected{.line_numbers = false}},
      {{"--no-line-numbers", "-n", "a"}, Expected{.line_numbers = true}},  // the later one counts
      {{"--line-anchors", "a"}, Expected{.line_anchors = true}},
      {{"--no-line-anchors", "a"}, Expected{.line_anchors = false}},
      {{"--site-navigation", "a"}, Expected{.site_navigation = true}},
      {{"--no-site-navigation", "--site-navigation", "--no-site-navigation", "a"},
       Expected{.site_navigation = false}},
      {{"--cross-references", "a"}, Expected{.cross_references = true}},
      {{"--cross-references", "--no-cross-references", "a"}, Expected{.cross_references = false}},
      {{"--no-cross-references", "-n", "a"}, Expected{.line_numbers = true, .cross_references = false}},
      {{"--expand-tabs", "--tab-width", "8", "a"}, Expected{.expand_tabs = true, .tab_width = 8}},
      {{"--no-expand-tabs", "--tab-width=1", "a"}, Expected{.expand_tabs = false, .tab_width = 1}},
      {{"--tab-width=64", "a"}, Expected{.tab_width = 64}},
      {{"--nbsp", "a"}, Expected{.nbsp = true}},
      {{"--no-nbsp", "a"}, Expected{.nbsp = false}},
      {{"--extension", ".html", "a"}, Expected{.extension = ".html"}},
      {{"--extension=.x", "a"}, Expected{.extension = ".x"}},
      {{"--title", "A & <B>", "a"}, Expected{.title = "A & <B>"}},
      {{"--title=", "a"}, Expected{.title = ""}},
      {{"--fragment", "a"}, Expected{.fragment = true}},
      {{"--", "-n", "--fragment"}, Expected{}},
      {{"--tab-width=0", "a"}, std::nullopt},
      {{"--tab-width=65", "a"}, std::nullopt},
      {{"--tab-width=4x", "a"}, std::nullopt},
      {{"--tab-width=", "a"}, std::nullopt},
      {{"a", "--tab-width"}, std::nullopt},
      {{"--extension=html", "a"}, std::nullopt},
      {{"--extension=.", "a"}, std::nullopt},
      {{"--extension=./x", "a"}, std::nullopt},
      {{"--extension=", "a"}, std::nullopt},
      {{"a", "--extension"}, std::nullopt},
      {{"a", "--title"}, std::nullopt},
      {{"-nx", "a"}, std::nullopt},
      {{"--no-fragment", "a"}, std::nullopt},
      {{"--no-title", "a"}, std::nullopt},
      {{"--nbsp=1", "a"}, std::nullopt},
      {{"--line-number", "a"}, std::nullopt},
  };
  for (const auto& c : cases) {
    std::string shown;
    for (const std::string& argument : c.arguments) shown += argument + " ";
    const ProgramOptions options = parse(c.arguments);
    if (!c.expected) {
      EXPECT_EQ(options.action, Action::kUsageError) << shown;
      EXPECT_FALSE(options.problem.empty()) << shown;
      continue;
    }
    ASSERT_EQ(options.action, Action::kConvert) << shown << options.problem;
    expect_page_choices(options.command_line, *c.expected, shown);
  }
}

TEST(ProgramOptions, PrintCssEndsTheCommandLine) {
  EXPECT_EQ(parse({"--print-css"}).action, Action::kPrintCss);
  EXPECT_EQ(parse({"--print-css", "--bogus"}).action, Action::kPrintCss);
  EXPECT_EQ(parse({"--bogus", "--print-css"}).action, Action::kUsageError);
  EXPECT_EQ(parse({"--", "--print-css"}).action, Action::kConvert);
}

// "-o" names one page only where nothing else can be meant: one source that
// is no folder, and a path that is no folder and ends as a page does.
TEST(ProgramOptions, OutputPageOrOutputFolder) {
  const std::string folder = testing::scratch_path("output-choice");
  testing::make_folder(folder);
  testing::make_folder(folder + "/taken.html");
  testing::make_folder(folder + "/src");
  const std::string taken = folder + "/taken.html";
  const std::string src = folder + "/src";
  enum Outcome { kPage, kFolder, kNeither, kRefused };
  const struct {
    std::vector<std::string> arguments;
    Outcome outcome;
  } cases[] = {
      {{"a.cpp", "-o", "p.html"}, kPage},
      {{"-o", "p.htm", "a.cpp"}, kPage},
      {{"--output-dir=P.HTML", "a.cpp"}, kPage},
      {{"-o", "out/p.html", "-"}, kPage},
      {{"-o", "p.xhtml", "--extension", ".xhtml", "a.cpp"}, kPage},
      {{"-o", "p.xhtml", "a.cpp"}, kFolder},
      {{"-o", "site", "a.cpp"}, kFolder},
      {{"-o", "p.html.d", "a.cpp"}, kFolder},
      {{"-o", taken, "a.cpp"}, kFolder},
      {{"-o", taken, "a.cpp", "b.cpp"}, kFolder},
      {{"-o", "site", "a.cpp", "b.cpp"}, kFolder},
      {{"-o", "site", src}, kFolder},
      {{"a.cpp"}, kNeither},
      {{"a.cpp", "b.cpp", "-o", "p.html"}, kRefused},
      {{"-", "-", "-o", "p.html"}, kRefused},
      {{src, "-o", "p.html"}, kRefused},
      {{"--extension=.x", src, "-o", "p.x"}, kRefused},
  };
  for (const auto& c : cases) {
    std::string shown;
    for (const std::string& argument : c.arguments) shown += argument + " ";
    const ProgramOptions options = parse(c.arguments);
    if (c.outcome == kRefused) {
      EXPECT_EQ(options.action, Action::kUsageError) << shown;
      EXPECT_NE(options.problem.find("-o"), std::string::npos) << shown << options.problem;
      continue;
    }
    ASSERT_EQ(options.action, Action::kConvert) << shown << options.problem;
    EXPECT_EQ(options.command_line.output_page.has_value(), c.outcome == kPage) << shown;
    EXPECT_EQ(options.command_line.output_folder.has_value(), c.outcome == kFolder) << shown;
  }
  const ProgramOptions page = parse({"-o", "d/p.html", "a.cpp"});
  EXPECT_EQ(page.command_line.output_page, "d/p.html");
  EXPECT_EQ(page.command_line.files, std::vector<std::string>{"a.cpp"});
}

}  // namespace
}  // namespace prismet
