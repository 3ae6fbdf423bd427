// A single-selection list box whose items can be reordered by dragging them
// with the left mouse button, or with Alt and an arrow key.
//
// The control tells its parent about mouse, keyboard, drop and file-drop
// events with WM_NOTIFY (a DDLBNOTIFY record) and lets the parent decide.
// A parent that does not handle a notification sends it back unchanged (a
// WM_NOTIFY to the list box with the same wParam and the same record); the
// list box then takes its default action for it:
//
//   DDLBN_KEYDOWN     Backspace deletes the selected item and selects the one
//                     before it (or the first); Delete deletes it and selects
//                     the one that took its place (or the new last one); the
//                     context-menu key sends DDLBN_CONTEXTMENU.
//   DDLBN_DROP        moves the item from iFrom to the insertion position iTo
//                     and selects it.
//   DDLBN_RBUTTONUP   sends DDLBN_CONTEXTMENU.
//   DDLBN_SYSKEYDOWN  Alt+Left or Alt+Up moves the selected item up by one,
//                     Alt+Right or Alt+Down down by one, each only when the
//                     parent permits it through DDLBN_QUERYMOVE.
//
// The list box also sends its parent WM_COMMAND with LBN_SELCHANGE after
// every left-button press and after a right-button press that selected an
// item.
#pragma once

#include <windows.h>

namespace prismet {

// The list box's window properties: its previous window procedure and its
// drag state, both owned by the control from attach to WM_DESTROY.
inline constexpr char kDragListOriginalProcProperty[] = "DDLBPROP_ORIGINALPROC";
inline constexpr char kDragListInfoProperty[] = "DDLBPROP_DRAGINFO";

// The drag state. Idle: no item, no drag, no line, both points (-1, -1).
struct DDLBDRAGINFO {
  INT iDragItem;      // the item being dragged
  BOOL fDragging;     // a drag is under way (while the list box holds the capture)
  BOOL fLineShown;    // the insertion line is on the screen
  POINT ptLineEnd;    // right end of the line shown, client coordinates
  POINT ptLineStart;  // left end of the line shown, client coordinates
};

// The record of every notification, zeroed but for the fields that the
// notification fills.
struct DDLBNOTIFY {
  NMHDR hdr;      // the list box, its control id, the code
  INT iItem;      // an item index
  WPARAM wParam;  // of the message that caused the notification
  LPARAM lParam;  // of that message
  INT iFrom;      // the dragged item of a drop
  INT iTo;        // the insertion position of a drop, or the one under the cursor
};

#if defined(__i386__)
static_assert(sizeof(DDLBDRAGINFO) == 28, "the 32-bit drag state is 28 bytes");
static_assert(sizeof(DDLBNOTIFY) == 32, "the 32-bit notification record is 32 bytes");
#endif

// Notification codes; what each fills and what the parent's answer means.
enum : UINT {
  DDLBN_KEYDOWN = WM_USER + 1,      // wParam, lParam of WM_KEYDOWN (not while dragging)
  DDLBN_QUERYMOVE = WM_USER + 2,    // iItem about to be moved; nonzero refuses
  DDLBN_DROP = WM_USER + 3,         // iFrom dropped at iTo
  DDLBN_ENDDRAG = WM_USER + 4,      // a drag has ended, after its drop if any
  DDLBN_QUERYCURSOR = WM_USER + 5,  // iTo under the cursor (-1 outside); answer a cursor or 0
  DDLBN_DROPFILES = WM_USER + 6,    // wParam = the HDROP, which the parent must finish
  DDLBN_RBUTTONUP = WM_USER + 7,    // iItem under the released right button
  DDLBN_CONTEXTMENU = WM_USER + 8,  // a context menu is wanted
  DDLBN_SYSKEYDOWN = WM_USER + 9,   // wParam, lParam of WM_SYSKEYDOWN (not while dragging)
  DDLBN_DESTROY = WM_USER + 10,     // the list box is being destroyed
};

// Subclasses `list_box`. False, with nothing changed, when the drag state
// cannot be allocated or kept, or when the list box is already attached.
// Whether files may be dropped on it (DragAcceptFiles) is the caller's
// choice. The control detaches itself at WM_DESTROY.
bool attach_drag_list_box(HWND list_box);

// The list box's window procedure while it is attached.
LRESULT CALLBACK drag_list_proc(HWND list_box, UINT message, WPARAM wparam, LPARAM lparam);

}  // namespace prismet
