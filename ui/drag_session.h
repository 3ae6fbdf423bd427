// The drag-reorder list box's state between messages: its drag record and
// previous window procedure (window properties), and the start and end of
// a drag.
#pragma once

#include <windows.h>

#include "ui/drag_list_box.h"

namespace prismet {

// The record in the idle state: no item, no drag, no line.
DDLBDRAGINFO idle_drag_info();

// The list box's drag record, or nullptr when it is not attached.
DDLBDRAGINFO* drag_info(HWND list_box);

// Calls the list box's previous window procedure with the message and
// returns its result; DefWindowProcA once the list box is detached.
LRESULT pass_on(HWND list_box, UINT message, WPARAM wparam, LPARAM lparam);

// A drag is under way: the record says so and the list box holds the
// mouse capture.
bool is_dragging(HWND list_box);

// The mouse cursor in screen coordinates.
POINT cursor_position();

// The item under the mouse cursor, or -1.
int item_under_cursor(HWND list_box);

// Starts dragging `item` unless the parent refuses to have it moved: takes
// the mouse capture and starts the drag timer.
void begin_drag(HWND list_box, int item);

// Ends a drag once the capture is gone: takes the line off the screen,
// returns the record to idle and tells the parent (DDLBN_ENDDRAG). Nothing
// when no drag is under way.
void end_drag(HWND list_box);

}  // namespace prismet
