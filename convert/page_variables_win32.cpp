#include <windows.h>

#include <limits>

#include "convert/page_variables.h"

namespace prismet {

std::string file_name_as_utf8(std::string_view name) {
  if (name.empty() || name.size() > static_cast<std::size_t>(std::numeric_limits<int>::max() / 4)) {
    return std::string(name);
  }
  const int length = static_cast<int>(name.size());
  std::wstring wide(name.size(), L'\0');
  const int wide_length = MultiByteToWideChar(CP_ACP, 0, name.data(), length, wide.data(), length);
  if (wide_length <= 0) return std::string(name);
  std::string utf8(static_cast<std::size_t>(wide_length) * 3, '\0');
  const int utf8_length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_length, utf8.data(),
                                              static_cast<int>(utf8.size()), nullptr, nullptr);
  if (utf8_length <= 0) return std::string(name);
  utf8.resize(static_cast<std::size_t>(utf8_length));
  return utf8;
}

bool file_names_are_cp932() { return GetACP() == 932; }

bool file_names_are_utf8() { return GetACP() == CP_UTF8; }

}  // namespace prismet
