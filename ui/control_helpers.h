// Small operations on windows and dialog controls: a window's whole text
// (or none, never a cut one), enabling a control, the program's icons on a
// window and their release, and an up-down control's buddy, range and
// position.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace prismet {

// The whole text of a window, as long as it is; nullopt when no memory is
// left for it.
std::optional<std::string> window_text(HWND window);

// window_text of the dialog's control `id`.
std::optional<std::string> dialog_item_text(HWND dialog, int id);

void enable_dialog_item(HWND dialog, int id, bool enable);

// WM_SETICON; `which` is ICON_BIG or ICON_SMALL. Returns the icon the window
// had before, which the caller now owns.
HICON set_window_icon(HWND window, WPARAM which, HICON icon);

// Gives the window the program file's large and small shell icons.
void set_program_icons(HWND window);

// Takes both icons off the window and destroys them; for a window whose
// icons came from set_program_icons, at WM_DESTROY.
void release_window_icons(HWND window);

void set_updown_buddy(HWND updown, HWND buddy);
void set_updown_range(HWND updown, int lower, int upper);
void set_updown_pos(HWND updown, int position);

}  // namespace prismet
