#include "ui/file_chooser.h"

#include <cstring>

#include "common/bounded_copy.h"
#include "common/fixed_text.h"
#include "common/path_text.h"

namespace prismet {

char* split_file_name(char* path) {
  for (std::size_t position = std::strlen(path); position-- > 0;) {
    if (is_path_separator_at(path, position)) {
      path[position] = '\0';
      return path + position + 1;
    }
  }
  return path;
}

bool choose_file(HWND owner, DWORD extra_flags, char* result, std::size_t result_size,
                 const char* initial_path, const char* title, const char* filter) {
  if (result_size == 0) return false;
  char folder[kPathCapacity];
  copy_string_bounded(folder, initial_path, sizeof folder);
  // A path without a separator serves whole as both folder and name.
  copy_string_bounded(result, split_file_name(folder), result_size);

  OPENFILENAMEA record{};
  record.lStructSize = kOpenFileRecordSize;
  record.hwndOwner = owner;
  record.lpstrFilter = filter;
  record.nFilterIndex = 0;
  record.lpstrFile = result;
  record.nMaxFile = static_cast<DWORD>(result_size);
  record.lpstrInitialDir = folder;
  record.lpstrTitle = title;
  record.Flags = extra_flags | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_ENABLESIZING;
  return GetOpenFileNameA(&record) != FALSE;
}

}  // namespace prismet
