// The tag dialog: edits the open and close tag of one category, each in a
// combo box that offers the tags confirmed before.
#pragma once

#include <windows.h>

#include "settings/output_style.h"

namespace prismet {

// The dialog's window property: the address of the pair being edited.
inline constexpr char kTagDialogProperty[] = "PROP_TAGBOXPARAM";

// Runs the dialog modally over `owner`. True when it ended with OK: both
// tags of `pair` then hold the texts of the fields, exactly as they were,
// and both histories are saved. False on Cancel, or when the dialog could
// not be created; `pair` is then as it was.
bool show_tag_dialog(HWND owner, TagPair& pair);

}  // namespace prismet
