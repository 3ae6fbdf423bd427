// The drag-reorder list box's insertion line: a horizontal line across the
// client area at the top edge of the insertion position under the cursor,
// drawn so that drawing it again restores the pixels.
#pragma once

#include <windows.h>

#include "ui/drag_list_box.h"

namespace prismet {

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

// A line in the raster operation, pen and brush given; the device context
// is left as it was.
void invert_line(HDC dc, int x1, int y1, int x2, int y2, int raster_operation, HGDIOBJ pen, HGDIOBJ brush);

}  // namespace prismet
