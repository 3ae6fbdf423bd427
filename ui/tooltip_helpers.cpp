#include "ui/tooltip_helpers.h"

namespace prismet {

HWND create_tooltip(HWND owner, HINSTANCE instance, DWORD style, DWORD extended_style) {
  return CreateWindowExA(extended_style, TOOLTIPS_CLASSA, nullptr, style, CW_USEDEFAULT, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance, nullptr);
}

BOOL add_tool(HWND tooltip, UINT flags, HWND window, HWND tool, const char* text) {
  // Room for the whole record keeps the tooltip's reads in bounds whatever
  // size it assumes; the size field announces the first form.
  TTTOOLINFOA info{};
  info.cbSize = kToolInfoRecordSize;
  info.uFlags = flags | TTF_IDISHWND;
  info.hwnd = window;
  info.uId = reinterpret_cast<UINT_PTR>(tool);
  info.lpszText = const_cast<char*>(text);
  return static_cast<BOOL>(SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info)));
}

}  // namespace prismet
