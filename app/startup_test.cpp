#include "app/startup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/file_system.h"
#include "settings/settings_file.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

TEST(DecideDialog, RowsInOrder) {
  struct Case {
    bool forced, suppressed, shift, flag;
    int arguments;
    int row;
    bool shown;
  } const cases[] = {
      {true, false, false, false, 3, 1, true},  // /dlg:1 wins over everything
      {true, false, true, true, 1, 1, true},
      {false, true, true, false, 2, 2, true},  // Shift shows it even with /dlg:0
      {false, false, true, false, 1, 2, true},
      {false, false, false, true, 2, 3, true},    // the stored flag
      {false, true, false, true, 2, 4, false},    // /dlg:0 beats the flag
      {false, false, false, false, 2, 4, false},  // any argument at all
      {false, true, false, true, 1, 5, true},     // no argument: shown whatever else
      {false, false, false, false, 1, 5, true},
  };
  for (const Case& c : cases) {
    const DialogDecision decision = decide_dialog(c.forced, c.suppressed, c.shift, c.flag, c.arguments);
    EXPECT_EQ(decision.row, c.row);
    EXPECT_EQ(decision.shown, c.shown);
  }
}

// Start-up with stand-ins for the keyboard and the dialog.
class ParseCommandLineTest : public ::testing::Test {
 protected:
  static bool shift_down() { return shift_; }
  static bool dialog(CustomBoxParam& param, int) {
    ++dialogs_;
    dialog_files_ = param.files;
    return dialog_result_;
  }

  void SetUp() override {
    settings_file_path(ini_);
    make_settings_folder(ini_);
    delete_file(ini_);
    shift_ = false;
    dialogs_ = 0;
    dialog_result_ = true;
    dialog_files_.clear();
    file_a_ = testing::scratch_path("a.cpp");
    file_b_ = testing::scratch_path("b.cpp");
    testing::write_file(file_a_, "a");
    testing::write_file(file_b_, "b");
  }
  void TearDown() override { delete_file(ini_); }

  // Runs parse_command_line on the program path followed by `args`.
  bool parse(std::vector<std::string> args) {
    args.insert(args.begin(), "prismet");
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    param_ = CustomBoxParam();
    return parse_command_line(param_, static_cast<int>(args.size()), argv.data(), platform_);
  }

  // A settings file that turns the stored dialog flag off.
  void store_flag_off() { testing::write_file(ini_, "[prismet]\r\nダイアログを表示=0\r\n"); }

  static inline bool shift_ = false;
  static inline int dialogs_ = 0;
  static inline bool dialog_result_ = true;
  static inline std::vector<std::string> dialog_files_;
  const StartupPlatform platform_{shift_down, dialog};
  char ini_[kPathCapacity] = "";
  std::string file_a_, file_b_;
  CustomBoxParam param_;
};

TEST_F(ParseCommandLineTest, ClassifiesArgumentsInOrder) {
  store_flag_off();
  EXPECT_TRUE(parse({file_b_, "/dlg:0", "missing.cpp", file_a_, "/dlg:2", file_b_, "/other"}));
  EXPECT_EQ(param_.files, (std::vector<std::string>{file_b_, file_a_, file_b_}));
  EXPECT_EQ(dialogs_, 0);
  free_custom_box_param(param_);
}

TEST_F(ParseCommandLineTest, ExistingPathWinsOverOptionLook) {
  // An existing file named like an option is a file.
  const std::string folder = testing::scratch_path("");
  store_flag_off();
  EXPECT_TRUE(parse({folder, "/dlg:0"}));
  EXPECT_EQ(param_.files, std::vector<std::string>{folder});  // folders are taken too
}

TEST_F(ParseCommandLineTest, DialogOptionsAndShift) {
  struct Case {
    std::vector<std::string> args;
    bool shift;
    int dialogs;
  } const cases[] = {
      {{"/dlg:0", "/dlg:1"}, false, 1},  // the later option counts
      {{"/dlg:1", "/dlg:0"}, false, 0},
      {{"/DLG:1"}, false, 1},
      {{"/dlg:0"}, true, 1},        // Shift overrides /dlg:0
      {{"/dlg:0"}, false, 0},       // /dlg:0 alone still counts as an argument
      {{"missing.cpp"}, false, 0},  // an ignored argument counts too
      {{}, false, 1},               // no argument at all
  };
  for (const Case& c : cases) {
    SetUp();
    store_flag_off();
    shift_ = c.shift;
    EXPECT_TRUE(parse(c.args));
    EXPECT_EQ(dialogs_, c.dialogs) << (c.args.empty() ? "" : c.args[0]);
  }
}

TEST_F(ParseCommandLineTest, FirstRunShowsTheDialogAndSaves) {
  EXPECT_TRUE(parse({file_a_}));
  EXPECT_EQ(dialogs_, 1);  // no settings file yet: the stored flag defaults to on
  EXPECT_EQ(dialog_files_, std::vector<std::string>{file_a_});
  EXPECT_TRUE(path_exists(ini_));
}

TEST_F(ParseCommandLineTest, CancelFreesTheRecordAndWritesNothing) {
  dialog_result_ = false;
  EXPECT_FALSE(parse({file_a_, "/dlg:1"}));
  EXPECT_TRUE(param_.files.empty());
  EXPECT_FALSE(path_exists(ini_));
}

TEST_F(ParseCommandLineTest, ModeSelectsTheSection) {
  store_flag_off();
  EXPECT_TRUE(parse({"/mode:first", "/MODE:web", file_a_}));
  const std::string ini = testing::read_file(ini_);
  EXPECT_NE(ini.find("[web]\r\n拡張子=.htm\r\n"), std::string::npos);
  EXPECT_EQ(ini.find("[first]"), std::string::npos);
  EXPECT_EQ(ini.find("[prismet]\r\nダイアログを表示=0\r\n"), 0u);
  // An empty mode name selects the default section again.
  delete_file(ini_);
  store_flag_off();
  EXPECT_TRUE(parse({"/mode:web", "/mode:", file_a_}));
  EXPECT_EQ(testing::read_file(ini_).find("[web]"), std::string::npos);
}

// Argument 0 is the program, even when it names a file that exists.
TEST_F(ParseCommandLineTest, ArgumentZeroIsNeverAFile) {
  std::vector<std::string> args = {file_a_, file_b_, "/mode:web"};
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const CommandLine command_line = sort_arguments(static_cast<int>(args.size()), argv.data());
  EXPECT_EQ(command_line.files, std::vector<std::string>{file_b_});
  EXPECT_EQ(command_line.mode, "web");
}

// A mode that cannot be a section is refused as a cancelled dialog is:
// nothing is used and nothing is written. Names that read back are taken,
// and a second run leaves the file as the first made it.
TEST_F(ParseCommandLineTest, ModeNamesThatCannotBeSectionsAreRefused) {
  for (const char* mode : {"/mode:a\nb", "/mode:a\r", "/mode:\n", "/mode:   "}) {
    SetUp();
    EXPECT_FALSE(parse({mode, file_a_, "/dlg:1"}));
    EXPECT_EQ(dialogs_, 0);
    EXPECT_TRUE(param_.files.empty());
    EXPECT_FALSE(path_exists(ini_));
  }
  for (const char* mode : {"/mode:a]b", "/mode: web "}) {
    SetUp();
    store_flag_off();
    EXPECT_TRUE(parse({mode, file_a_}));
    const std::string first = testing::read_file(ini_);
    EXPECT_TRUE(parse({mode, file_a_}));
    EXPECT_EQ(testing::read_file(ini_), first) << mode;
  }
}

}  // namespace
}  // namespace prismet
