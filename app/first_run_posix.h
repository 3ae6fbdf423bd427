// The Linux program's first run: a user who has no settings file yet gets
// one made from the package's data folder (share/prismet beside the
// program's bin folder), with the fixed section set to the settings of its
// "html5" mode, and the header, footer and vocabulary that mode names
// copied beside it. A settings file that exists is never changed, nor is a
// file beside it replaced.
#pragma once

#include <string>

namespace prismet {

// The files of the data folder a first run copies; the first is the
// settings file, which is not copied as it is.
inline constexpr const char* kFirstRunFiles[] = {"prismet.ini", "prismet-html5.top", "prismet-html5.btm",
                                                 "prismet-cpp26.voc"};

struct FirstRun {
  enum class Result { kNothingToDo, kCreated, kFailed };
  Result result = Result::kNothingToDo;
  std::string failed_path;  // kFailed: the file that could not be made
  int error = 0;            // kFailed: why (errno)
};

// Makes `settings_file` and its companions from `data_folder` when the
// settings file does not exist and the data folder holds a settings file.
FirstRun create_first_settings(const std::string& data_folder, const std::string& settings_file);

// Reads a data file of the package (a plain file of at most 16 MB) whole.
bool read_data_file(const std::string& path, std::string& bytes);

// The data folder of the running program: its folder's "../share/prismet",
// or for the program in its build folder the build's package texts; empty
// when the program's path cannot be had.
std::string program_data_folder();

// The settings file's text for a first run: the data folder's settings with
// the "html5" section's lines first, under the fixed section's header. As
// they are when there is no such section.
std::string first_settings_text(const std::string& shipped);

}  // namespace prismet
