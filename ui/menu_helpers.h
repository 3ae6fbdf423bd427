// Popup menus, from a menu handle or straight from a menu resource; a menu
// loaded from a resource is destroyed however the tracking ends.
#pragma once

#include <windows.h>

namespace prismet {

#if defined(__i386__)
static_assert(sizeof(TPMPARAMS) == 20, "the 32-bit record is 20 bytes");
#endif

// CheckMenuItem with `flags`, plus MF_CHECKED when `checked`; returns the
// item's previous state as CheckMenuItem does.
DWORD check_menu_item(HMENU menu, UINT id, UINT flags, bool checked);

// Brings the owner to the foreground and tracks `menu` at the screen point,
// keeping clear of `exclude` when one is given. Returns TrackPopupMenuEx's
// result (the chosen id with TPM_RETURNCMD).
BOOL track_popup_menu(HWND owner, HMENU menu, POINT at, UINT flags, const RECT* exclude);

// Tracks sub-menu `position` of the menu resource `name`; the loaded menu is
// destroyed in every case. 0 when the menu or the sub-menu does not exist.
BOOL popup_menu_resource(HINSTANCE instance, LPCSTR name, int position, HWND owner, POINT at, UINT flags,
                         const RECT* exclude);

// popup_menu_resource at the mouse cursor, without an exclusion rectangle.
BOOL popup_menu_at_cursor(HINSTANCE instance, LPCSTR name, int position, HWND owner, UINT flags);

}  // namespace prismet
