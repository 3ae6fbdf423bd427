// Tooltip windows and their tools, with the tool record in its first form so
// that every version of the common controls takes it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>

namespace prismet {

// The tool record in its first form, without the fields added later.
// (TTTOOLINFOA_V1_SIZE, which is not a constant expression.)
inline constexpr UINT kToolInfoRecordSize = offsetof(TTTOOLINFOA, lpszText) + sizeof(TTTOOLINFOA::lpszText);
#if defined(__i386__)
static_assert(kToolInfoRecordSize == 40, "the 32-bit record is 40 bytes");
#endif

// A "tooltips_class32" window owned by `owner`, at the default position and
// size; nullptr when it cannot be created.
HWND create_tooltip(HWND owner, HINSTANCE instance, DWORD style, DWORD extended_style);

// Adds a tool for the control `tool` (TTF_IDISHWND is always set) shown over
// `window`. `text` is not copied: it must outlive the tool. Returns the
// tooltip's answer to TTM_ADDTOOLA.
BOOL add_tool(HWND tooltip, UINT flags, HWND window, HWND tool, const char* text);

}  // namespace prismet
