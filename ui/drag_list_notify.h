// The drag-reorder list box's notifications to its parent.
#pragma once

#include <windows.h>

#include "ui/drag_list_box.h"

namespace prismet {

// A record of `code` from the list box: zeroed, with the header filled.
DDLBNOTIFY drag_list_notice(HWND list_box, UINT code);

// Sends the record to the list box's parent as WM_NOTIFY, with the control
// id as wParam; returns the parent's answer.
LRESULT notify_parent(HWND list_box, DDLBNOTIFY& notice);

// A notification that fills no field.
LRESULT notify_parent(HWND list_box, UINT code);

// Asks the parent with DDLBN_QUERYMOVE whether `item` may be moved.
bool parent_permits_move(HWND list_box, int item);

}  // namespace prismet
