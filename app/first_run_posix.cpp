#include "app/first_run_posix.h"

#include <cerrno>
#include <cstdio>
#include <iterator>
#include <memory>

#include "common/file_replacement.h"
#include "common/file_system.h"
#include "common/path_text.h"
#include "settings/settings_file.h"

namespace prismet {

namespace {

// Data files are small; a bigger one (or a device that never ends) is not
// taken.
constexpr std::size_t kMaxDataFileBytes = 16 << 20;

// Where the line at `at` ends, its line break included.
std::size_t end_of_line(const std::string& text, std::size_t at) {
  const std::size_t lf = text.find('\n', at);
  return lf == std::string::npos ? text.size() : lf + 1;
}

bool is_header_line(const std::string& text, std::size_t at, std::string_view name) {
  return text.compare(at, name.size(), name) == 0 &&
         (at + name.size() == text.size() || text[at + name.size()] == '\r' ||
          text[at + name.size()] == '\n');
}

}  // namespace

bool read_data_file(const std::string& path, std::string& bytes) {
  bool not_regular = false;
  const std::unique_ptr<std::FILE, FileCloser> file(open_regular_file_for_reading(path.c_str(), not_regular));
  if (!file) return false;
  char block[65536];
  for (;;) {
    std::size_t got = 0;
    const bool read = read_block(file.get(), block, sizeof block, got);
    bytes.append(block, got);
    if (!read || bytes.size() > kMaxDataFileBytes) return false;
    if (got < sizeof block) return true;
  }
}

std::string first_settings_text(const std::string& shipped) {
  for (std::size_t at = 0; at < shipped.size(); at = end_of_line(shipped, at)) {
    if (!is_header_line(shipped, at, "[html5]")) continue;
    const std::size_t body = end_of_line(shipped, at);
    std::size_t end = body;
    while (end < shipped.size() && shipped[end] != '[') end = end_of_line(shipped, end);
    return "[prismet]\r\n" + shipped.substr(body, end - body) + shipped;
  }
  return shipped;
}

std::string program_data_folder() {
  char program[4096];
  if (!executable_path(program, sizeof program)) return "";
  const std::string folder = folder_of(program);
  // The program in its build tree finds the package's data files where the
  // build makes them, so that its first run is an installed program's.
  if (folder == PRISMET_BUILD_PROGRAM_FOLDER) return PRISMET_BUILD_DATA_FOLDER;
  return folder_of(folder.c_str()) + "/share/prismet";
}

FirstRun create_first_settings(const std::string& data_folder, const std::string& settings_file) {
  FirstRun run;
  if (data_folder.empty() || path_exists(settings_file.c_str())) return run;
  std::string shipped;
  if (!read_data_file(data_folder + "/" + kFirstRunFiles[0], shipped)) return run;
  const auto fail = [&run](const std::string& path, int error) {
    run.result = FirstRun::Result::kFailed;
    run.failed_path = path;
    run.error = error;
    return run;
  };
  if (!make_settings_folder(settings_file.c_str())) return fail(folder_of(settings_file.c_str()), errno);
  const std::string folder = folder_of(settings_file.c_str());
  // The companions first: a settings file is only made once what it names
  // is there.
  for (std::size_t i = 1; i < std::size(kFirstRunFiles); ++i) {
    const std::string target = folder + "/" + kFirstRunFiles[i];
    std::string bytes;
    if (path_exists(target.c_str()) || !read_data_file(data_folder + "/" + kFirstRunFiles[i], bytes))
      continue;
    int error = 0;
    if (!replace_file_contents(target.c_str(), bytes, &error)) return fail(target, error);
  }
  int error = 0;
  if (!replace_file_contents(settings_file.c_str(), first_settings_text(shipped), &error)) {
    return fail(settings_file, error);
  }
  run.result = FirstRun::Result::kCreated;
  return run;
}

}  // namespace prismet
