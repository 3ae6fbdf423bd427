#include "app/options_posix.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

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

}  // namespace
}  // namespace prismet
