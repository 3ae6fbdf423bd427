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

}  // namespace
}  // namespace prismet
