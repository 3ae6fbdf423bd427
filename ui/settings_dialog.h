// The settings dialog: every setting, the eight tag pairs and the list of
// files to convert, edited before a run.
//
// The dialog works on the caller's start-up record: it fills its controls
// from it and writes the edited values and file list back only on OK. Its
// own window size, maximized and topmost state are remembered in the
// settings file whichever way it ends.
#pragma once

#include <windows.h>

#include "app/startup.h"

namespace prismet {

// The dialog's window properties: the caller's record, and the dialog's own
// layout state (sizes and the tab width tooltip's text).
inline constexpr char kCustomBoxParamProperty[] = "PROP_CUSTOMBOXPARAM";
inline constexpr char kSettingsLayoutProperty[] = "PROP_SETTINGSLAYOUT";

// Where the dialog's window state is remembered.
inline constexpr char kSettingsPlacementSection[] = "設定ダイアログ";

// The tab widths the dialog accepts; OK holds the value inside them.
inline constexpr int kMinTabWidth = 1;
inline constexpr int kMaxTabWidth = 255;

// Runs the dialog modally over `owner` (none at start-up) on `param`. True
// when it ended with OK: the settings and the file list of `param` then hold
// what the dialog showed, the files in the list's (sorted) order, and the
// four path and extension histories are saved. False on Cancel, Escape, the
// close box, or when the dialog could not be created; `param` is then as it
// was and no history changed.
bool run_settings_dialog(HWND owner, CustomBoxParam& param);

}  // namespace prismet
