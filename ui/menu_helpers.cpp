#include "ui/menu_helpers.h"

#include <memory>
#include <type_traits>

namespace prismet {

namespace {

struct MenuDestroyer {
  void operator()(HMENU menu) const { DestroyMenu(menu); }
};
using MenuHandle = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDestroyer>;

}  // namespace

DWORD check_menu_item(HMENU menu, UINT id, UINT flags, bool checked) {
  return CheckMenuItem(menu, id, flags | (checked ? MF_CHECKED : 0));
}

BOOL track_popup_menu(HWND owner, HMENU menu, POINT at, UINT flags, const RECT* exclude) {
  // Without this the menu would not close when the user clicks elsewhere.
  SetForegroundWindow(owner);
  if (exclude == nullptr) return TrackPopupMenuEx(menu, flags, at.x, at.y, owner, nullptr);
  TPMPARAMS parameters{};
  parameters.cbSize = sizeof parameters;
  parameters.rcExclude = *exclude;
  return TrackPopupMenuEx(menu, flags, at.x, at.y, owner, &parameters);
}

BOOL popup_menu_resource(HINSTANCE instance, LPCSTR name, int position, HWND owner, POINT at, UINT flags,
                         const RECT* exclude) {
  MenuHandle menu(LoadMenuA(instance, name));
  if (!menu) return 0;
  // The sub-menu belongs to the loaded menu and goes with it.
  HMENU sub_menu = GetSubMenu(menu.get(), position);
  if (sub_menu == nullptr) return 0;
  return track_popup_menu(owner, sub_menu, at, flags, exclude);
}

BOOL popup_menu_at_cursor(HINSTANCE instance, LPCSTR name, int position, HWND owner, UINT flags) {
  POINT at{};
  GetCursorPos(&at);
  return popup_menu_resource(instance, name, position, owner, at, flags, nullptr);
}

}  // namespace prismet
