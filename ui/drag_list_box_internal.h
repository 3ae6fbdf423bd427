// The drag-reorder list box's parts, shared by its source files (and their
// tests) and by nothing else: items and positions (list_box_items.cpp), the
// notifications to the parent (drag_list_notify.cpp), the state between
// messages (drag_session.cpp), the insertion line (insert_line.cpp) and the
// default actions for notifications sent back (drag_list_defaults.cpp).
#pragma once

#include <windows.h>

#include "ui/drag_list_box.h"

namespace prismet {

// The drag timer, running while a drag is under way.
inline constexpr UINT_PTR kDragTimerId = 100;

// --- Items of the list box (single selection)

// 0 <= index < count.
bool is_item_index(HWND list_box, int index);

// 0 <= position <= count; a position means before the item now at that
// index, the count after the last item.
bool is_insert_position(HWND list_box, int position);

// LB_INSERTSTRING at `index` (exactly there, even in a sorted list box), then
// the item data when it is nonzero. The new item's index, or LB_ERR or
// LB_ERRSPACE when it could not be inserted.
int insert_list_item(HWND list_box, int index, const char* text, LPARAM data);

// Moves the item at `index`, with its text and item data, to the insertion
// position `position`. Returns the index the item now has, or -1 with the
// list unchanged when `index` is no item, `position` no insertion position,
// or the item's text cannot be copied or inserted anew.
int move_list_item(HWND list_box, int position, int index);

// --- Notifications to the parent

// A record of `code` from the list box: zeroed, with the header filled.
DDLBNOTIFY drag_list_notice(HWND list_box, UINT code);

// Sends the record to the list box's parent as WM_NOTIFY, with the control
// id as wParam; returns the parent's answer.
LRESULT notify_parent(HWND list_box, DDLBNOTIFY& notice);

// A notification that fills no field.
LRESULT notify_parent(HWND list_box, UINT code);

// Asks the parent with DDLBN_QUERYMOVE whether `item` may be moved.
bool parent_permits_move(HWND list_box, int item);

// --- State between messages: the drag record and the previous window
// procedure (window properties), and the start and end of a drag

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

// --- The insertion line: a horizontal line across the client area at the
// top edge of the insertion position under the cursor, drawn so that
// drawing it again restores the pixels

// The insertion position under a screen point: the item under it (the
// dragged item is placed before it), the count below the last item, -1
// outside the client area (right and bottom edges excluded).
int insert_position_at(HWND list_box, POINT screen_point);

// Draws the line at the insertion position under the screen point and
// records it in `info`; nothing outside the client area or without a device
// context.
void draw_insert_line(HWND list_box, POINT screen_point, DDLBDRAGINFO& info);

// Draws the recorded line again, which takes it off the screen. Nothing
// when no line is shown, when a recorded end lies outside the client area
// (the list box shrank; the flag then stays set) or without a device
// context.
void erase_insert_line(HWND list_box, DDLBDRAGINFO& info);

// --- Default actions

// WM_NOTIFY received by the list box: takes the default action for the
// record's code, or passes the message on to the previous procedure when
// there is none.
LRESULT handle_sent_back_notify(HWND list_box, WPARAM wparam, LPARAM lparam);

}  // namespace prismet
