// The remembered window state of a resizable dialog: its restored size, and
// whether it is maximized and topmost, kept in its own section of the
// settings file. No position is kept: the dialog opens where the cursor is.
#pragma once

#include <windows.h>

#include <cstdint>

namespace prismet {

struct DialogPlacement {
  bool topmost = false;
  bool maximized = false;
  std::int32_t width = 0;  // of the restored window rectangle, in pixels
  std::int32_t height = 0;
};

// The keys of a placement section, in the order they are read and written.
inline constexpr char kTopmostKey[] = "常に最前面に表示";
inline constexpr char kMaximizedKey[] = "最大化";
inline constexpr char kHeightKey[] = "高さ";
inline constexpr char kWidthKey[] = "幅";

// Reads the placement stored in `section`; a key that is missing or not a
// number leaves the value already in `placement`, as does running out of
// memory for the file (then every value).
void load_dialog_placement(const char* section, DialogPlacement& placement);

// Stores the window's state in `section`: the size of its restored rectangle
// (so a maximized window stores the size it returns to), whether it is
// topmost and whether it is maximized. Nothing when no memory is left for
// the file.
void save_dialog_placement(HWND window, const char* section);

}  // namespace prismet
