#include "ui/control_helpers.h"

#include <windows.h>
#include <commctrl.h>

#include <new>

#include "app/program_icon_win32.h"

namespace prismet {

std::optional<std::string> window_text(HWND window) {
  const int length = GetWindowTextLengthA(window);
  try {
    // The length may overstate the text (it can count a conversion's worst
    // case); the copy reports what it really wrote.
    std::string text(static_cast<std::size_t>(length < 0 ? 0 : length), '\0');
    const int copied = GetWindowTextA(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied < 0 ? 0 : copied));
    return text;
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

std::optional<std::string> dialog_item_text(HWND dialog, int id) {
  return window_text(GetDlgItem(dialog, id));
}

void enable_dialog_item(HWND dialog, int id, bool enable) { EnableWindow(GetDlgItem(dialog, id), enable); }

HICON set_window_icon(HWND window, WPARAM which, HICON icon) {
  return reinterpret_cast<HICON>(SendMessageA(window, WM_SETICON, which, reinterpret_cast<LPARAM>(icon)));
}

void set_program_icons(HWND window) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  // A window normally starts without icons; anything replaced is released.
  if (HICON old = set_window_icon(window, ICON_BIG, program_icon(instance, 0))) DestroyIcon(old);
  if (HICON old = set_window_icon(window, ICON_SMALL, program_icon(instance, 1))) DestroyIcon(old);
}

void release_window_icons(HWND window) {
  // The shell's icons belong to whoever asked for them: the window does not
  // destroy them itself.
  if (HICON icon = set_window_icon(window, ICON_BIG, nullptr)) DestroyIcon(icon);
  if (HICON icon = set_window_icon(window, ICON_SMALL, nullptr)) DestroyIcon(icon);
}

void set_updown_buddy(HWND updown, HWND buddy) {
  SendMessageA(updown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
}

void set_updown_range(HWND updown, int lower, int upper) {
  // The upper bound goes in the low word, the lower one in the high word.
  SendMessageA(updown, UDM_SETRANGE, 0, MAKELPARAM(upper, lower));
}

void set_updown_pos(HWND updown, int position) {
  SendMessageA(updown, UDM_SETPOS, 0, MAKELPARAM(position, 0));
}

}  // namespace prismet
