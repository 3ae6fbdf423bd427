#include "app/program_icon_win32.h"

#include <windows.h>
#include <shellapi.h>

namespace prismet {

namespace {

HICON file_icon(const char* path, int size_selector) {
  SHFILEINFOA info{};
  const UINT flags = SHGFI_ICON | (size_selector == 0 ? SHGFI_LARGEICON : SHGFI_SMALLICON);
  if (SHGetFileInfoA(path, 0, &info, sizeof info, flags) == 0) return nullptr;
  return info.hIcon;
}

}  // namespace

HICON program_icon(HINSTANCE instance, int size_selector) {
  char path[261];
  const DWORD length = GetModuleFileNameA(instance, path, sizeof path);
  if (length == 0 || length >= sizeof path) return nullptr;
  return file_icon(path, size_selector);
}

}  // namespace prismet
